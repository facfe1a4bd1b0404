#pragma once

#include <QByteArray>

namespace ZadUruru {
namespace DefinitionsXml {

class DefinitionsReader;

/**
 * Reads a definitions file of the plain form that the library's writers and
 * the definitions editor write, and gives @p reader the events the XML parser
 * would give it, at a fraction of the parser's cost: UTF-8 without a byte
 * order mark, at most an XML declaration of version 1.0 (UTF-8) and a
 * document type of a bare name before the root, elements without attributes,
 * character data with the five predefined entities, and CDATA sections,
 * nested no deeper than the limit of every reader.
 *
 * Whatever falls outside that form, well-formed or not (comments, processing
 * instructions, attributes, character references, carriage returns, control
 * characters, anything but whitespace after the root, mismatched or missing
 * end tags...), makes it return false, part way, and the parser decides: the
 * scanner only ever takes documents that the parser reads the same way.
 */
class PlainScanner
{
public:
    static bool scan(const QByteArray &data, DefinitionsReader &reader);
};

} // namespace DefinitionsXml
} // namespace ZadUruru
