#include "xmlParser_p.h"

#include <QDomDocument>
#include <QXmlDefaultHandler>
#include <QXmlInputSource>
#include <QXmlSimpleReader>

namespace ZadUruru {

namespace {

// Passes the parser's content events on, refusing the element that would lie
// deeper than the limit: the parser stops there, before it recurses into it.
class NestingLimit : public QXmlContentHandler
{
public:
    explicit NestingLimit(QXmlContentHandler &handler) : m_handler(handler) {}

    bool tooDeep() const { return m_tooDeep; }

    void setDocumentLocator(QXmlLocator *locator) override { m_handler.setDocumentLocator(locator); }
    bool startDocument() override { return m_handler.startDocument(); }
    bool endDocument() override { return m_handler.endDocument(); }
    bool startPrefixMapping(const QString &prefix, const QString &uri) override
    {
        return m_handler.startPrefixMapping(prefix, uri);
    }
    bool endPrefixMapping(const QString &prefix) override { return m_handler.endPrefixMapping(prefix); }
    bool startElement(const QString &namespaceUri, const QString &localName, const QString &qName,
                      const QXmlAttributes &attributes) override
    {
        if (m_depth == maxXmlNestingDepth) {
            m_tooDeep = true;
            return false;
        }
        ++m_depth;
        return m_handler.startElement(namespaceUri, localName, qName, attributes);
    }
    bool endElement(const QString &namespaceUri, const QString &localName, const QString &qName) override
    {
        --m_depth;
        return m_handler.endElement(namespaceUri, localName, qName);
    }
    bool characters(const QString &text) override { return m_handler.characters(text); }
    bool ignorableWhitespace(const QString &text) override { return m_handler.ignorableWhitespace(text); }
    bool processingInstruction(const QString &target, const QString &data) override
    {
        return m_handler.processingInstruction(target, data);
    }
    bool skippedEntity(const QString &name) override { return m_handler.skippedEntity(name); }
    QString errorString() const override
    {
        return m_tooDeep ? xmlLimitMessage(XmlLimit::Nesting) : m_handler.errorString();
    }

private:
    QXmlContentHandler &m_handler;
    int m_depth = 0;
    bool m_tooDeep = false;
};

} // namespace

void configureParser(QXmlSimpleReader &reader, SpaceOnlyText text)
{
    reader.setFeature(QStringLiteral("http://xml.org/sax/features/namespaces"), false);
    reader.setFeature(QStringLiteral("http://xml.org/sax/features/namespace-prefixes"), true);
    reader.setFeature(QStringLiteral("http://trolltech.com/xml/features/report-whitespace-only-CharData"),
                      text == SpaceOnlyText::Reported);
}

bool parseXml(const QByteArray &data, QXmlContentHandler &handler, SpaceOnlyText text, QXmlErrorHandler *errors,
              XmlLimit *limit)
{
    QXmlInputSource source;
    source.setData(data);
    // The entities are judged in the text the parser reads, whatever its encoding.
    XmlLimit found = entityLimit(source.data());
    if (found != XmlLimit::None) {
        if (errors)
            errors->fatalError(QXmlParseException(xmlLimitMessage(found), 0, 0));
        if (limit)
            *limit = found;
        return false;
    }
    QXmlSimpleReader reader;
    configureParser(reader, text);
    // The parser checks and resolves a document alike whichever handlers it
    // reports to; the readers need only the content.
    NestingLimit limited(handler);
    reader.setContentHandler(&limited);
    if (errors)
        reader.setErrorHandler(errors);
    const bool parsed = reader.parse(&source);
    if (limited.tooDeep() && limit)
        *limit = XmlLimit::Nesting;
    return parsed;
}

bool parseDocumentTree(const QByteArray &data, QDomDocument &document, SpaceOnlyText text)
{
    QXmlDefaultHandler events;
    if (!parseXml(data, events, text))
        return false;
    if (text == SpaceOnlyText::Dropped)
        return document.setContent(data, false);
    QXmlInputSource source;
    source.setData(data);
    QXmlSimpleReader reader;
    configureParser(reader, text);
    return document.setContent(&source, &reader);
}

} // namespace ZadUruru
