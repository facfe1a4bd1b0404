#include "tagUsage.h"

#include <zadururu/definitions/tagChFileWatcher.h>
#include <zadururu/scene/scaFileProcessor.h>

#include <QDir>
#include <QLoggingCategory>
#include <QSet>
#include <QStringList>

#include <algorithm>

Q_LOGGING_CATEGORY(lcTagUsage, "tagusage")

namespace {

// The tags a page binds: the label of each component instance, the tags of
// schedules and chart lines, the reported tag of query texts and the
// scrolling texts' tags. -1 binds nothing.
QList<int> boundTags(const ScaFileData &page)
{
    QList<int> ids = page.labelTagIds;
    for (const ScheduleItemLoadData_t *schedule : page.scheduleItems)
        ids += schedule->TagIDs;
    for (const RealTimeChartItemLoadData_t *chart : page.rtChartItems) {
        for (const ChartLineData &line : chart->TagIDs)
            ids << line.Tag;
    }
    for (const DbQueryTextItemLoadData_t *query : page.dbqTextItems)
        ids << query->reportTag;
    for (const ScrollingText &text : page.pageProperties.ScrollTags)
        ids << text.TagID;
    ids.removeAll(-1);
    std::sort(ids.begin(), ids.end());
    ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
    return ids;
}

QString idList(QList<int> ids)
{
    std::sort(ids.begin(), ids.end());
    QStringList texts;
    for (int id : ids)
        texts << QString::number(id);
    return texts.isEmpty() ? QStringLiteral("-") : texts.join(QLatin1Char(' '));
}

} // namespace

TagUsage::TagUsage(QObject *parent)
    : QObject(parent)
{
}

TagUsage::~TagUsage()
{
    close();
}

void TagUsage::open(const QString &projectDir)
{
    close();
    const QDir pages(QDir(projectDir).filePath(QStringLiteral("pages")));
    for (const QString &name : pages.entryList({QStringLiteral("*.xml")}, QDir::Files, QDir::Name)) {
        // Null for a file that cannot be read or is not well-formed XML. The
        // page's fileName is the file's name: the key the tree keeps it under.
        ScaFileData *page = ScaFileProcessor::loadFileData(pages.filePath(name));
        if (!page) {
            qCWarning(lcTagUsage, "cannot read the page %s", qUtf8Printable(pages.filePath(name)));
            continue;
        }
        m_pages.files.insert(name, page);
    }

    m_definitions = new TagChFileWatcher(QDir(projectDir).filePath(QStringLiteral("definitions.xml")), this);
    // The old tree's records are gone when the signal arrives: report from the new one.
    connect(m_definitions, &TagChFileWatcher::tgchFileUpdated, this, &TagUsage::report);
}

void TagUsage::close()
{
    // selfDestruct() would free only the component instances of each page.
    for (ScaFileData *page : qAsConst(m_pages.files))
        destroyScaFileData(page);
    m_pages.files.clear();

    if (m_definitions) {
        // The watcher frees a tree only when it loads the next one; the last
        // one is ours to free.
        destroyFileDataTree(m_definitions->tagChData());
        delete m_definitions;
        m_definitions = nullptr;
    }
}

void TagUsage::report()
{
    const FileDataTree *definitions = m_definitions ? m_definitions->tagChData() : nullptr;
    if (!definitions) {
        qCWarning(lcTagUsage, "no definitions file");
        return;
    }
    QSet<int> defined;
    for (const pEtiketDef_t *tag : definitions->tags)
        defined.insert(tag->Id);
    qCInfo(lcTagUsage, "%d pages, %d tags defined", int(m_pages.files.size()), int(defined.size()));

    QStringList names = m_pages.files.keys();
    std::sort(names.begin(), names.end());
    QSet<int> boundAnywhere;
    for (const QString &name : qAsConst(names)) {
        const ScaFileData *page = m_pages.files.value(name);
        const QList<int> bound = boundTags(*page);
        QList<int> missing;
        for (int id : bound) {
            boundAnywhere.insert(id);
            if (!defined.contains(id))
                missing << id;
        }
        qCInfo(lcTagUsage, "%s (page %d) binds %s; not defined: %s", qUtf8Printable(name),
               page->pageProperties.pageID, qUtf8Printable(idList(bound)), qUtf8Printable(idList(missing)));
    }
    qCInfo(lcTagUsage, "bound by no page: %s", qUtf8Printable(idList((defined - boundAnywhere).values())));

    // requestUniqueId() compares its candidates in a single pass over the
    // instances, so one that collided early may be drawn again: check it.
    int id = m_pages.requestUniqueId();
    while (m_pages.getBlock(id))
        id = m_pages.requestUniqueId();
    qCInfo(lcTagUsage, "a new component instance would get the id %d", id);
}
