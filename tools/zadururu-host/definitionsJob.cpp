#include "definitionsJob.h"

#include <zadururu/definitions/tgchFileProcessor.h>

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QStringList>
#include <QTextStream>

#include <algorithm>
#include <cstdio>

bool runDefinitionsJob(const QDir &project, const QDir &output,
                       const QMap<QString, QList<int>> &pageTagIds, QTextStream &out,
                       QTextStream &err)
{
    const QString source = project.filePath(QStringLiteral("definitions.xml"));
    FileDataTree *tree = TgchFileProcessor::loadFileData(source);
    if (!tree) {
        err << source << ": cannot open the definitions file\n";
        return false;
    }
    // The first channel is the loader's own "None" channel, not one of the file's.
    out << "Definitions " << source << '\n'
        << "  channels " << tree->channels.size() - 1 << " (plus \"None\")\n"
        << "  tags     " << tree->tags.size() << '\n'
        << "  alarms   " << tree->alarms.size() << '\n';

    bool ok = true;
    const QString target = output.filePath(QStringLiteral("definitions.xml"));
    if (TgchFileProcessor::writeToFile(tree, target)) {
        out << "  written  " << target << "\n\n";
    } else {
        err << target << ": cannot write the definitions file\n";
        ok = false;
    }
    reportBoundTags(*tree, pageTagIds, out);

    const QString csv = project.filePath(QStringLiteral("tags.csv"));
    if (QFileInfo::exists(csv)) {
        FileDataTree *imported = TgchFileProcessor::loadTagsFromCSV(csv);
        if (!imported) {
            err << csv << ": cannot open the tag list\n";
            ok = false;
        } else {
            const int firstId = tree->tags.size();
            const int count = TgchFileProcessor::mergeImportedTags(tree, imported);
            destroyFileDataTree(imported);
            if (count < 0) {
                err << csv << ": the definitions' tag ids are too high to number the imported tags after them\n";
                out.flush();
                destroyFileDataTree(tree);
                return false;
            }
            const QString merged = output.filePath(QStringLiteral("definitions-imported.xml"));
            out << "\nTag list " << csv << ": " << count << " tags imported\n";
            for (int i = firstId; i < tree->tags.size() && i < firstId + 5; ++i) {
                const pEtiketDef_t *tag = tree->tags.at(i);
                out << "  id " << tag->Id << "  " << tag->Name << "  address " << tag->VariableAddress
                    << "  type " << tag->VariableType << "  size " << tag->VariableSize << '\n';
            }
            if (count > 5)
                out << "  ... and " << count - 5 << " more\n";
            if (TgchFileProcessor::writeToFile(tree, merged)) {
                out << "  merged after the project's " << firstId << " tags into " << merged << '\n';
            } else {
                err << merged << ": cannot write the merged definitions file\n";
                ok = false;
            }
        }
    }
    out.flush();
    destroyFileDataTree(tree);
    return ok;
}

static QString idText(const QList<int> &ids)
{
    QStringList parts;
    for (int id : ids)
        parts << QString::number(id);
    return parts.isEmpty() ? QStringLiteral("-") : parts.join(QLatin1Char(' '));
}

void reportBoundTags(const FileDataTree &tree, const QMap<QString, QList<int>> &pageTagIds,
                     QTextStream &out)
{
    QSet<int> known;
    for (const pEtiketDef_t *tag : tree.tags)
        if (tag)
            known.insert(tag->Id);

    out << "Bound tags per page\n";
    for (auto it = pageTagIds.constBegin(); it != pageTagIds.constEnd(); ++it) {
        QList<int> ids;
        for (int id : it.value())
            if (id != -1 && !ids.contains(id))
                ids.append(id);
        std::sort(ids.begin(), ids.end());
        QList<int> present;
        QList<int> missing;
        for (int id : ids)
            (known.contains(id) ? present : missing).append(id);
        out << "  " << it.key() << ": " << present.size() << " bound tags found, " << missing.size()
            << " missing\n"
            << "    found   " << idText(present) << '\n'
            << "    missing " << idText(missing) << '\n';
    }
    out.flush();
}

void reportBoundTags(const FileDataTree &tree, const QMap<QString, QList<int>> &pageTagIds)
{
    QTextStream out(stdout);
    reportBoundTags(tree, pageTagIds, out);
}
