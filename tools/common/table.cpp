#include "table.h"

#include <algorithm>

void sortProblems(QVector<TableProblem> &problems)
{
    std::stable_sort(problems.begin(), problems.end(), [](const TableProblem &a, const TableProblem &b) {
        return a.at.line != b.at.line ? a.at.line < b.at.line : a.at.column < b.at.column;
    });
}
