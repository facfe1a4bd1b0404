#include "projectCheck.h"

#include "cli/commandLine.h"
#include "pageTags.h"
#include "projectLibrary.h"

#include <zadururu/definitions/tgchFileProcessor.h>
#include <zadururu/library/scadaLibObject.h>
#include <zadururu/scene/scaFileProcessor.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QTextStream>

namespace {

using ReaderVocabulary::FileKind;

const QString definitionsFile = QStringLiteral("definitions.xml");
const QString libraryFile = QStringLiteral("library/objlib.xml");

RecordRef recordRef(const QString &file, const QString &kind, qint64 uid, qint64 id, const QString &name)
{
    return RecordRef{file, kind, uid, id, 0, name};
}

RecordRef fileRef(const QString &file)
{
    return RecordRef{file, {}, -1, -1, 0, {}};
}

// " on line 12", or nothing when the place is not known.
QString lineText(RecordPlace place)
{
    return place.line > 0 ? QStringLiteral(" on line %1").arg(place.line) : QString();
}

// The last part of a file name recorded as a path, with either separator.
QString baseName(const QString &path)
{
    const int slash = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return path.mid(slash + 1);
}

struct Checker
{
    const ProjectFiles &files;
    const ProjectLint &lint;
    const QSet<FindingCode> &ignored;
    QList<Finding> &findings;

    void add(FindingCode code, const RecordRef &record, RecordPlace place, const QString &message)
    {
        if (!ignored.contains(code))
            findings.append(Finding{code, record, place.line, place.column, message});
    }

    // The first record of each key among the records of a kind, by index.
    template <class Key>
    struct Firsts
    {
        QHash<Key, int> seen;
        /// The index of the first record with @p key, or -1 when @p index is the first.
        int repeat(const Key &key, int index)
        {
            const auto it = seen.constFind(key);
            if (it != seen.constEnd())
                return *it;
            seen.insert(key, index);
            return -1;
        }
    };

    static QString keyText(const QString &name) { return quoted(name); }
    static QString keyText(int id) { return QString::number(id); }

    /**
     * A finding on the record @p index of a kind when an earlier one has its
     * @p key: the records are named by @p refOf and placed by @p places only
     * then, since most records have no finding.
     */
    template <class Key, class RefOf>
    void reportRepeat(Firsts<Key> &firsts, FindingCode code, const Key &key, const char *what, int index,
                      const RefOf &refOf, const QVector<RecordPlace> &places)
    {
        const int first = firsts.repeat(key, index);
        if (first < 0)
            return;
        const auto placeOf = [&places](int i) { return i < places.size() ? places.at(i) : RecordPlace(); };
        add(code, refOf(index), placeOf(index),
            QStringLiteral("its %1 %2 is also the %1 of %3%4")
                .arg(QLatin1String(what), keyText(key), refOf(first).text(), lineText(placeOf(first))));
    }

    void checkDefinitions(const FileDataTree &tree, const QSet<int> &knownTags)
    {
        const FileLint &lint = this->lint.file(definitionsFile);
        const QVector<RecordPlace> channelPlaces = lint.places.value(QStringLiteral("channel"));
        const QVector<RecordPlace> tagPlaces = lint.places.value(QStringLiteral("tag"));
        const QVector<RecordPlace> alarmPlaces = lint.places.value(QStringLiteral("alarm"));
        // The first channel is the loader's own "None" channel: Id -1, and the name "None".
        const auto channelRef = [&tree](int i) {
            const pKanalDef_t *c = tree.channels.at(i + 1);
            return recordRef(definitionsFile, QStringLiteral("channel"), -1, c->Id, c->Name);
        };
        const auto tagRef = [&tree](int i) {
            return recordRef(definitionsFile, QStringLiteral("tag"), -1, tree.tags.at(i)->Id, tree.tags.at(i)->Name);
        };
        const auto alarmRef = [&tree](int i) {
            const pAlarmItem_t *a = tree.alarms.at(i);
            return recordRef(definitionsFile, QStringLiteral("alarm"), -1, a->Id, a->alarm_name);
        };
        QHash<int, const pKanalDef_t *> channelById;
        QHash<QString, const pKanalDef_t *> channelByName;
        Firsts<QString> channelNames, tagNames, alarmNames;
        Firsts<int> channelIds, tagIds, alarmIds;
        for (int i = 0; i + 1 < tree.channels.size(); ++i) {
            const pKanalDef_t *channel = tree.channels.at(i + 1);
            reportRepeat(channelNames, FindingCode::RepeatedName, channel->Name, "name", i, channelRef, channelPlaces);
            if (channel->Id != -1)
                reportRepeat(channelIds, FindingCode::RepeatedId, channel->Id, "Id", i, channelRef, channelPlaces);
            if (!channelById.contains(channel->Id))
                channelById.insert(channel->Id, channel);
            if (!channelByName.contains(channel->Name))
                channelByName.insert(channel->Name, channel);
        }
        const auto channelText = [](const pKanalDef_t *channel) {
            return QStringLiteral("channel %1 (Id %2)").arg(quoted(channel->Name)).arg(channel->Id);
        };
        for (int i = 0; i < tree.tags.size(); ++i) {
            const pEtiketDef_t *tag = tree.tags.at(i);
            reportRepeat(tagNames, FindingCode::RepeatedName, tag->Name, "name", i, tagRef, tagPlaces);
            reportRepeat(tagIds, FindingCode::RepeatedId, tag->Id, "Id", i, tagRef, tagPlaces);

            // Id -1, an empty name and "None" name the loader's "None" channel: no channel.
            const bool noId = tag->Kanal_Id == -1;
            const bool noName = tag->KanalName.isEmpty() || tag->KanalName == QLatin1String("None");
            const pKanalDef_t *byId = noId ? nullptr : channelById.value(tag->Kanal_Id);
            const pKanalDef_t *byName = noName ? nullptr : channelByName.value(tag->KanalName);
            const RecordPlace place = i < tagPlaces.size() ? tagPlaces.at(i) : RecordPlace();
            if (!noId && !byId)
                add(FindingCode::UndefinedChannel, tagRef(i), place,
                    QStringLiteral("its channel Id %1 (Kanal_Id) is not defined").arg(tag->Kanal_Id));
            if (!noName && !byName)
                add(FindingCode::UndefinedChannel, tagRef(i), place,
                    QStringLiteral("its channel %1 (KanalName) is not defined").arg(quoted(tag->KanalName)));
            if (noId && noName)
                add(FindingCode::TagWithoutChannel, tagRef(i), place,
                    QStringLiteral("it is bound to no channel (KanalName %1, Kanal_Id -1), so no channel reads it")
                        .arg(quoted(tag->KanalName)));
            else if ((noId && byName) || (noName && byId) || (byId && byName && byId != byName))
                add(FindingCode::ChannelMismatch, tagRef(i), place,
                    QStringLiteral("its Kanal_Id %1 names %2, but its KanalName %3 names %4")
                        .arg(tag->Kanal_Id)
                        .arg(byId ? channelText(byId) : QStringLiteral("no channel"), quoted(tag->KanalName),
                             byName ? channelText(byName) : QStringLiteral("no channel")));
        }
        for (int i = 0; i < tree.alarms.size(); ++i) {
            const pAlarmItem_t *alarm = tree.alarms.at(i);
            reportRepeat(alarmNames, FindingCode::RepeatedName, alarm->alarm_name, "name", i, alarmRef, alarmPlaces);
            reportRepeat(alarmIds, FindingCode::RepeatedId, alarm->Id, "Id", i, alarmRef, alarmPlaces);
        }
        checkBindings(definitionsFile, tagBindings(tree), knownTags);
    }

    void checkBindings(const QString &file, const QList<TagBinding> &bindings, const QSet<int> &knownTags)
    {
        const FileLint &lint = this->lint.file(file);
        for (const TagBinding &binding : bindings)
            if (!knownTags.contains(binding.tagId))
                add(FindingCode::UndefinedTag, bindingRecord(file, binding), lint.place(binding.kind, binding.index - 1),
                    QStringLiteral("tag %1 bound as %2 is not defined").arg(binding.tagId).arg(binding.field));
    }

    void checkPage(const ProjectPage &page)
    {
        const PagePropertiesData_t &properties = page.data->pageProperties;
        const RecordRef record{page.file, QStringLiteral("page"), -1, -1, 0, {}};
        const RecordPlace place = lint.file(page.file).place(record.kind, 0);
        const QString fileName = QFileInfo(page.file).fileName();
        if (baseName(properties.fileName) != fileName)
            add(FindingCode::PageFileName, record, place,
                properties.fileName.isEmpty()
                    ? QStringLiteral("it records no fileName, where the editor finds pages by the name they record")
                    : QStringLiteral("it records the fileName %1, but its file is %2")
                          .arg(quoted(properties.fileName), quoted(fileName)));
        if (properties.W <= 0 || properties.H <= 0)
            add(FindingCode::PageSize, record, place,
                QStringLiteral("its size is %1 by %2 (pageGeometry W and H): it cannot be shown")
                    .arg(properties.W).arg(properties.H));
    }

    // The library's records, its repeated names and ids, and its images;
    // *read is false when there is no library to check instances against.
    QList<ScadaLibObject *> checkLibrary(bool anyComponent, bool *read)
    {
        *read = false;
        const QDir &project = files.dir;
        if (!QFile::exists(project.filePath(libraryFile))) {
            if (anyComponent)
                add(FindingCode::MissingFile, fileRef(libraryFile), {},
                    QStringLiteral("missing: no component instance can be checked"));
            return {};
        }
        QList<Finding> problems;
        const QByteArray bytes = readProjectFile(project.filePath(libraryFile), libraryFile, problems);
        if (bytes.isNull() || !checkWellFormed(libraryFile, bytes, problems)) {
            for (const Finding &problem : qAsConst(problems))
                add(problem.code, problem.record, {problem.line, problem.column}, problem.message);
            return {};
        }
        QString errors;
        QTextStream err(&errors);
        const QList<ScadaLibObject *> library = readProjectLibrary(project, err, read);
        if (!*read) {
            add(FindingCode::WrongDocument, fileRef(libraryFile), {}, QStringLiteral("cannot be read as a component library"));
            return {};
        }
        // ProjectFiles does not read the library, so its walk is made here.
        const FileLint lint = lintFile(bytes, libraryFile, FileKind::Library);
        for (const Finding &finding : lint.findings)
            add(finding.code, finding.record, {finding.line, finding.column}, finding.message);
        Firsts<QString> names;
        Firsts<int> ids;
        const QVector<RecordPlace> places = lint.places.value(QStringLiteral("library component"));
        const auto refOf = [&library](int i) {
            return recordRef(libraryFile, QStringLiteral("library component"), -1, library.at(i)->objectUID, library.at(i)->name);
        };
        const QDir libraryDir(project.filePath(QStringLiteral("library")));
        for (int i = 0; i < library.size(); ++i) {
            const ScadaLibObject *component = library.at(i);
            const RecordRef record = refOf(i);
            const RecordPlace place = lint.place(record.kind, i);
            if (!component->name.isEmpty())
                reportRepeat(names, FindingCode::RepeatedName, component->name, "name", i, refOf, places);
            reportRepeat(ids, FindingCode::RepeatedId, component->objectUID, "objectUID", i, refOf, places);
            for (int k = 0; k < component->images.size(); ++k) {
                const QString &image = component->images.at(k);
                // Nothing outside the library folder is looked at (images are "images/" and a name).
                const QString clean = QDir::cleanPath(image);
                if (clean == QLatin1String("..") || clean.startsWith(QLatin1String("../"))) {
                    add(FindingCode::MissingImage, record, place,
                        QStringLiteral("its image %1 lies outside the library folder").arg(quoted(image)));
                    continue;
                }
                const QFileInfo info(libraryDir.filePath(clean));
                if (info.isFile())
                    continue;
                const QString other = baseName(image).isEmpty() ? QString() : otherLetterCase(info.dir(), info.fileName());
                if (baseName(image).isEmpty())
                    add(FindingCode::MissingImage, record, place, QStringLiteral("its image%1 names no file").arg(k + 1));
                else if (!other.isEmpty())
                    add(FindingCode::ImageLetterCase, record, place,
                        QStringLiteral("its image %1 is not there, only %2: file names are told apart by letter case")
                            .arg(quoted(image), quoted(image.left(image.size() - info.fileName().size()) + other)));
                else
                    add(FindingCode::MissingImage, record, place,
                        QStringLiteral("its image %1 does not exist in the library folder").arg(quoted(image)));
            }
        }
        return library;
    }

    void checkComponents(const QList<ScadaLibObject *> &library)
    {
        for (const ProjectPage &page : files.pages) {
            QStringList uids;
            for (const ScadaObjectLoadData_t *object : page.data->scadaObjects)
                uids << object->componentUid;
            const QStringList missing = componentsMissingFromLibrary(library, uids);
            if (missing.isEmpty())
                continue;
            const FileLint &lint = this->lint.file(page.file);
            for (int i = 0; i < page.data->scadaObjects.size(); ++i) {
                const ScadaObjectLoadData_t *object = page.data->scadaObjects.at(i);
                if (missing.contains(object->componentUid))
                    add(FindingCode::MissingComponent,
                        recordRef(page.file, QStringLiteral("component"), object->Uid, -1,
                                  object->common ? object->common->Name : QString()),
                        lint.place(QStringLiteral("component"), i),
                        QStringLiteral("its library component %1 is not in the library").arg(quoted(object->componentUid)));
            }
        }
    }

    // Component Uids and page numbers are the editor's keys across the project.
    void checkAcrossPages()
    {
        // The first component of each Uid, and the first page of each pageID.
        QHash<int, QPair<int, int>> uids; // Uid -> page, component
        QHash<int, int> pageIds;          // pageID -> page
        for (int p = 0; p < files.pages.size(); ++p) {
            const ProjectPage &page = files.pages.at(p);
            const FileLint &lint = this->lint.file(page.file);
            const auto componentRef = [&](int pageIndex, int i) {
                const ScadaObjectLoadData_t *object = files.pages.at(pageIndex).data->scadaObjects.at(i);
                return recordRef(files.pages.at(pageIndex).file, QStringLiteral("component"), object->Uid, -1,
                                 object->common ? object->common->Name : QString());
            };
            for (int i = 0; i < page.data->scadaObjects.size(); ++i) {
                const int uid = page.data->scadaObjects.at(i)->Uid;
                const auto first = uids.constFind(uid);
                if (first == uids.constEnd()) {
                    uids.insert(uid, {p, i});
                    continue;
                }
                const RecordRef firstRef = componentRef(first->first, first->second);
                add(FindingCode::RepeatedUid, componentRef(p, i), lint.place(QStringLiteral("component"), i),
                    QStringLiteral("its Uid %1 is also the Uid of component %2%3 of %4")
                        .arg(uid)
                        .arg(quoted(firstRef.name),
                             lineText(this->lint.file(firstRef.file).place(QStringLiteral("component"), first->second)),
                             firstRef.file));
            }
            const int pageId = page.data->pageProperties.pageID;
            const auto first = pageIds.constFind(pageId);
            if (first == pageIds.constEnd()) {
                pageIds.insert(pageId, p);
                continue;
            }
            add(FindingCode::RepeatedPageId, RecordRef{page.file, QStringLiteral("page"), -1, -1, 0, {}},
                lint.place(QStringLiteral("page"), 0),
                QStringLiteral("its pageID %1 is also the pageID of %2").arg(pageId).arg(files.pages.at(*first).file));
        }
    }

    // Pages that no command reads, in folders below pages/.
    void checkSubfolders()
    {
        const QDir pages(QDir(files.dir.absolutePath()).filePath(QStringLiteral("pages")));
        if (!pages.exists())
            return;
        QStringList nested;
        QDirIterator it(pages.path(), {QStringLiteral("*.xml")}, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString relative = pages.relativeFilePath(it.next());
            if (relative.contains(QLatin1Char('/')))
                nested << QStringLiteral("pages/") + relative;
        }
        std::sort(nested.begin(), nested.end());
        for (const QString &file : qAsConst(nested))
            add(FindingCode::PageInSubfolder, fileRef(file), {},
                QStringLiteral("a page in a subfolder of pages: no command reads it, since pages are read from "
                               "pages/ itself"));
    }
};

} // namespace

ProjectReadHooks ProjectLint::hooks()
{
    ProjectReadHooks hooks;
    hooks.fileRead = [this](const QString &relative, const QByteArray &bytes) { add(relative, bytes); };
    return hooks;
}

void ProjectLint::add(const QString &relative, const QByteArray &bytes)
{
    const FileKind kind = relative == definitionsFile ? FileKind::Definitions
                          : relative.startsWith(QLatin1String("library/")) ? FileKind::Library
                                                                             : FileKind::Scene;
    m_files.insert(relative, lintFile(bytes, relative, kind));
}

const FileLint &ProjectLint::file(const QString &relative) const
{
    static const FileLint none;
    const auto it = m_files.constFind(relative);
    return it == m_files.constEnd() ? none : *it;
}

CheckReport checkProject(const ProjectFiles &files, const ProjectLint &lint, const QSet<FindingCode> &ignored)
{
    CheckReport report;
    report.project = files.dir.path();
    report.pages = files.pages.size();
    Checker checker{files, lint, ignored, report.findings};
    for (const Finding &problem : files.problems)
        checker.add(problem.code, problem.record, {problem.line, problem.column}, problem.message);

    const FileDataTree *definitions = files.definitions.get();
    if (definitions) {
        report.channels = definitions->channels.size() - 1;
        report.tags = definitions->tags.size();
        report.alarms = definitions->alarms.size();
        QSet<int> knownTags;
        for (const pEtiketDef_t *tag : definitions->tags)
            knownTags.insert(tag->Id);
        checker.checkDefinitions(*definitions, knownTags);
        for (const ProjectPage &page : files.pages)
            checker.checkBindings(page.file, tagBindings(*page.data), knownTags);
    }
    bool anyComponent = false;
    for (const ProjectPage &page : files.pages) {
        checker.checkPage(page);
        anyComponent = anyComponent || !page.data->scadaObjects.isEmpty();
    }

    bool libraryRead = false;
    const QList<ScadaLibObject *> library = checker.checkLibrary(anyComponent, &libraryRead);
    report.components = library.size();
    if (libraryRead)
        checker.checkComponents(library);
    checker.checkAcrossPages();
    checker.checkSubfolders();

    QStringList linted{definitionsFile};
    for (const ProjectPage &page : files.pages)
        linted << page.file;
    for (const QString &file : qAsConst(linted))
        for (const Finding &finding : lint.file(file).findings)
            checker.add(finding.code, finding.record, {finding.line, finding.column}, finding.message);
    sortFindings(report.findings);
    return report;
}

int CheckReport::errorCount() const
{
    return int(std::count_if(findings.cbegin(), findings.cend(), [](const Finding &f) { return f.isError(); }));
}

int CheckReport::warningCount() const
{
    return findings.size() - errorCount();
}

void CheckReport::writeText(QTextStream &out) const
{
    out << "Project " << project << ": " << pages << " pages, " << channels << " channels, " << tags << " tags, "
        << alarms << " alarms, " << components << " library components\n";
    for (const Finding &finding : findings)
        out << finding.text() << '\n';
    const int errors = errorCount(), warnings = warningCount();
    if (findings.isEmpty())
        out << "No problems found.\n";
    else
        out << errors << (errors == 1 ? " error, " : " errors, ") << warnings << (warnings == 1 ? " warning.\n" : " warnings.\n");
}

QJsonObject CheckReport::toJson() const
{
    QJsonArray list;
    for (const Finding &finding : findings)
        list.append(finding.toJson());
    return QJsonObject{
        {QStringLiteral("project"), project},
        {QStringLiteral("pages"), pages},
        {QStringLiteral("channels"), channels},
        {QStringLiteral("tags"), tags},
        {QStringLiteral("alarms"), alarms},
        {QStringLiteral("components"), components},
        {QStringLiteral("errorCount"), errorCount()},
        {QStringLiteral("warningCount"), warningCount()},
        {QStringLiteral("findings"), list},
    };
}
