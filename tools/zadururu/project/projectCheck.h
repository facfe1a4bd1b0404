#pragma once

#include "projectFiles.h"

#include <QJsonObject>
#include <QList>
#include <QString>

QT_BEGIN_NAMESPACE
class QDir;
class QTextStream;
QT_END_NAMESPACE

/// What a project check read and what it found.
struct CheckReport
{
    QString project;
    int pages = 0;
    int channels = 0;
    int tags = 0;
    int alarms = 0;
    int components = 0;
    QList<Problem> problems;

    /// Problems grouped by file, then by record, readable in a terminal.
    void writeText(QTextStream &out) const;
    QJsonObject toJson() const;
};

/**
 * Reads every file of the project in @p project (see the README for the
 * layout: the pages folder, definitions.xml, library/objlib.xml) and reports what
 * is inconsistent between them. Reading never changes a file.
 */
CheckReport checkProject(const ProjectFiles &files);
