#include "wellFormed.h"

#include "plainXmlScanner_p.h"
#include "xmlParser_p.h"

#include <QXmlDefaultHandler>

#include <new>

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

WellFormedness check(const QByteArray &data)
{
    WellFormedness result;
    {
        RootName names;
        if (PlainXmlScanner<RootName>(data, names).scan()) {
            result.wellFormed = true;
            result.root = names.root;
            return result;
        }
    }
    RootName names;
    XmlLimit limit = XmlLimit::None;
    result.wellFormed = parseXml(data, names, SpaceOnlyText::Dropped, &names, &limit);
    if (result.wellFormed) {
        result.root = names.root;
    } else {
        result.message = names.message;
        result.line = names.line;
        result.column = names.column;
        result.overLimit = limit != XmlLimit::None;
    }
    return result;
}

} // namespace

WellFormedness checkWellFormed(const QByteArray &data)
{
    try {
        return check(data);
    } catch (const std::bad_alloc &) {
        WellFormedness result;
        result.message = QStringLiteral("not enough memory to read it");
        result.overLimit = true;
        return result;
    }
}

} // namespace ZadUruru
