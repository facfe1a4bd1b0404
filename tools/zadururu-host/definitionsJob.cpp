#include "definitionsJob.h"

#include <zadururu/definitions/tgchFileProcessor.h>

#include <QDir>
#include <QSet>
#include <QStringList>
#include <QTextStream>

#include <algorithm>
#include <cstdio>

static void freeTree(FileDataTree *tree)
{
    qDeleteAll(tree->channels);
    qDeleteAll(tree->tags);
    qDeleteAll(tree->alarms);
    delete tree;
}

bool runDefinitionsJob(const QDir &project, const QDir &output, QTextStream &out, QTextStream &err)
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

    const QString target = output.filePath(QStringLiteral("definitions.xml"));
    const bool written = TgchFileProcessor::writeToFile(tree, target);
    if (written)
        out << "  written  " << target << "\n\n";
    else
        err << target << ": cannot write the definitions file\n";
    freeTree(tree);
    return written;
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
