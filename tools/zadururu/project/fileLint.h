#pragma once

#include "finding.h"
#include "readerVocabulary.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QVector>

/// Where a record starts in its file: the line and column of its start tag.
struct RecordPlace
{
    int line = 0;
    int column = 0;
};

/**
 * What one file shows by itself, against what the readers read of its kind
 * (readerVocabulary.h), in one walk over its bytes: the warnings of the
 * bytes (W1xx) and of the content (W2xx), a document element of another
 * name (E103), and where each record stands, for the findings that need
 * other files to be found.
 */
struct FileLint
{
    QList<Finding> findings;
    /// The start of each record, by kind ("tag", "component"...), in the
    /// order the readers list the records of that kind.
    QHash<QString, QVector<RecordPlace>> places;

    /// The place of the record of @p kind at @p index (from 0) of the readers' list; 0, 0 when unknown.
    RecordPlace place(const QString &kind, int index) const;
};

/**
 * Lints @p bytes, the content of the file @p file (named so in the
 * findings), read as a file of @p kind. The bytes should be well-formed:
 * a walk that stops at an error gives what it found before it.
 */
FileLint lintFile(const QByteArray &bytes, const QString &file, ReaderVocabulary::FileKind kind);
