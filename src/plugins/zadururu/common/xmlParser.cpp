#include "xmlParser_p.h"

#include "xmlLimits.h"

#include <QXmlInputSource>
#include <QXmlSimpleReader>

namespace ZadUruru {

void configureParser(QXmlSimpleReader &reader, SpaceOnlyText text)
{
    reader.setFeature(QStringLiteral("http://xml.org/sax/features/namespaces"), false);
    reader.setFeature(QStringLiteral("http://xml.org/sax/features/namespace-prefixes"), true);
    reader.setFeature(QStringLiteral("http://trolltech.com/xml/features/report-whitespace-only-CharData"),
                      text == SpaceOnlyText::Reported);
}

bool parseXml(const QByteArray &data, QXmlContentHandler &handler, SpaceOnlyText text)
{
    if (isTooDeeplyNested(data))
        return false;
    QXmlInputSource source;
    source.setData(data);
    QXmlSimpleReader reader;
    configureParser(reader, text);
    // The parser checks and resolves a document alike whichever handlers it
    // reports to; the readers need only the content.
    reader.setContentHandler(&handler);
    return reader.parse(&source);
}

} // namespace ZadUruru
