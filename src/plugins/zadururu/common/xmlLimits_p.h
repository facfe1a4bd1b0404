#pragma once

#include "xmlLimits.h"

#include <zadururu/zadururu_export.h>

#include <QString>
#include <QStringView>

namespace ZadUruru {

/// Which limit of xmlLimits.h a document goes past.
enum class XmlLimit {
    None,
    Nesting,            ///< elements deeper than maxXmlNestingDepth
    EntityDeclarations, ///< more than maxXmlEntityDeclarations
    EntityExpansion,    ///< references making the document grow past maxXmlEntityExpansion times its size
    DocumentType,       ///< parameter entity references, or declarations of a form the limits cannot judge
};

/// What the readers and the well-formedness check say of a document refused for @p limit.
ZADURURU_EXPORT QString xmlLimitMessage(XmlLimit limit);

/**
 * The limit that the entities of @p text, a whole document as the parser
 * reads it (decoded), go past, judged before it is parsed, in one pass over
 * its document type and its references. The entities that its internal
 * subset declares are weighed by their replacement texts, nested references
 * expanded; every reference after the subset counts with the weight of its
 * entity. Parameter entity references, which can declare entities out of
 * other entities' texts, are not weighed: a document that uses one is
 * refused, as is a subset holding what is not a declaration, a comment or a
 * processing instruction. A document that declares no entity gives None at
 * once; so does one whose prolog the parser will refuse anyway.
 */
ZADURURU_EXPORT XmlLimit entityLimit(QStringView text);

} // namespace ZadUruru
