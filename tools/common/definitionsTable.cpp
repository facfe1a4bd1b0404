#include "definitionsTable.h"

#include "csvTable.h"
#include "jsonTable.h"

#include <zadururu/definitions/fileDataTree.h>

#include <cmath>

namespace {

void appendJsonValue(QString &out, FieldType type, const FieldValue &value)
{
    switch (type) {
    case FieldType::Text:
        appendQuoted(out, storableText(value.text));
        return;
    case FieldType::Bool:
        out += value.integer ? QLatin1String("true") : QLatin1String("false");
        return;
    case FieldType::Double:
    case FieldType::Single:
        if (std::isfinite(value.real))
            out += cellText(type, value);
        else
            appendQuoted(out, cellText(type, value));
        return;
    case FieldType::IdList:
        out += QLatin1Char('[');
        for (int i = 0; i < value.ids.size(); ++i) {
            if (i)
                out += QLatin1Char(',');
            out += QString::number(value.ids.at(i));
        }
        out += QLatin1Char(']');
        return;
    default:
        break;
    }
    out += QString::number(value.integer);
}

template <class R>
QByteArray exportRecords(const QList<R *> &records, TableFormat format)
{
    const QVector<Field<R>> &fields = storedFields<R>();
    QString out;
    if (format == TableFormat::Csv) {
        out += QChar(QChar::ByteOrderMark);
        for (int i = 0; i < fields.size(); ++i) {
            if (i)
                out += QLatin1Char(',');
            out += QLatin1String(fields.at(i).name);
        }
        out += QLatin1String("\r\n");
        for (const R *record : records) {
            for (int i = 0; i < fields.size(); ++i) {
                if (i)
                    out += QLatin1Char(',');
                appendCsvField(out, cellText(fields.at(i).type, fields.at(i).get(*record)));
            }
            out += QLatin1String("\r\n");
        }
        return out.toUtf8();
    }
    out += QLatin1Char('[');
    for (int r = 0; r < records.size(); ++r) {
        out += r ? QLatin1String(",\n{") : QLatin1String("\n{");
        for (int i = 0; i < fields.size(); ++i) {
            out += i ? QLatin1String(", \"") : QLatin1String("\"");
            out += QLatin1String(fields.at(i).name);
            out += QLatin1String("\": ");
            appendJsonValue(out, fields.at(i).type, fields.at(i).get(*records.at(r)));
        }
        out += QLatin1Char('}');
    }
    out += QLatin1String("\n]\n");
    return out.toUtf8();
}

} // namespace

QByteArray exportTable(const FileDataTree &tree, RecordKind kind, TableFormat format)
{
    switch (kind) {
    case RecordKind::Channel:
        return exportRecords(tree.channels.mid(1), format);
    case RecordKind::Tag:
        return exportRecords(tree.tags, format);
    case RecordKind::Alarm:
        break;
    }
    return exportRecords(tree.alarms, format);
}

bool readTable(const QString &text, TableFormat format, Table *table, QVector<TableProblem> *problems,
               const RowHandler &onRow)
{
    return format == TableFormat::Csv ? readCsv(text, table, problems, onRow) : readJson(text, table, problems, onRow);
}
