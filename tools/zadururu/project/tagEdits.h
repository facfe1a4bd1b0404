#pragma once

#include "project/xmlSource.h"

#include <QByteArray>
#include <QList>
#include <QString>

/// One value changed in place: its bytes, where they are, and what replaces them.
struct ValueEdit
{
    XmlSpan span;
    QByteArray before;
    QByteArray after;
    XmlPosition position;
};

/**
 * The edits of one project file for a rename of a tag: exactly the bytes of
 * the values the library's readers read, every other byte as it was. When
 * the file's form does not allow that (another encoding, entities declared
 * in its document type, a value split by a comment or not written at all),
 * refusal says why and there are no edits.
 */
struct FileEdits
{
    QList<ValueEdit> edits;
    QString refusal;

    /// @p bytes with the edits made.
    QByteArray applied(const QByteArray &bytes) const;
};

/**
 * The edits of the scene page @p bytes that bind every tag binding of
 * @p from to @p to: the tagID_ attributes of a component instance's TagIDs,
 * the Tag texts of a schedule and the Tag attributes (and older Tag texts)
 * of a chart, the reportTag of a database-query text and the TagID of each
 * scrolling text, in the places the page reader reads them.
 */
FileEdits pageTagEdits(const QByteArray &bytes, int from, int to);

/**
 * The edits of the definitions file @p bytes for a rename of the tag at
 * @p tagIndex in its tag list: its Id from @p from to @p to and every alarm
 * binding of @p from (tagID, limit_tag_id, limit_tag2_id); or, with
 * @p newName not null, its Name to @p newName and nothing else.
 */
FileEdits definitionsTagEdits(const QByteArray &bytes, int tagIndex, int from, int to, const QString &newName = QString());

/**
 * The edits of @p bytes as a unified diff of raw lines, as "diff -u" prints
 * it, with @p context lines around each change; @p name names both sides.
 */
QByteArray unifiedDiff(const QString &name, const QByteArray &bytes, const QList<ValueEdit> &edits, int context = 3);
