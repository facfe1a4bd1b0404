// zadururu render: a page drawn as a picture, with its library's images.

#include "commands.h"

#include "cli/commandLine.h"
#include "cli/jsonOutput.h"
#include "project/projectImages.h"
#include "project/projectLock.h"
#include "render/pageRenderer.h"
#include "pageTags.h"
#include "projectLibrary.h"
#include "xmlCheck.h"

#include <zadururu/definitions/tgchFileProcessor.h>
#include <zadururu/library/scadaLibObject.h>
#include <zadururu/scene/scaFileProcessor.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QImageWriter>
#include <QJsonArray>
#include <QSaveFile>
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

// The format a picture's file name asks for: "svg", or a raster format Qt
// can write ("png", "jpg", ...); empty when it names none.
QByteArray pictureFormat(const QString &path)
{
    const QByteArray suffix = QFileInfo(path).suffix().toLower().toLatin1();
    if (suffix == "svg")
        return suffix;
    return QImageWriter::supportedImageFormats().contains(suffix) ? suffix : QByteArray();
}

QString writableFormats()
{
    QStringList formats{QStringLiteral("svg")};
    for (const QByteArray &format : QImageWriter::supportedImageFormats())
        formats << QString::fromLatin1(format);
    formats.sort();
    formats.removeDuplicates();
    return formats.join(QStringLiteral(", "));
}

// One picture to write: where, and in what format.
struct Picture
{
    QString path;
    QByteArray format;
};

} // namespace

int runRender(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Draws a scene page as a picture in the format its file name says (.png, .jpg, .svg, or another "
        "format Qt can write), and as SVG too with --svg. Component instances show the first image of "
        "their library component, and their value label; the library is the folder holding objlib.xml "
        "(by default the project's library folder beside the page's folder). The page's background image "
        "is looked for in the project folder, then beside the page; images are read only from inside the "
        "project. A page larger than %1 pixels a side is drawn whole, scaled down, with a note on standard "
        "error. When the page lies in a project folder (definitions.xml beside the page's folder), "
        "schedules, chart legends and scrolling texts name their tags as the definitions do; otherwise by id.")
                                          .arg(MaxRenderedPageSide));
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("The picture to write."), QStringLiteral("PAGE.png"));
    const QCommandLineOption libraryOption(QStringLiteral("library"),
                                           QStringLiteral("The component library folder."), QStringLiteral("DIR"));
    const QCommandLineOption svgOption(QStringLiteral("svg"), QStringLiteral("Write an SVG picture as well."),
                                       QStringLiteral("PAGE.svg"));
    const QCommandLineOption json(QStringLiteral("json"),
                                  QStringLiteral("Print the pictures written and the notes as JSON."));
    parser.addOptions({output, libraryOption, svgOption, json});
    addWaitOption(parser);
    parser.addPositionalArgument(QStringLiteral("PAGE.xml"), QStringLiteral("The scene page."));
    int exitCode = Exit::ok;
    if (!parseCommandLine(parser, arguments, 1, &exitCode))
        return exitCode;
    if (!parser.isSet(output)) {
        fprintf(stderr, "zadururu render: the picture to write is missing (-o PAGE.png)\n");
        return Exit::error;
    }
    QList<Picture> pictures{{parser.value(output), pictureFormat(parser.value(output))}};
    if (parser.isSet(svgOption))
        pictures.append({parser.value(svgOption), QByteArrayLiteral("svg")});
    for (const Picture &picture : qAsConst(pictures))
        if (picture.format.isEmpty()) {
            reportFileError(picture.path, QStringLiteral("cannot write a picture of this kind; the name must end in "
                                                         "one of: %1").arg(writableFormats()));
            return Exit::error;
        }

    const QString pagePath = parser.positionalArguments().at(0);
    const QDir pageFolder = QFileInfo(pagePath).absoluteDir();
    const QDir project(QDir::cleanPath(pageFolder.filePath(QStringLiteral(".."))));
    const bool inProject = QFileInfo::exists(project.filePath(QStringLiteral("definitions.xml")));
    std::unique_ptr<ProjectLock> lock;
    if (!lockProjectOf(pagePath, ProjectAccess::Read, &lock))
        return Exit::error;
    QByteArray bytes;
    if (!readXml(pagePath, &bytes))
        return Exit::error;
    // The scene reader reads any document as a page; a definitions file or a
    // library would draw as an empty one.
    const QString root = documentElementName(bytes);
    if (root != QLatin1String("ScadaFile")) {
        reportFileError(pagePath, QStringLiteral("not a scene page: its document element is \"%1\", not \"ScadaFile\"")
                                      .arg(root));
        return Exit::error;
    }
    std::unique_ptr<ScaFileData, void (*)(ScaFileData *)> page(
        ScaFileProcessor::loadFileData(bytes, QFileInfo(pagePath).fileName()), destroyScaFileData);
    if (!page) {
        reportFileError(pagePath, QStringLiteral("not a scene file"));
        return Exit::error;
    }

    QStringList notes;
    // The library's images, by component id and by name, read from inside
    // the library folder's parent, the project.
    QString libraryDir = parser.value(libraryOption);
    if (libraryDir.isEmpty())
        libraryDir = project.filePath(QStringLiteral("library"));
    const QDir library(QDir::cleanPath(QDir(libraryDir).absolutePath()));
    QHash<QString, QString> imageNames;
    ProjectImages libraryImages(QDir(QDir::cleanPath(library.filePath(QStringLiteral("..")))));
    if (QFile::exists(library.filePath(QStringLiteral("objlib.xml")))) {
        QString errors;
        QTextStream err(&errors);
        imageNames = componentImageNames(readProjectLibrary(QDir(library.filePath(QStringLiteral(".."))), err));
        if (!errors.isEmpty())
            fputs(qPrintable(errors), stderr);
    } else if (parser.isSet(libraryOption)) {
        reportFileError(libraryDir, QStringLiteral("no component library (objlib.xml) in this folder"));
        return Exit::error;
    }
    QSet<QString> unreadable;
    const auto componentImage = [&](const QString &uid) {
        const QString name = imageNames.value(uid);
        if (name.isEmpty())
            return QImage();
        QString problem;
        const QImage image = libraryImages.image(name, library, &problem);
        if (image.isNull() && !unreadable.contains(name)) {
            unreadable.insert(name);
            notes << QStringLiteral("the library image %1 of component %2 is not drawn: %3")
                         .arg(quoted(name), quoted(uid), problem);
        }
        return image;
    };

    ProjectImages projectImages(project);
    QString backgroundProblem;
    const QString backgroundName = page->pageProperties.pageBgImage;
    const QImage background = projectImages.background(backgroundName, project, pageFolder, &backgroundProblem);
    if (!backgroundProblem.isEmpty())
        notes << QStringLiteral("the background image %1 is not drawn: %2").arg(quoted(backgroundName), backgroundProblem);
    const QSize own = pageSize(page->pageProperties);
    const QSize size = renderedPageSize(page->pageProperties);
    if (isPageScaled(page->pageProperties))
        notes << QStringLiteral("the page is %1x%2, larger than the largest picture (%3 a side): drawn whole, scaled "
                                "down to %4x%5")
                     .arg(own.width()).arg(own.height()).arg(MaxRenderedPageSide).arg(size.width()).arg(size.height());

    const QHash<int, QString> tagNames = inProject ? boundTagNames(*page, project) : QHash<int, QString>();
    const auto tagName = [&tagNames](int id) { return tagNames.value(id); };
    QJsonArray written;
    for (const Picture &picture : qAsConst(pictures)) {
        // Written beside the target and renamed into place: a picture is
        // replaced whole or not at all.
        QSaveFile file(picture.path);
        bool ok = file.open(QIODevice::WriteOnly);
        if (ok && picture.format == "svg") {
            ok = writePageSvg(*page, &file, componentImage, tagName, background);
        } else if (ok) {
            // The picture is opaque; without an alpha channel every format takes it alike.
            const QImage image = renderPage(*page, componentImage, tagName, background).convertToFormat(QImage::Format_RGB32);
            QImageWriter writer(&file, picture.format);
            ok = !image.isNull() && writer.write(image);
        }
        if (!ok || !file.commit()) {
            reportFileError(picture.path, QStringLiteral("cannot write the picture: %1").arg(file.errorString()));
            return Exit::error;
        }
        written.append(QJsonObject{{QStringLiteral("path"), picture.path},
                                   {QStringLiteral("format"), QString::fromLatin1(picture.format)},
                                   {QStringLiteral("width"), size.width()},
                                   {QStringLiteral("height"), size.height()}});
        if (!parser.isSet(json))
            out() << picture.path << ": " << size.width() << "x" << size.height() << '\n';
    }
    notes.removeDuplicates();
    for (const QString &note : qAsConst(notes))
        fprintf(stderr, "zadururu render: %s: %s\n", qPrintable(pagePath), qPrintable(note));
    if (parser.isSet(json)) {
        QJsonObject report = jsonReport("render");
        report.insert(QStringLiteral("page"), pagePath);
        report.insert(QStringLiteral("files"), written);
        report.insert(QStringLiteral("notes"), QJsonArray::fromStringList(notes));
        printJson(report);
    }
    out().flush();
    return Exit::ok;
}
