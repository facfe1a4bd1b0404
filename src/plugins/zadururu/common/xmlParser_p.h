#pragma once

#include <QtGlobal>

QT_BEGIN_NAMESPACE
class QXmlSimpleReader;
QT_END_NAMESPACE

namespace ZadUruru {

/// Which text the parser reports: all of it, or none that is only whitespace (as a document tree read from bytes keeps it).
enum class SpaceOnlyText { Reported, Dropped };

/// Sets up @p reader as every reader of the library parses: qualified names, no namespace processing.
void configureParser(QXmlSimpleReader &reader, SpaceOnlyText text);

} // namespace ZadUruru
