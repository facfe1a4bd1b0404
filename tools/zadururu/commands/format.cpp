// zadururu format: a scene page or definitions file rewritten in the
// canonical form of the library's writers.

#include "commands.h"

#include "cli/commandLine.h"
#include "xmlCheck.h"

#include <zadururu/definitions/tgchFileProcessor.h>
#include <zadururu/scene/scaFileProcessor.h>

#include <QFileInfo>
#include <QTextStream>

#include <memory>

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
    // A well-formed file that does not load ran out of memory; nothing is written then.
    if (root == QLatin1String("CTDefinitions")) {
        kind = QStringLiteral("definitions file");
        // From the file, a load that ran out of memory gives no tree rather than an empty one.
        TreePointer tree(TgchFileProcessor::loadFileData(source), destroyFileDataTree);
        if (!tree) {
            reportFileError(source, QStringLiteral("cannot be read: not enough memory"));
            return Exit::error;
        }
        written = TgchFileProcessor::writeToFile(tree.get(), target);
    } else if (root == QLatin1String("ScadaFile")) {
        kind = QStringLiteral("scene page");
        std::unique_ptr<ScaFileData, void (*)(ScaFileData *)> page(
            ScaFileProcessor::loadFileData(bytes, QFileInfo(source).fileName()), destroyScaFileData);
        if (!page) {
            reportFileError(source, QStringLiteral("cannot be read: not enough memory"));
            return Exit::error;
        }
        written = ScaFileProcessor::saveFileData(page.get(), target);
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
