#include "xmlParser_p.h"

#include <QXmlSimpleReader>

namespace ZadUruru {

void configureParser(QXmlSimpleReader &reader, SpaceOnlyText text)
{
    reader.setFeature(QStringLiteral("http://xml.org/sax/features/namespaces"), false);
    reader.setFeature(QStringLiteral("http://xml.org/sax/features/namespace-prefixes"), true);
    reader.setFeature(QStringLiteral("http://trolltech.com/xml/features/report-whitespace-only-CharData"),
                      text == SpaceOnlyText::Reported);
}

} // namespace ZadUruru
