#include "cli/tableOptions.h"

#include "cli/commandLine.h"

#include <QFileInfo>

#include <cstdio>

void addKindOptions(QCommandLineParser &parser, const QString &verb)
{
    parser.addOption({QStringLiteral("channels"), QStringLiteral("%1 the channels.").arg(verb)});
    parser.addOption({QStringLiteral("tags"), QStringLiteral("%1 the tags.").arg(verb)});
    parser.addOption({QStringLiteral("alarms"), QStringLiteral("%1 the alarms.").arg(verb)});
}

bool recordKindOption(const QCommandLineParser &parser, const char *command, RecordKind *kind)
{
    int given = 0;
    for (const RecordKind k : {RecordKind::Channel, RecordKind::Tag, RecordKind::Alarm})
        if (parser.isSet(kindPlural(k))) {
            *kind = k;
            ++given;
        }
    if (given == 1)
        return true;
    fprintf(stderr, "zadururu %s: name one kind of record: --channels, --tags or --alarms\n", command);
    return false;
}

bool tableFormatOption(const QCommandLineParser &parser, const QCommandLineOption &option, const QString &file,
                       const char *command, TableFormat *format)
{
    const QString name = parser.isSet(option) ? parser.value(option).toLower() : QFileInfo(file).suffix().toLower();
    *format = name == QLatin1String("json") ? TableFormat::Json : TableFormat::Csv;
    if (!parser.isSet(option) || name == QLatin1String("json") || name == QLatin1String("csv"))
        return true;
    fprintf(stderr, "zadururu %s: --format is csv or json, not \"%s\"\n", command, qPrintable(parser.value(option)));
    return false;
}

namespace {

const QList<QPair<QString, ConflictPolicy>> policies{{QStringLiteral("fail"), ConflictPolicy::Fail},
                                                    {QStringLiteral("skip"), ConflictPolicy::Skip},
                                                    {QStringLiteral("update"), ConflictPolicy::Update}};

} // namespace

QCommandLineOption conflictOption()
{
    return QCommandLineOption(QStringLiteral("on-conflict"),
                              QStringLiteral("What to do with a record whose key the definitions have already: fail "
                                             "(refuse the import, the default), skip it, or update the fields the file "
                                             "gives."),
                              QStringLiteral("fail|skip|update"), QStringLiteral("fail"));
}

bool conflictPolicyOption(const QCommandLineParser &parser, const QCommandLineOption &option, const char *command,
                          ConflictPolicy *policy)
{
    for (const auto &p : policies)
        if (parser.value(option) == p.first) {
            *policy = p.second;
            return true;
        }
    fprintf(stderr, "zadururu %s: --on-conflict is fail, skip or update, not \"%s\"\n", command,
            qPrintable(parser.value(option)));
    return false;
}

QString conflictPolicyName(ConflictPolicy policy)
{
    for (const auto &p : policies)
        if (p.second == policy)
            return p.first;
    return QString();
}

bool readText(const QString &path, const QString &encoding, DecodedText *decoded)
{
    QByteArray bytes;
    if (!readWhole(path, &bytes))
        return false;
    QString problem;
    if (decodeText(bytes, encoding, decoded, &problem))
        return true;
    reportFileError(path, problem);
    return false;
}
