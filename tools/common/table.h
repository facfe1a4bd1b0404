#pragma once

// A table as a CSV or JSON file holds it, before its cells are read as the
// fields of records: the column names, and each row's cells by column, each
// with the place in the file it came from, for the messages that name it.

#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

/// A place in a text file: line and column from 1 (the column of a CSV cell is its field's number).
struct TablePosition
{
    int line = 0;
    int column = 0;
};

/// One cell: the value of one column in one row.
struct TableCell
{
    enum Type {
        Absent,  ///< the row does not give the column (a JSON object without the member)
        Text,    ///< a CSV cell or a JSON string
        Number,  ///< a JSON number; text holds it as written
        Boolean, ///< a JSON true or false, in text
        Null,    ///< a JSON null
        List     ///< a JSON array of numbers, in items as written
    };
    Type type = Absent;
    QString text;
    QStringList items;
    TablePosition at;
};

/// One row: where it starts and its cells, by column.
struct TableRow
{
    TablePosition at;
    QVector<TableCell> cells;
};

/// The columns in the order the file first names them, where it names each, and the rows.
struct Table
{
    QStringList columns;
    QVector<TablePosition> columnAt;
    QVector<TableRow> rows;
};

struct Table;

/**
 * Takes the rows of a table as a reader reads them, each with the table as
 * far as it is read (its columns so far), so that no table need be held
 * whole. A reader given one stores no rows itself.
 */
using RowHandler = std::function<void(const Table &table, const TableRow &row)>;

/// Something wrong at a place of a file: a cell, a column or the syntax.
struct TableProblem
{
    TablePosition at;
    QString column;  ///< the column's name, empty where no column is meant
    QString message;
};

/// Problems in file order: by line, then column.
void sortProblems(QVector<TableProblem> &problems);
