#include "jsonTable.h"

#include <QHash>

namespace {

int hexDigit(QChar c)
{
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// Reads a JSON array of flat objects, keeping the place of every member.
class JsonReader
{
public:
    JsonReader(const QString &text, Table *table, const RowHandler &onRow)
        : m_text(text)
        , m_table(table)
        , m_onRow(onRow)
    {
    }

    bool read(TableProblem *problem)
    {
        skipSpace();
        if (!expect(QLatin1Char('['), "the file is not a JSON array of objects: it does not begin with '['", problem))
            return false;
        skipSpace();
        if (peek() == QLatin1Char(']')) {
            ++m_pos;
        } else {
            while (true) {
                skipSpace();
                if (!readObject(problem))
                    return false;
                skipSpace();
                if (peek() == QLatin1Char(',')) {
                    ++m_pos;
                    continue;
                }
                if (!expect(QLatin1Char(']'), "',' or ']' expected after an object", problem))
                    return false;
                break;
            }
        }
        skipSpace();
        if (m_pos < m_text.size()) {
            *problem = fault("text after the end of the array");
            return false;
        }
        return true;
    }

private:
    QChar peek() const { return m_pos < m_text.size() ? m_text.at(m_pos) : QChar(); }

    TablePosition here() const { return {m_line, m_pos - m_lineStart + 1}; }

    TableProblem fault(const char *message) const { return {here(), QString(), QLatin1String(message)}; }

    bool expect(QChar c, const char *message, TableProblem *problem)
    {
        if (peek() != c) {
            *problem = fault(message);
            return false;
        }
        ++m_pos;
        return true;
    }

    void skipSpace()
    {
        while (m_pos < m_text.size()) {
            const QChar c = m_text.at(m_pos);
            if (c == QLatin1Char('\n')) {
                ++m_line;
                m_lineStart = m_pos + 1;
            } else if (c != QLatin1Char(' ') && c != QLatin1Char('\t') && c != QLatin1Char('\r')) {
                return;
            }
            ++m_pos;
        }
    }

    bool readObject(TableProblem *problem)
    {
        TableRow row;
        row.at = here();
        if (!expect(QLatin1Char('{'), "each item of the array must be an object ({...})", problem))
            return false;
        row.cells.resize(m_table->columns.size());
        skipSpace();
        if (peek() == QLatin1Char('}')) {
            ++m_pos;
            deliver(row);
            return true;
        }
        while (true) {
            skipSpace();
            const TablePosition keyAt = here();
            QString key;
            if (peek() != QLatin1Char('"')) {
                *problem = fault("a member name in double quotes expected");
                return false;
            }
            if (!readString(&key, problem))
                return false;
            skipSpace();
            if (!expect(QLatin1Char(':'), "':' expected after a member name", problem))
                return false;
            skipSpace();
            int column = m_columns.value(key, -1);
            if (column < 0) {
                column = m_table->columns.size();
                m_columns.insert(key, column);
                m_table->columns << key;
                m_table->columnAt << keyAt;
            }
            if (column >= row.cells.size())
                row.cells.resize(column + 1);
            if (row.cells.at(column).type != TableCell::Absent) {
                *problem = {keyAt, key, QStringLiteral("the member %1 is given twice in one object").arg(quoted(key))};
                return false;
            }
            TableCell &cell = row.cells[column];
            cell.at = here();
            if (!readValue(&cell, problem))
                return false;
            skipSpace();
            if (peek() == QLatin1Char(',')) {
                ++m_pos;
                continue;
            }
            if (!expect(QLatin1Char('}'), "',' or '}' expected after a member", problem))
                return false;
            break;
        }
        deliver(row);
        return true;
    }

    void deliver(TableRow &row)
    {
        if (!m_onRow) {
            m_table->rows.append(row);
            return;
        }
        row.cells.resize(m_table->columns.size());
        m_onRow(*m_table, row);
    }

    bool readValue(TableCell *cell, TableProblem *problem)
    {
        const QChar c = peek();
        if (c == QLatin1Char('"')) {
            cell->type = TableCell::Text;
            return readString(&cell->text, problem);
        }
        if (c == QLatin1Char('[')) {
            cell->type = TableCell::List;
            ++m_pos;
            skipSpace();
            if (peek() == QLatin1Char(']')) {
                ++m_pos;
                return true;
            }
            while (true) {
                skipSpace();
                QString number;
                if (!readNumber(&number)) {
                    *problem = fault("a list holds numbers only");
                    return false;
                }
                cell->items << number;
                skipSpace();
                if (peek() == QLatin1Char(',')) {
                    ++m_pos;
                    continue;
                }
                return expect(QLatin1Char(']'), "',' or ']' expected in a list", problem);
            }
        }
        for (const char *word : {"true", "false", "null"}) {
            const QLatin1String literal(word);
            if (m_text.midRef(m_pos, literal.size()) == literal) {
                m_pos += literal.size();
                cell->type = literal == QLatin1String("null") ? TableCell::Null : TableCell::Boolean;
                cell->text = literal;
                return true;
            }
        }
        if (c == QLatin1Char('{')) {
            *problem = fault("an object is no value of a field");
            return false;
        }
        cell->type = TableCell::Number;
        if (!readNumber(&cell->text)) {
            *problem = fault("a value expected: a string, number, true, false or a list of numbers");
            return false;
        }
        return true;
    }

    // A number as JSON writes it: -?(0|[1-9][0-9]*)(.[0-9]+)?([eE][+-]?[0-9]+)?
    bool readNumber(QString *number)
    {
        const int start = m_pos;
        const auto digits = [this] {
            const int from = m_pos;
            while (peek() >= QLatin1Char('0') && peek() <= QLatin1Char('9'))
                ++m_pos;
            return m_pos > from;
        };
        if (peek() == QLatin1Char('-'))
            ++m_pos;
        if (peek() == QLatin1Char('0'))
            ++m_pos;
        else if (!digits())
            return rewind(start);
        if (peek() == QLatin1Char('.')) {
            ++m_pos;
            if (!digits())
                return rewind(start);
        }
        if (peek() == QLatin1Char('e') || peek() == QLatin1Char('E')) {
            ++m_pos;
            if (peek() == QLatin1Char('+') || peek() == QLatin1Char('-'))
                ++m_pos;
            if (!digits())
                return rewind(start);
        }
        *number = m_text.mid(start, m_pos - start);
        return true;
    }

    bool rewind(int position)
    {
        m_pos = position;
        return false;
    }

    bool readString(QString *out, TableProblem *problem)
    {
        const TablePosition opened = here();
        ++m_pos; // the opening quote
        out->clear();
        int from = m_pos;
        while (true) {
            if (m_pos >= m_text.size()) {
                *problem = {opened, QString(), QStringLiteral("a string is never closed")};
                return false;
            }
            const QChar c = m_text.at(m_pos);
            if (c == QLatin1Char('"')) {
                *out += m_text.midRef(from, m_pos - from);
                ++m_pos;
                return true;
            }
            if (c.unicode() < 0x20) {
                *problem = fault("a control character inside a string (write it as an escape such as \\n)");
                return false;
            }
            if (c != QLatin1Char('\\')) {
                ++m_pos;
                continue;
            }
            *out += m_text.midRef(from, m_pos - from);
            const QChar escaped = m_pos + 1 < m_text.size() ? m_text.at(m_pos + 1) : QChar();
            static const char simple[] = "\"\"\\\\//b\bf\fn\nr\rt\t";
            bool known = false;
            for (int i = 0; simple[i]; i += 2)
                if (escaped == QLatin1Char(simple[i])) {
                    *out += QLatin1Char(simple[i + 1]);
                    known = true;
                }
            if (known) {
                m_pos += 2;
            } else if (escaped == QLatin1Char('u')) {
                ushort unit = 0;
                for (int i = m_pos + 2; i < m_pos + 6; ++i) {
                    const int digit = i < m_text.size() ? hexDigit(m_text.at(i)) : -1;
                    if (digit < 0) {
                        *problem = fault("\\u must be followed by four hexadecimal digits");
                        return false;
                    }
                    unit = ushort(unit * 16 + digit);
                }
                *out += QChar(unit);
                m_pos += 6;
            } else {
                *problem = fault("an unknown escape in a string");
                return false;
            }
            from = m_pos;
        }
    }

    const QString &m_text;
    Table *m_table;
    const RowHandler &m_onRow;
    QHash<QString, int> m_columns;
    int m_pos = 0;
    int m_line = 1;
    int m_lineStart = 0;
};

} // namespace

bool readJson(const QString &text, Table *table, QVector<TableProblem> *problems, const RowHandler &onRow)
{
    JsonReader reader(text, table, onRow);
    TableProblem problem;
    if (reader.read(&problem)) {
        // Rows read before a column was first named lack its cell.
        for (TableRow &row : table->rows)
            row.cells.resize(table->columns.size());
        return true;
    }
    problems->append(problem);
    return false;
}
