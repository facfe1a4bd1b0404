#pragma once

// The work of the plugin: the open project's pages in a project tree, its
// definitions file kept current by a watcher, and a report of the tags the
// pages bind.

#include <zadururu/scene/projectDataTree.h>

#include <QObject>
#include <QString>

class TagChFileWatcher;

class TagUsage : public QObject
{
    Q_OBJECT

public:
    explicit TagUsage(QObject *parent = nullptr);
    ~TagUsage() override;

    // Loads the pages of PROJECT/pages and watches PROJECT/definitions.xml.
    void open(const QString &projectDir);
    // Frees every page and the definitions, whole.
    void close();

    // Logs (category "tagusage") the tags each page binds, those the
    // definitions lack, those no page binds, and a free component id.
    void report();

private:
    ProjectDataTree m_pages;
    TagChFileWatcher *m_definitions = nullptr;
};
