#include "commands.h"

#include "commandLine.h"
#include "projectFiles.h"
#include "projectJournal.h"
#include "pageRenderer.h"
#include "pageTags.h"
#include "projectCheck.h"
#include "projectLibrary.h"
#include "tagImport.h"
#include "xmlCheck.h"

#include <zadururu/definitions/tgchFileProcessor.h>
#include <zadururu/library/scadaLibObject.h>
#include <zadururu/scene/scaFileProcessor.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QJsonDocument>
#include <QSet>
#include <QTextStream>

#include <cstdio>
#include <memory>


namespace {

// The names the definitions of @p project give the tags bound on @p page.
// Definitions that cannot be read leave the tags to be shown by id.
QHash<int, QString> boundTagNames(const ScaFileData &page, const QDir &project)
{
    const QString path = project.filePath(QStringLiteral("definitions.xml"));
    QByteArray bytes;
    QHash<int, QString> names;
    if (!readXml(path, &bytes))
        return names;
    const QList<int> bound = boundTagIds(page);
    const QSet<int> wanted(bound.cbegin(), bound.cend());
    TreePointer tree(TgchFileProcessor::loadFileData(bytes), destroyFileDataTree);
    for (const pEtiketDef_t *tag : qAsConst(tree->tags))
        if (wanted.contains(tag->Id) && !names.contains(tag->Id))
            names.insert(tag->Id, tag->Name);
    return names;
}

} // namespace

int runCheck(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Reads every page, the definitions file and the component library of a project and reports "
        "tag bindings the definitions lack, tags whose channel does not exist, repeated names and ids, "
        "components the library lacks, component Uids used on more than one page, pages sharing a "
        "pageID, and files that are not well-formed XML. Exit code 0: no problems; 1: problems found; "
        "2: the project cannot be read."));
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("Print the report as JSON."));
    parser.addOption(json);
    parser.addPositionalArgument(QStringLiteral("PROJECT_DIR"), QStringLiteral("The project folder."));
    int exitCode = Exit::ok;
    if (!parseCommandLine(parser, arguments, 1, &exitCode))
        return exitCode;

    const std::unique_ptr<ProjectFiles> files = openProject(parser.positionalArguments().at(0));
    if (!files)
        return Exit::error;
    const CheckReport report = checkProject(*files);
    if (parser.isSet(json))
        out() << QJsonDocument(report.toJson()).toJson(QJsonDocument::Indented);
    else
        report.writeText(out());
    out().flush();
    return report.problems.isEmpty() ? Exit::ok : Exit::problems;
}

int runRender(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Draws a scene page at its size as a PNG picture, and as SVG too with --svg. Component instances "
        "show the first image of their library component; the library is the folder holding objlib.xml "
        "(by default the project's library folder beside the page's folder). When the page lies in a "
        "project folder (definitions.xml beside the page's folder), schedules, chart legends and "
        "scrolling texts name their tags as the definitions do; otherwise by id."));
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("The picture to write."), QStringLiteral("PAGE.png"));
    const QCommandLineOption libraryOption(QStringLiteral("library"),
                                           QStringLiteral("The component library folder."), QStringLiteral("DIR"));
    const QCommandLineOption svgOption(QStringLiteral("svg"), QStringLiteral("Write an SVG picture as well."),
                                       QStringLiteral("PAGE.svg"));
    parser.addOptions({output, libraryOption, svgOption});
    parser.addPositionalArgument(QStringLiteral("PAGE.xml"), QStringLiteral("The scene page."));
    int exitCode = Exit::ok;
    if (!parseCommandLine(parser, arguments, 1, &exitCode))
        return exitCode;
    if (!parser.isSet(output)) {
        fprintf(stderr, "zadururu render: the picture to write is missing (-o PAGE.png)\n");
        return Exit::error;
    }

    const QString pagePath = parser.positionalArguments().at(0);
    const QDir project(QFileInfo(pagePath).absoluteDir().filePath(QStringLiteral("..")));
    const bool inProject = QFileInfo::exists(project.filePath(QStringLiteral("definitions.xml")));
    QString journalError;
    if (inProject && !finishInterruptedRename(project, &journalError)) {
        reportFileError(project.path(), journalError);
        return Exit::error;
    }
    QByteArray bytes;
    if (!readXml(pagePath, &bytes))
        return Exit::error;
    std::unique_ptr<ScaFileData, void (*)(ScaFileData *)> page(
        ScaFileProcessor::loadFileData(bytes, QFileInfo(pagePath).fileName()), destroyScaFileData);
    if (!page) {
        reportFileError(pagePath, QStringLiteral("not a scene file"));
        return Exit::error;
    }

    // The library's images, by component id and by name.
    QString libraryDir = parser.value(libraryOption);
    if (libraryDir.isEmpty())
        libraryDir = QFileInfo(pagePath).absoluteDir().filePath(QStringLiteral("../library"));
    QHash<QString, QString> imageFiles;
    if (QFile::exists(QDir(libraryDir).filePath(QStringLiteral("objlib.xml")))) {
        QString errors;
        QTextStream err(&errors);
        // The project folder is the library folder's parent.
        const QDir project(QDir(libraryDir).filePath(QStringLiteral("..")));
        for (const ScadaLibObject *object : readProjectLibrary(project, err)) {
            if (object->images.isEmpty())
                continue;
            const QString file = QDir(libraryDir).filePath(object->images.first());
            imageFiles.insert(QString::number(object->objectUID), file);
            if (!object->name.isEmpty())
                imageFiles.insert(object->name, file);
        }
        if (!errors.isEmpty())
            fputs(qPrintable(errors), stderr);
    } else if (parser.isSet(libraryOption)) {
        reportFileError(libraryDir, QStringLiteral("no component library (objlib.xml) in this folder"));
        return Exit::error;
    }
    QHash<QString, QImage> images;
    const auto componentImage = [&](const QString &uid) {
        auto cached = images.constFind(uid);
        if (cached == images.constEnd())
            cached = images.insert(uid, imageFiles.contains(uid) ? QImage(imageFiles.value(uid)) : QImage());
        return *cached;
    };

    const QHash<int, QString> tagNames = inProject ? boundTagNames(*page, project) : QHash<int, QString>();
    const auto tagName = [&tagNames](int id) { return tagNames.value(id); };
    const QImage picture = renderPage(*page, componentImage, tagName);
    const QString target = parser.value(output);
    if (picture.isNull() || !picture.save(target, "PNG")) {
        reportFileError(target, QStringLiteral("cannot write the picture"));
        return Exit::error;
    }
    out() << target << ": " << picture.width() << "x" << picture.height() << '\n';
    if (parser.isSet(svgOption)) {
        const QString svg = parser.value(svgOption);
        if (!writePageSvg(*page, svg, componentImage, tagName)) {
            reportFileError(svg, QStringLiteral("cannot write the picture"));
            return Exit::error;
        }
        out() << svg << ": " << picture.width() << "x" << picture.height() << '\n';
    }
    out().flush();
    return Exit::ok;
}

int runImportCsv(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Imports a semicolon-separated tag list (lines of four fields: ignored; address; name; type) "
        "and adds its tags after the tags of a definitions file, with new ids after the highest one. "
        "A definitions file that does not exist yet is created."));
    const QCommandLineOption into(QStringLiteral("into"), QStringLiteral("The definitions file to add to."),
                                  QStringLiteral("DEFINITIONS.xml"));
    const QCommandLineOption dryRun(QStringLiteral("dry-run"),
                                    QStringLiteral("Print the tags that would be added and change nothing."));
    parser.addOption(into);
    parser.addOption(dryRun);
    parser.addPositionalArgument(QStringLiteral("TAGS.csv"), QStringLiteral("The tag list."));
    int exitCode = Exit::ok;
    if (!parseCommandLine(parser, arguments, 1, &exitCode))
        return exitCode;
    if (!parser.isSet(into)) {
        fprintf(stderr, "zadururu import-csv: the definitions file is missing (--into DEFINITIONS.xml)\n");
        return Exit::error;
    }

    const QString csvPath = parser.positionalArguments().at(0);
    const QString definitionsPath = parser.value(into);
    TreePointer imported(TgchFileProcessor::loadTagsFromCSV(csvPath), destroyFileDataTree);
    if (!imported) {
        reportFileError(csvPath, QStringLiteral("cannot be read"));
        return Exit::error;
    }
    TreePointer tree(nullptr, destroyFileDataTree);
    if (QFileInfo::exists(definitionsPath)) {
        // A file that does not parse would load as an empty tree: writing
        // that back would lose every channel, tag and alarm in it.
        QByteArray bytes;
        if (!readXml(definitionsPath, &bytes))
            return Exit::error;
        if (documentElementName(bytes) != QLatin1String("CTDefinitions")) {
            reportFileError(definitionsPath, QStringLiteral("not a definitions file (no CTDefinitions element)"));
            return Exit::error;
        }
        tree.reset(TgchFileProcessor::loadFileData(bytes));
    } else {
        tree.reset(TgchFileProcessor::loadFileData(QByteArray()));
    }

    const int before = tree->tags.size();
    const int count = mergeImportedTags(*tree, *imported);
    const bool dry = parser.isSet(dryRun);
    for (int i = before; i < tree->tags.size(); ++i) {
        const pEtiketDef_t *tag = tree->tags.at(i);
        out() << (dry ? "would add" : "added") << " tag " << tag->Id << " \"" << tag->Name << "\" address "
              << tag->VariableAddress << " type " << tag->VariableType << " size " << tag->VariableSize << '\n';
    }
    if (!dry && !TgchFileProcessor::writeToFile(tree.get(), definitionsPath)) {
        out().flush();
        reportFileError(definitionsPath, QStringLiteral("cannot be written; it is unchanged"));
        return Exit::error;
    }
    out() << count << " tags " << (dry ? "would be added to " : "added to ") << definitionsPath << " after its "
          << before << " tags\n";
    out().flush();
    return Exit::ok;
}

int runFormat(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Loads a scene page or a definitions file and writes it back in the canonical form of the "
        "library's writers, in place or to another file."));
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("Write here instead of in place."), QStringLiteral("OUT"));
    parser.addOption(output);
    parser.addPositionalArgument(QStringLiteral("FILE.xml"), QStringLiteral("The file to format."));
    int exitCode = Exit::ok;
    if (!parseCommandLine(parser, arguments, 1, &exitCode))
        return exitCode;

    const QString source = parser.positionalArguments().at(0);
    const QString target = parser.isSet(output) ? parser.value(output) : source;
    QByteArray bytes;
    if (!readXml(source, &bytes))
        return Exit::error;
    const QString root = documentElementName(bytes);
    bool written = false;
    QString kind;
    if (root == QLatin1String("CTDefinitions")) {
        kind = QStringLiteral("definitions file");
        TreePointer tree(TgchFileProcessor::loadFileData(bytes), destroyFileDataTree);
        written = TgchFileProcessor::writeToFile(tree.get(), target);
    } else if (root == QLatin1String("ScadaFile")) {
        kind = QStringLiteral("scene page");
        std::unique_ptr<ScaFileData, void (*)(ScaFileData *)> page(
            ScaFileProcessor::loadFileData(bytes, QFileInfo(source).fileName()), destroyScaFileData);
        written = page && ScaFileProcessor::saveFileData(page.get(), target);
    } else {
        reportFileError(source, QStringLiteral("neither a scene page (ScadaFile) nor a definitions file "
                                               "(CTDefinitions), but \"%1\"").arg(root));
        return Exit::error;
    }
    if (!written) {
        reportFileError(target, QStringLiteral("cannot be written; it is unchanged"));
        return Exit::error;
    }
    out() << target << ": " << kind << " written\n";
    out().flush();
    return Exit::ok;
}
