#pragma once

#include <QString>
#include <QStringRef>

namespace ZadUruru {
namespace DefinitionsXml {

/**
 * The text of the table writer's document, laid out as the document tree
 * writes it with an indentation of one space per level: an element holding
 * text on one line, an element without children as an empty-element tag.
 */
class TableDocument
{
public:
    void openLine(int depth, const char *element);
    void closeLine(int depth, const char *element);
    void emptyLine(int depth, const char *element);
    /// One element holding @p text as character data, or as CDATA when @p cdata.
    void textLine(int depth, const char *element, const QString &text, bool cdata);

    const QString &text() const { return m_text; }

private:
    void indent(int depth);
    void appendCharacters(const QString &text);
    void appendCData(const QString &text);
    void appendSection(const QStringRef &piece);

    QString m_text;
};

} // namespace DefinitionsXml
} // namespace ZadUruru
