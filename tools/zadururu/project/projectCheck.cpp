#include "projectCheck.h"

#include "cli/commandLine.h"
#include "pageTags.h"
#include "projectLibrary.h"
#include "xmlCheck.h"

#include <zadururu/definitions/tgchFileProcessor.h>
#include <zadururu/library/scadaLibObject.h>
#include <zadururu/scene/scaFileProcessor.h>

#include <QDir>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QMap>
#include <QSet>
#include <QTextStream>

#include <algorithm>
#include <memory>

namespace {

const QString projectGroup = QStringLiteral("project");

QString keyText(const QString &name)
{
    return QLatin1Char('"') + name + QLatin1Char('"');
}

QString keyText(int id)
{
    return QString::number(id);
}

// Reports each key of @p seen that more than one record carries.
template <class Key>
void reportRepeats(const QString &file, const QString &what, const QMap<Key, QStringList> &seen,
                   QList<Problem> &problems)
{
    for (auto it = seen.constBegin(); it != seen.constEnd(); ++it)
        if (it.value().size() > 1)
            problems.append({file, QString(),
                             QStringLiteral("%1 %2 is used by %3 records: %4")
                                 .arg(what)
                                 .arg(keyText(it.key()))
                                 .arg(it.value().size())
                                 .arg(it.value().join(QStringLiteral(", ")))});
}

void checkDefinitions(const FileDataTree &tree, const QString &file, QList<Problem> &problems)
{
    // The first channel is the loader's own "None" channel.
    QMap<QString, QStringList> channelNames, tagNames, alarmNames;
    QMap<int, QStringList> channelIds, tagIds, alarmIds;
    QSet<int> knownChannelIds;
    QSet<QString> knownChannelNames;
    for (int i = 0; i < tree.channels.size(); ++i) {
        const pKanalDef_t *channel = tree.channels.at(i);
        knownChannelNames.insert(channel->Name);
        if (i == 0)
            continue;
        knownChannelIds.insert(channel->Id);
        const QString record = QStringLiteral("channel %1 (Id %2)").arg(quoted(channel->Name)).arg(channel->Id);
        channelNames[channel->Name] << record;
        if (channel->Id != -1)
            channelIds[channel->Id] << record;
    }
    for (const pEtiketDef_t *tag : tree.tags) {
        const QString record = QStringLiteral("tag %1 (Id %2)").arg(quoted(tag->Name)).arg(tag->Id);
        tagNames[tag->Name] << record;
        tagIds[tag->Id] << record;
        if (tag->Kanal_Id != -1 && !knownChannelIds.contains(tag->Kanal_Id))
            problems.append({file, record, QStringLiteral("its channel Id %1 (Kanal_Id) is not defined").arg(tag->Kanal_Id)});
        if (!tag->KanalName.isEmpty() && !knownChannelNames.contains(tag->KanalName))
            problems.append({file, record, QStringLiteral("its channel %1 (KanalName) is not defined").arg(quoted(tag->KanalName))});
    }
    for (const pAlarmItem_t *alarm : tree.alarms) {
        const QString record = QStringLiteral("alarm %1 (Id %2)").arg(quoted(alarm->alarm_name)).arg(alarm->Id);
        alarmNames[alarm->alarm_name] << record;
        alarmIds[alarm->Id] << record;
    }
    reportRepeats(file, QStringLiteral("channel name"), channelNames, problems);
    reportRepeats(file, QStringLiteral("channel Id"), channelIds, problems);
    reportRepeats(file, QStringLiteral("tag name"), tagNames, problems);
    reportRepeats(file, QStringLiteral("tag Id"), tagIds, problems);
    reportRepeats(file, QStringLiteral("alarm name"), alarmNames, problems);
    reportRepeats(file, QStringLiteral("alarm Id"), alarmIds, problems);

    QSet<int> known;
    for (const pEtiketDef_t *tag : tree.tags)
        known.insert(tag->Id);
    for (const TagBinding &binding : tagBindings(tree))
        if (!known.contains(binding.tagId))
            problems.append({file, binding.record, QStringLiteral("tag %1 bound as %2 is not defined")
                                                       .arg(binding.tagId).arg(binding.field)});
}

} // namespace

CheckReport checkProject(const ProjectFiles &files)
{
    CheckReport report;
    const QDir &project = files.dir;
    report.project = project.path();
    QList<Problem> &problems = report.problems;
    problems = files.problems;
    const QList<ProjectPage> &pages = files.pages;
    report.pages = pages.size();
    const FileDataTree *definitions = files.definitions.get();
    if (definitions) {
        report.channels = definitions->channels.size() - 1;
        report.tags = definitions->tags.size();
        report.alarms = definitions->alarms.size();
        checkDefinitions(*definitions, QStringLiteral("definitions.xml"), problems);
    }

    // Tag bindings of the pages.
    if (definitions) {
        QSet<int> known;
        for (const pEtiketDef_t *tag : definitions->tags)
            known.insert(tag->Id);
        for (const ProjectPage &page : pages)
            for (const TagBinding &binding : tagBindings(*page.data))
                if (!known.contains(binding.tagId))
                    problems.append({page.file, binding.record,
                                     QStringLiteral("tag %1 bound as %2 is not defined")
                                         .arg(binding.tagId).arg(binding.field)});
    }

    // Component library.
    const QString libraryFile = QStringLiteral("library/objlib.xml");
    bool anyComponent = false;
    for (const ProjectPage &page : pages)
        anyComponent = anyComponent || !page.data->scadaObjects.isEmpty();
    if (!QFile::exists(project.filePath(libraryFile))) {
        if (anyComponent)
            problems.append({libraryFile, QString(), QStringLiteral("missing: no component instance can be checked")});
    } else {
        const QByteArray bytes = readProjectFile(project.filePath(libraryFile), libraryFile, problems);
        if (!bytes.isNull() && checkWellFormed(libraryFile, bytes, problems)) {
            QString errors;
            QTextStream err(&errors);
            bool read = false;
            const QList<ScadaLibObject *> library = readProjectLibrary(project, err, &read);
            report.components = library.size();
            if (!read)
                problems.append({libraryFile, QString(), QStringLiteral("cannot be read as a component library")});
            for (const ProjectPage &page : pages) {
                QStringList uids;
                for (const ScadaObjectLoadData_t *object : page.data->scadaObjects)
                    uids << object->componentUid;
                const QStringList missing = componentsMissingFromLibrary(library, uids);
                for (const ScadaObjectLoadData_t *object : page.data->scadaObjects)
                    if (missing.contains(object->componentUid))
                        problems.append({page.file,
                                         QStringLiteral("component \"%1\" (Uid %2)")
                                             .arg(object->common ? object->common->Name : QString())
                                             .arg(object->Uid),
                                         QStringLiteral("its library component %1 is not in the library")
                                             .arg(quoted(object->componentUid))});
            }
        }
    }

    // Across pages: component ids and page numbers must be unique.
    QMap<int, QStringList> uidUse;
    QMap<int, QStringList> pageIds;
    for (const ProjectPage &page : pages) {
        for (const ScadaObjectLoadData_t *object : page.data->scadaObjects)
            uidUse[object->Uid] << page.file;
        pageIds[page.data->pageProperties.pageID] << page.file;
    }
    for (auto it = uidUse.constBegin(); it != uidUse.constEnd(); ++it) {
        QStringList files = it.value();
        files.removeDuplicates();
        if (files.size() > 1)
            problems.append({projectGroup, QString(),
                             QStringLiteral("component Uid %1 is used on %2 pages: %3")
                                 .arg(it.key()).arg(files.size()).arg(files.join(QStringLiteral(", ")))});
    }
    for (auto it = pageIds.constBegin(); it != pageIds.constEnd(); ++it)
        if (it.value().size() > 1)
            problems.append({projectGroup, QString(),
                             QStringLiteral("pageID %1 is shared by %2 pages: %3")
                                 .arg(it.key()).arg(it.value().size()).arg(it.value().join(QStringLiteral(", ")))});

    return report;
}

void CheckReport::writeText(QTextStream &out) const
{
    out << "Project " << project << ": " << pages << " pages, " << channels << " channels, " << tags
        << " tags, " << alarms << " alarms, " << components << " library components\n";
    // Pages in name order, then the definitions, the library and what
    // concerns the project as a whole; within a file, what concerns the file
    // itself first, then each record in the order it was found.
    const auto rank = [](const QString &file) {
        if (file.startsWith(QLatin1String("pages")))
            return 0;
        if (file == projectGroup)
            return 3;
        return file.startsWith(QLatin1String("library")) ? 2 : 1;
    };
    // Grouped in one pass, each group in the order it was found, so that a
    // report of many problems costs no more than its length.
    struct Group
    {
        QString name;
        QVector<const Problem *> problems;
    };
    const auto groupBy = [](const QVector<const Problem *> &items, QString Problem::*key, QVector<Group> groups) {
        QHash<QString, int> index;
        for (int i = 0; i < groups.size(); ++i)
            index.insert(groups.at(i).name, i);
        for (const Problem *problem : items) {
            const QString &name = problem->*key;
            int at = index.value(name, -1);
            if (at < 0) {
                at = groups.size();
                index.insert(name, at);
                groups.append({name, {}});
            }
            groups[at].problems.append(problem);
        }
        return groups;
    };
    QVector<const Problem *> all;
    for (const Problem &problem : problems)
        all.append(&problem);
    QVector<Group> files = groupBy(all, &Problem::file, {});
    std::stable_sort(files.begin(), files.end(), [&rank](const Group &a, const Group &b) {
        return rank(a.name) != rank(b.name) ? rank(a.name) < rank(b.name) : a.name < b.name;
    });
    for (const Group &file : qAsConst(files)) {
        out << '\n' << file.name << '\n';
        // What concerns the file itself first.
        for (const Group &record : groupBy(file.problems, &Problem::record, {Group{QString(), {}}})) {
            if (!record.name.isEmpty())
                out << "  " << record.name << '\n';
            for (const Problem *problem : record.problems)
                out << (record.name.isEmpty() ? "  " : "    ") << problem->message << '\n';
        }
    }
    out << '\n'
        << (problems.isEmpty() ? QStringLiteral("No problems found.")
                               : QStringLiteral("%1 problem%2 found.").arg(problems.size()).arg(problems.size() == 1 ? "" : "s"))
        << '\n';
}

QJsonObject CheckReport::toJson() const
{
    QJsonArray list;
    for (const Problem &problem : problems)
        list.append(QJsonObject{{QStringLiteral("file"), problem.file},
                                {QStringLiteral("record"), problem.record},
                                {QStringLiteral("message"), problem.message}});
    return QJsonObject{
        {QStringLiteral("project"), project},
        {QStringLiteral("pages"), pages},
        {QStringLiteral("channels"), channels},
        {QStringLiteral("tags"), tags},
        {QStringLiteral("alarms"), alarms},
        {QStringLiteral("components"), components},
        {QStringLiteral("problemCount"), problems.size()},
        {QStringLiteral("problems"), list},
    };
}
