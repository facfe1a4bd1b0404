#include "nearestName.h"

#include <algorithm>
#include <vector>

namespace {

// Edits from a to b, a swap of neighbours counting one (optimal string alignment).
int editDistance(const QString &a, const QString &b)
{
    const int n = a.size(), m = b.size();
    std::vector<int> before(size_t(m + 1)), previous(size_t(m + 1)), current(size_t(m + 1));
    for (int j = 0; j <= m; ++j)
        previous[size_t(j)] = j;
    for (int i = 1; i <= n; ++i) {
        current[0] = i;
        for (int j = 1; j <= m; ++j) {
            const int cost = a.at(i - 1) == b.at(j - 1) ? 0 : 1;
            int d = std::min({previous[size_t(j)] + 1, current[size_t(j - 1)] + 1, previous[size_t(j - 1)] + cost});
            if (i > 1 && j > 1 && a.at(i - 1) == b.at(j - 2) && a.at(i - 2) == b.at(j - 1))
                d = std::min(d, before[size_t(j - 2)] + 1);
            current[size_t(j)] = d;
        }
        std::swap(before, previous);
        std::swap(previous, current);
    }
    return previous[size_t(m)];
}

} // namespace

QString nearestName(const QString &name, const QStringList &candidates)
{
    if (candidates.contains(name))
        return QString();
    for (const QString &candidate : candidates)
        if (candidate.compare(name, Qt::CaseInsensitive) == 0)
            return candidate;
    // Two letters leave too little to tell a slip from another name.
    if (name.size() < 3)
        return QString();
    const int allowed = name.size() <= 4 ? 1 : 2;
    QString best;
    int bestDistance = allowed + 1;
    for (const QString &candidate : candidates) {
        if (std::abs(candidate.size() - name.size()) > allowed)
            continue;
        const int d = editDistance(name.toLower(), candidate.toLower());
        if (d < bestDistance) {
            bestDistance = d;
            best = candidate;
        }
    }
    return best;
}
