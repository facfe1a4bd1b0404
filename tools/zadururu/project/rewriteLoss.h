#pragma once

#include "fileLint.h"
#include "finding.h"
#include "recordRef.h"

#include <QJsonObject>
#include <QList>
#include <QString>

#include <optional>

class ScaFileData;

/**
 * The size the reader gave a text item whose file stores none, and the font
 * it measured the text in: the family and pixel size the item asks for, and
 * the font this machine's font system matched to them. Another machine, with
 * other fonts, measures another size.
 */
struct MeasuredSize
{
    int width = 0;  ///< the item's width as read, measured when the file has no Width
    int height = 0; ///< the item's height as read, measured when the file has no Height
    QString family; ///< asked for
    int pixelSize = 0; ///< asked for; 0 or less leaves the application font's size
    bool bold = false;
    bool italic = false;
    QString matchedFamily; ///< what the font system gave for it here
    int matchedPixelSize = 0;

    /// `"Arial" bold at 14 px, which this machine draws in "DejaVu Sans" bold at 14 px`.
    QString fontText() const;
};

/**
 * One thing that rewriting a file in the canonical form of the library's
 * writers drops, invents or changes, where it stands in the file and why.
 */
struct RewriteLoss
{
    RewriteEffect effect = RewriteEffect::Dropped;
    /// The check's finding that says why; none for a comment or processing instruction.
    std::optional<FindingCode> code;
    RecordRef record; ///< record.file is the file; no kind for what lies outside any record
    int line = 0;
    int column = 0;
    QString message;
    std::optional<MeasuredSize> measured; ///< for a size measured: the size and the font

    /// One line: `pages/a.xml:11:13: dropped: component "P-1" (Uid 100): no reader reads the element Tooltipp inside Item`.
    QString text() const;
    /**
     * {"effect", "code", "line", "column", "record", "message"}, with
     * "measured" for a size measured; code and record null where there are none.
     */
    QJsonObject toJson() const;
};

/**
 * Everything that rewriting the file @p lint describes in canonical form
 * would drop, invent or change, in file order: the lint's findings whose
 * rewrite is not RewriteEffect::Kept, and the comments and processing
 * instructions, which no writer writes. @p page is the file as read, for the
 * size measured of each text item that stores none and the font it was
 * measured in; null for a definitions file.
 */
QList<RewriteLoss> rewriteLosses(const FileLint &lint, const QString &file, const ScaFileData *page);

/// "2 dropped, 1 invented, 1 changed": what @p losses do, counted (no effect that none has).
QString rewriteLossSummary(const QList<RewriteLoss> &losses);
