// zadururu import-csv: a semicolon-separated tag list added to a definitions file.

#include "commands.h"

#include "cli/commandLine.h"
#include "xmlCheck.h"

#include <zadururu/definitions/tgchFileProcessor.h>

#include <QFileInfo>
#include <QTextStream>

#include <cstdio>

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
    addWaitOption(parser);
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
    std::unique_ptr<ProjectLock> lock;
    if (!lockProjectOf(definitionsPath, parser.isSet(dryRun) ? ProjectAccess::Read : ProjectAccess::Change, &lock))
        return Exit::error;
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
        // From the file, a load that ran out of memory gives no tree rather than an empty one.
        tree.reset(TgchFileProcessor::loadFileData(definitionsPath));
        if (!tree) {
            reportFileError(definitionsPath, QStringLiteral("cannot be read: not enough memory"));
            return Exit::error;
        }
    } else {
        tree.reset(TgchFileProcessor::loadFileData(QByteArray()));
    }

    const int before = tree->tags.size();
    const int count = TgchFileProcessor::mergeImportedTags(tree.get(), imported.get());
    if (count < 0) {
        reportFileError(definitionsPath, QStringLiteral("has tag ids too high to number %1 more tags after them")
                                             .arg(imported->tags.size()));
        return Exit::error;
    }
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
