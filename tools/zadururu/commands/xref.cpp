// zadururu xref: where each tag of a project is bound, and which pages place
// each library component.

#include "cli/commandLine.h"
#include "cli/jsonOutput.h"
#include "commands.h"
#include "pageTags.h"
#include "project/projectFiles.h"
#include "project/recordRef.h"
#include "projectLibrary.h"

#include <zadururu/library/scadaLibObject.h>
#include <zadururu/scene/scaFileData.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QTextStream>

#include <cstdio>

namespace {

struct Use
{
    QString file;
    TagBinding binding;
};

QJsonObject useJson(const Use &use)
{
    return QJsonObject{{QStringLiteral("record"), bindingRecord(use.file, use.binding).toJson()},
                       {QStringLiteral("field"), use.binding.field}};
}

QString useText(const Use &use)
{
    return QStringLiteral("%1  %2  %3").arg(use.file, use.binding.record, use.binding.field);
}

struct Xref
{
    const ProjectFiles &files;
    QHash<int, QList<Use>> uses;
    QList<int> usedInOrder; ///< every bound id once, in the order first found

    explicit Xref(const ProjectFiles &project)
        : files(project)
    {
        const auto add = [this](const QString &file, const QList<TagBinding> &bindings) {
            for (const TagBinding &binding : bindings) {
                auto it = uses.find(binding.tagId);
                if (it == uses.end()) {
                    it = uses.insert(binding.tagId, {});
                    usedInOrder << binding.tagId;
                }
                it->append({file, binding});
            }
        };
        for (const ProjectPage &page : project.pages)
            add(page.file, tagBindings(*page.data));
        if (project.definitions)
            add(QStringLiteral("definitions.xml"), tagBindings(*project.definitions));
    }

    QString channelText(const pEtiketDef_t &tag) const
    {
        if (tag.KanalName.isEmpty() && tag.Kanal_Id == -1)
            return QStringLiteral("no channel");
        return QStringLiteral("channel %1 (Id %2)").arg(quoted(tag.KanalName)).arg(tag.Kanal_Id);
    }

    void writeTag(QTextStream &text, QJsonArray &json, bool asJson, const pEtiketDef_t *tag, int id) const
    {
        const QList<Use> list = uses.value(id);
        if (asJson) {
            QJsonArray useList;
            for (const Use &use : list)
                useList.append(useJson(use));
            QJsonObject o{{QStringLiteral("id"), id}, {QStringLiteral("defined"), tag != nullptr},
                          {QStringLiteral("uses"), useList}};
            if (tag) {
                o.insert(QStringLiteral("name"), tag->Name);
                o.insert(QStringLiteral("channel"),
                         tag->KanalName.isEmpty() && tag->Kanal_Id == -1
                             ? QJsonValue()
                             : QJsonObject{{QStringLiteral("id"), tag->Kanal_Id}, {QStringLiteral("name"), tag->KanalName}});
            }
            json.append(o);
            return;
        }
        if (tag)
            text << "tag " << id << ' ' << quoted(tag->Name) << " on " << channelText(*tag);
        else
            text << "tag " << id << " (not defined)";
        text << ": " << (list.isEmpty() ? QStringLiteral("used nowhere")
                         : QStringLiteral("%1 use%2").arg(list.size()).arg(list.size() == 1 ? "" : "s"))
             << '\n';
        for (const Use &use : list)
            text << "    " << useText(use) << '\n';
    }
};

// The tags that @p argument names: the tags with that id (or, when none has
// it but something binds it, that id alone), else every tag of that name.
QList<QPair<const pEtiketDef_t *, int>> namedTags(const Xref &xref, const QString &argument)
{
    bool number = false;
    const int id = argument.toInt(&number);
    QList<QPair<const pEtiketDef_t *, int>> byId, byName;
    if (xref.files.definitions)
        for (const pEtiketDef_t *tag : xref.files.definitions->tags) {
            if (number && tag->Id == id)
                byId.append({tag, id});
            if (tag->Name == argument)
                byName.append({tag, tag->Id});
        }
    if (byId.isEmpty() && number && xref.uses.contains(id))
        byId.append({nullptr, id});
    return byId.isEmpty() ? byName : byId;
}

} // namespace

int runXref(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Lists, for each tag of a project, its definition (name, channel) and every binding of it: on "
        "pages (file, item kind, item name and Uid, field) and by alarms. Without tags named, then "
        "the tags defined but used nowhere, the ids used but not defined, and the pages that place "
        "each library component. Exit code 0: listed; 2: the project cannot be read or a tag named "
        "does not exist."));
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("Print the listing as JSON."));
    parser.addOption(json);
    addWaitOption(parser);
    parser.addPositionalArgument(QStringLiteral("PROJECT_DIR"), QStringLiteral("The project folder."));
    parser.addPositionalArgument(QStringLiteral("TAG"), QStringLiteral("Tag ids or names to list (default: all)."),
                                 QStringLiteral("[TAG_ID|TAG_NAME ...]"));
    int exitCode = Exit::ok;
    if (!parseCommandLine(parser, arguments, -1, &exitCode))
        return exitCode;
    const QStringList positional = parser.positionalArguments();
    const std::unique_ptr<ProjectFiles> files = openProject(positional.at(0));
    if (!files)
        return Exit::error;
    for (const Finding &problem : files->problems)
        fprintf(stderr, "zadururu xref: %s: %s; its bindings are not listed\n", qPrintable(problem.file()),
                qPrintable(problem.message));

    const Xref xref(*files);
    const bool asJson = parser.isSet(json);
    QString buffer;
    QTextStream text(&buffer);
    QJsonObject report = jsonReport("xref", {{QStringLiteral("project"), files->dir.path()}});
    QJsonArray tagList;

    if (positional.size() > 1) {
        for (const QString &argument : positional.mid(1)) {
            const auto named = namedTags(xref, argument);
            if (named.isEmpty()) {
                fprintf(stderr, "zadururu xref: no tag has the id or name \"%s\", and nothing binds it\n",
                        qPrintable(argument));
                return Exit::error;
            }
            for (const auto &tag : named)
                xref.writeTag(text, tagList, asJson, tag.first, tag.second);
        }
        report.insert(QStringLiteral("tags"), tagList);
        if (asJson)
            printJson(report);
        else
            out() << buffer;
        out().flush();
        return Exit::ok;
    }

    const QList<pEtiketDef_t *> tags = files->definitions ? files->definitions->tags : QList<pEtiketDef_t *>();
    text << "Project " << files->dir.path() << ": " << files->pages.size() << " pages, " << tags.size()
         << " tags\n\n";
    QJsonArray unused, undefined;
    QStringList unusedText, undefinedText;
    for (const pEtiketDef_t *tag : tags) {
        xref.writeTag(text, tagList, asJson, tag, tag->Id);
        if (!xref.uses.contains(tag->Id)) {
            unused.append(RecordRef{QStringLiteral("definitions.xml"), QStringLiteral("tag"), -1, tag->Id, 0, tag->Name}.toJson());
            unusedText << QStringLiteral("    %1 %2").arg(tag->Id).arg(quoted(tag->Name));
        }
    }
    for (int id : xref.usedInOrder)
        if (!files->tag(id)) {
            xref.writeTag(text, undefined, asJson, nullptr, id);
            const int count = xref.uses.value(id).size();
            undefinedText << QStringLiteral("    %1 (%2 use%3)").arg(id).arg(count).arg(count == 1 ? "" : "s");
        }

    text << "\nTags defined but used nowhere: " << unusedText.size() << '\n';
    for (const QString &line : qAsConst(unusedText))
        text << line << '\n';
    text << "\nIds used but not defined: " << undefinedText.size() << '\n';
    for (const QString &line : qAsConst(undefinedText))
        text << line << '\n';

    // Library components, by id or name, and the pages that place them.
    QJsonArray components;
    QString errors;
    QTextStream err(&errors);
    bool libraryRead = false;
    const bool hasLibrary = QFile::exists(files->dir.filePath(QStringLiteral("library/objlib.xml")));
    const QList<ScadaLibObject *> library = hasLibrary ? readProjectLibrary(files->dir, err, &libraryRead)
                                                       : QList<ScadaLibObject *>();
    if (!errors.isEmpty())
        fprintf(stderr, "zadururu xref: %s", qPrintable(errors));
    text << "\nLibrary components and the pages that place them: " << library.size() << '\n';
    // An instance names its component by id or by name: page file -> instances, per name.
    QHash<QString, QMap<QString, int>> placedAs;
    for (const ProjectPage &page : files->pages)
        for (const ScadaObjectLoadData_t *object : page.data->scadaObjects)
            ++placedAs[object->componentUid][page.file];
    for (const ScadaLibObject *component : library) {
        const QString id = QString::number(component->objectUID);
        QMap<QString, int> placed = placedAs.value(id);
        // An instance matches one of the two at most, unless they are the same text.
        if (!component->name.isEmpty() && component->name != id) {
            const QMap<QString, int> byName = placedAs.value(component->name);
            for (auto it = byName.constBegin(); it != byName.constEnd(); ++it)
                placed[it.key()] += it.value();
        }
        QJsonArray pages;
        QStringList pageTexts;
        for (auto it = placed.constBegin(); it != placed.constEnd(); ++it) {
            pages.append(QJsonObject{{QStringLiteral("file"), it.key()}, {QStringLiteral("instances"), it.value()}});
            pageTexts << QStringLiteral("%1 (%2)").arg(it.key()).arg(it.value());
        }
        const RecordRef record{QStringLiteral("library/objlib.xml"), QStringLiteral("library component"), -1,
                               component->objectUID, 0, component->name};
        components.append(QJsonObject{{QStringLiteral("component"), record.toJson()}, {QStringLiteral("pages"), pages}});
        text << "    " << component->objectUID << ' ' << quoted(component->name) << ": "
             << (pageTexts.isEmpty() ? QStringLiteral("placed nowhere") : pageTexts.join(QStringLiteral(", "))) << '\n';
    }

    report.insert(QStringLiteral("pages"), files->pages.size());
    report.insert(QStringLiteral("tags"), tagList);
    report.insert(QStringLiteral("unused"), unused);
    report.insert(QStringLiteral("undefined"), undefined);
    report.insert(QStringLiteral("components"), components);
    text.flush();
    if (asJson)
        printJson(report);
    else
        out() << buffer;
    out().flush();
    return Exit::ok;
}
