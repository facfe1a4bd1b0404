#include "pagesJob.h"

#include "pageTags.h"

#include <zadururu/common/regularFile.h>
#include <zadururu/scene/projectDataTree.h>
#include <zadururu/scene/scaFileProcessor.h>
#include <zadururu/services/eventLogger.h>

#include <QDir>
#include <QTextStream>

#include <algorithm>

bool loadPages(const QDir &project, ProjectDataTree &tree, QTextStream &out, QTextStream &err)
{
    const QDir pages(project.filePath(QStringLiteral("pages")));
    // FIFOs and devices named like pages too, so that they are named, not passed over.
    const QStringList names = pages.entryList({QStringLiteral("*.xml")}, QDir::Files | QDir::System, QDir::Name);
    bool ok = true;
    out << "Pages in " << pages.path() << ": " << names.size() << '\n';
    for (const QString &name : names) {
        const QString path = pages.filePath(name);
        QString error;
        const QByteArray bytes = ZadUruru::readRegularFile(path, &error);
        if (bytes.isNull()) {
            err << path << ": cannot open: " << error << '\n';
            ok = false;
            continue;
        }
        ScaFileData *data = ScaFileProcessor::loadFileData(bytes, name);
        if (!data) {
            err << path << ": not a well-formed scene file\n";
            ok = false;
            continue;
        }
        tree.files.insert(name, data);
        EventLogger::logData(QStringLiteral("Loaded page %1").arg(path).toLocal8Bit().constData());
        const PagePropertiesData_t &p = data->pageProperties;
        out << "  " << name << ": \"" << p.pageName << "\" id " << p.pageID << ", " << p.W << "x" << p.H
            << ", components " << data->scadaObjects.size() << ", texts " << data->textItems.size()
            << ", query texts " << data->dbqTextItems.size() << ", schedules " << data->scheduleItems.size()
            << ", charts " << data->rtChartItems.size() << ", tables " << data->tableItems.size()
            << ", scrolling texts " << p.ScrollTags.size() << '\n';
    }
    return ok;
}

bool savePages(ProjectDataTree &tree, const QDir &output, QTextStream &out, QTextStream &err)
{
    if (!output.mkpath(QStringLiteral("pages"))) {
        err << output.filePath(QStringLiteral("pages")) << ": cannot create the folder\n";
        return false;
    }
    QStringList names = tree.files.keys();
    std::sort(names.begin(), names.end());
    bool ok = true;
    for (const QString &name : names) {
        const QString path = output.filePath(QStringLiteral("pages/") + name);
        if (!ScaFileProcessor::saveFileData(tree.files.value(name), path)) {
            err << path << ": cannot save the page\n";
            ok = false;
        }
    }
    out << "Saved " << names.size() << " pages to " << output.filePath(QStringLiteral("pages")) << '\n';
    return ok;
}

QStringList usedComponentUids(ProjectDataTree &tree)
{
    QStringList uids;
    for (const ScadaObjectLoadData_t *object : tree.getAllBlocks())
        uids << object->componentUid;
    return uids;
}

QMap<QString, QList<int>> boundTagIdsByPage(ProjectDataTree &tree)
{
    QMap<QString, QList<int>> ids;
    for (auto it = tree.files.constBegin(); it != tree.files.constEnd(); ++it)
        ids.insert(it.key(), boundTagIds(*it.value()));
    return ids;
}
