#include "csvTable.h"

namespace {

bool needsQuotes(const QString &field, QChar separator)
{
    for (const QChar c : field)
        if (c == separator || c == QLatin1Char('"') || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            return true;
    // Spreadsheets may trim what is not quoted.
    return !field.isEmpty() && (field.front().isSpace() || field.back().isSpace());
}

// Reads the records of a CSV text one field at a time.
class CsvReader
{
public:
    explicit CsvReader(const QString &text)
        : m_text(text)
    {
    }

    // The first comma, semicolon or tab outside quotes before the first record ends.
    QChar findSeparator() const
    {
        bool quoted = false;
        for (const QChar c : m_text) {
            if (c == QLatin1Char('"'))
                quoted = !quoted;
            else if (!quoted && (c == QLatin1Char(',') || c == QLatin1Char(';') || c == QLatin1Char('\t')))
                return c;
            else if (!quoted && (c == QLatin1Char('\n') || c == QLatin1Char('\r')))
                break;
        }
        return QLatin1Char(',');
    }

    bool atEnd() const { return m_pos >= m_text.size(); }

    // Skips the line ends of empty lines; false at the end of the text.
    bool skipEmptyLines()
    {
        while (!atEnd() && (m_text.at(m_pos) == QLatin1Char('\n') || m_text.at(m_pos) == QLatin1Char('\r')))
            endLine();
        return !atEnd();
    }

    // Reads one record into @p fields, each with its place; false with @p problem on a syntax fault.
    bool readRecord(QChar separator, QVector<TableCell> *fields, TableProblem *problem)
    {
        fields->clear();
        while (true) {
            TableCell cell;
            cell.type = TableCell::Text;
            cell.at = {m_line, fields->size() + 1};
            if (!readField(separator, &cell.text, problem)) {
                problem->at.column = cell.at.column;
                return false;
            }
            fields->append(cell);
            if (atEnd())
                return true;
            const QChar c = m_text.at(m_pos);
            if (c == separator) {
                ++m_pos;
                continue;
            }
            endLine();
            return true;
        }
    }

    int line() const { return m_line; }

private:
    void endLine()
    {
        if (m_text.at(m_pos) == QLatin1Char('\r') && m_pos + 1 < m_text.size() && m_text.at(m_pos + 1) == QLatin1Char('\n'))
            ++m_pos;
        ++m_pos;
        ++m_line;
    }

    bool readField(QChar separator, QString *field, TableProblem *problem)
    {
        const int start = m_pos;
        if (atEnd() || m_text.at(m_pos) != QLatin1Char('"')) {
            while (!atEnd()) {
                const QChar c = m_text.at(m_pos);
                if (c == separator || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
                    break;
                if (c == QLatin1Char('"')) {
                    *problem = {{m_line, 0}, QString(),
                                QStringLiteral("a quote inside a field that does not begin with one (quote the whole field and "
                                               "double the quotes inside it)")};
                    return false;
                }
                ++m_pos;
            }
            *field = m_text.mid(start, m_pos - start);
            return true;
        }
        const int openedOn = m_line;
        ++m_pos;
        int from = m_pos;
        field->clear();
        while (true) {
            const int quote = m_text.indexOf(QLatin1Char('"'), m_pos);
            if (quote < 0) {
                *problem = {{openedOn, 0}, QString(), QStringLiteral("a quoted field is never closed")};
                return false;
            }
            for (int i = m_pos; i < quote; ++i)
                m_line += m_text.at(i) == QLatin1Char('\n')
                          || (m_text.at(i) == QLatin1Char('\r') && (i + 1 >= m_text.size() || m_text.at(i + 1) != QLatin1Char('\n')));
            if (quote + 1 < m_text.size() && m_text.at(quote + 1) == QLatin1Char('"')) {
                *field += m_text.midRef(from, quote + 1 - from); // one of the two quotes
                m_pos = from = quote + 2;
                continue;
            }
            *field += m_text.midRef(from, quote - from);
            m_pos = quote + 1;
            break;
        }
        if (!atEnd() && m_text.at(m_pos) != separator && m_text.at(m_pos) != QLatin1Char('\n')
            && m_text.at(m_pos) != QLatin1Char('\r')) {
            *problem = {{m_line, 0}, QString(), QStringLiteral("text after the closing quote of a field")};
            return false;
        }
        return true;
    }

    const QString &m_text;
    int m_pos = 0;
    int m_line = 1;
};

} // namespace

void appendCsvField(QString &line, const QString &field, QChar separator)
{
    if (!needsQuotes(field, separator)) {
        line += field;
        return;
    }
    line += QLatin1Char('"');
    for (const QChar c : field) {
        if (c == QLatin1Char('"'))
            line += QLatin1Char('"');
        line += c;
    }
    line += QLatin1Char('"');
}

bool readCsv(const QString &text, Table *table, QVector<TableProblem> *problems, const RowHandler &onRow)
{
    CsvReader reader(text);
    const QChar separator = reader.findSeparator();
    QVector<TableCell> fields;
    TableProblem problem;
    if (!reader.skipEmptyLines())
        return true; // no header, no rows
    if (!reader.readRecord(separator, &fields, &problem)) {
        problems->append(problem);
        return false;
    }
    for (const TableCell &cell : qAsConst(fields)) {
        table->columns << cell.text;
        table->columnAt << cell.at;
    }
    while (reader.skipEmptyLines()) {
        TableRow row;
        row.at = {reader.line(), 1};
        // Each row gets a vector of its own, of the size it will have.
        fields = QVector<TableCell>();
        fields.reserve(table->columns.size());
        if (!reader.readRecord(separator, &fields, &problem)) {
            problems->append(problem);
            return false;
        }
        if (fields.size() != table->columns.size()) {
            problems->append({row.at, QString(),
                              QStringLiteral("%1 fields where the first line names %2 columns").arg(fields.size()).arg(table->columns.size())});
            continue;
        }
        row.cells = std::move(fields);
        if (onRow)
            onRow(*table, row);
        else
            table->rows.append(row);
    }
    return problems->isEmpty();
}
