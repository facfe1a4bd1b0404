#include "wellFormed.h"

#include "plainXmlScanner_p.h"
#include "xmlLimits.h"
#include "xmlParser_p.h"

#include <QXmlDefaultHandler>

namespace ZadUruru {

namespace {

// The name of the document element, from either source of events, and the parser's error.
class RootName : public QXmlDefaultHandler
{
public:
    QString root;
    QString message;
    int line = 0;
    int column = 0;
    bool failed = false;

    void open(QLatin1String name, const PlainAttribute *, int)
    {
        if (root.isNull())
            root = name;
    }
    void close() {}
    void text(const char *, int, bool) {}
    void cdata(const char *, int) {}

    bool startElement(const QString &, const QString &, const QString &name, const QXmlAttributes &) override
    {
        if (root.isNull())
            root = name;
        return true;
    }
    bool fatalError(const QXmlParseException &exception) override
    {
        if (!failed) {
            message = exception.message();
            line = exception.lineNumber();
            column = exception.columnNumber();
        }
        failed = true;
        return false;
    }
};

} // namespace

WellFormedness checkWellFormed(const QByteArray &data)
{
    WellFormedness result;
    if (isTooDeeplyNested(data)) {
        result.message = QStringLiteral("elements nested more than %1 levels deep").arg(maxXmlNestingDepth);
        return result;
    }
    {
        RootName names;
        if (PlainXmlScanner<RootName>(data, names).scan()) {
            result.wellFormed = true;
            result.root = names.root;
            return result;
        }
    }
    RootName names;
    QXmlInputSource source;
    source.setData(data);
    QXmlSimpleReader reader;
    configureParser(reader, SpaceOnlyText::Dropped);
    reader.setContentHandler(&names);
    reader.setErrorHandler(&names);
    result.wellFormed = reader.parse(&source);
    if (result.wellFormed) {
        result.root = names.root;
    } else {
        result.message = names.message;
        result.line = names.line;
        result.column = names.column;
    }
    return result;
}

} // namespace ZadUruru
