// zadururu render: a page drawn as a picture, with its library's images.

#include "commands.h"

#include "cli/commandLine.h"
#include "project/projectJournal.h"
#include "render/pageRenderer.h"
#include "pageTags.h"
#include "projectLibrary.h"

#include <zadururu/common/regularFile.h>
#include <zadururu/definitions/tgchFileProcessor.h>
#include <zadururu/library/scadaLibObject.h>
#include <zadururu/scene/scaFileProcessor.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImage>
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

// The picture in the file at @p path; a null image when it is not a regular
// file (a FIFO would hang the render) or holds no picture.
QImage imageFile(const QString &path)
{
    return QImage::fromData(ZadUruru::readRegularFile(path));
}

} // namespace

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
            cached = images.insert(uid, imageFiles.contains(uid) ? imageFile(imageFiles.value(uid)) : QImage());
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
