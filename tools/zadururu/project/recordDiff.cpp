#include "recordDiff.h"

#include <QHash>
#include <QSet>

#include <algorithm>
#include <vector>

namespace {

using Records = std::vector<const Record *>;

// The fields that differ, in the order of the old record with the new one's own after them.
QList<RecordChange::Field> fieldChanges(const Record &before, const Record &after)
{
    QHash<QString, const RecordField *> old, now;
    for (const RecordField &f : before.fields)
        old.insert(f.name, &f);
    for (const RecordField &f : after.fields)
        now.insert(f.name, &f);
    QList<RecordChange::Field> changes;
    for (const RecordField &f : before.fields) {
        const RecordField *is = now.value(f.name);
        if (!is || *is != f)
            changes.append({f.name, &f, is});
    }
    for (const RecordField &f : after.fields)
        if (!old.contains(f.name))
            changes.append({f.name, nullptr, &f});
    return changes;
}

void addChange(QList<RecordChange> &changes, const Record *before, const Record *after)
{
    if (!before) {
        changes.append({RecordChange::Added, nullptr, after, {}});
    } else if (!after) {
        changes.append({RecordChange::Removed, before, nullptr, {}});
    } else {
        // A record without identity that only moved (a text before it was
        // added) is the same record: only its fields tell.
        QList<RecordChange::Field> fields = fieldChanges(*before, *after);
        if (!fields.isEmpty())
            changes.append({RecordChange::Changed, before, after, fields});
    }
}

// Records known by their key: removed and changed ones in old order, then the added ones.
void compareByKey(const Records &before, const Records &after, QList<RecordChange> &changes)
{
    QHash<QString, const Record *> newByKey;
    for (const Record *r : after)
        newByKey.insert(r->key, r);
    QSet<QString> oldKeys;
    for (const Record *old : before) {
        oldKeys.insert(old->key);
        addChange(changes, old, newByKey.value(old->key));
    }
    for (const Record *r : after)
        if (!oldKeys.contains(r->key))
            addChange(changes, nullptr, r);
}

bool sameFields(const Record &a, const Record &b)
{
    return a.fields == b.fields;
}

// Whether @p b is @p a changed rather than another record: half its fields or more are the same.
bool similar(const Record &a, const Record &b)
{
    QHash<QString, QString> values;
    for (const RecordField &f : a.fields)
        values.insert(f.name, f.text);
    int same = 0;
    for (const RecordField &f : b.fields)
        same += values.value(f.name) == f.text && values.contains(f.name);
    return 2 * same >= std::max(a.fields.size(), b.fields.size()) && same > 0;
}

/**
 * The pairs (i, j) of equal records of @p a and @p b that a longest common
 * subsequence keeps, in order. Equal ends are taken first; the rest by
 * dynamic programming when it is small enough, else by matching each old
 * record with the next equal new one.
 */
std::vector<std::pair<int, int>> equalRuns(const Records &a, const Records &b)
{
    std::vector<uint> ha(a.size()), hb(b.size());
    const auto hashOf = [](const Record *r) {
        uint h = 0;
        for (const RecordField &f : r->fields)
            h = h * 31 + qHash(f.name) * 7 + qHash(f.text);
        return h;
    };
    std::transform(a.begin(), a.end(), ha.begin(), hashOf);
    std::transform(b.begin(), b.end(), hb.begin(), hashOf);
    const auto equal = [&](int i, int j) { return ha[size_t(i)] == hb[size_t(j)] && sameFields(*a[size_t(i)], *b[size_t(j)]); };

    std::vector<std::pair<int, int>> pairs;
    int begin = 0;
    int endA = int(a.size()), endB = int(b.size());
    while (begin < endA && begin < endB && equal(begin, begin)) {
        pairs.emplace_back(begin, begin);
        ++begin;
    }
    std::vector<std::pair<int, int>> tail;
    while (endA > begin && endB > begin && equal(endA - 1, endB - 1))
        tail.emplace_back(--endA, --endB);

    const qint64 n = endA - begin, m = endB - begin;
    if (n > 0 && m > 0 && n * m <= 4'000'000) {
        // lengths[i][j]: the longest common run of a[i..] and b[j..].
        std::vector<int> lengths(size_t((n + 1) * (m + 1)), 0);
        const auto at = [m](qint64 i, qint64 j) { return size_t(i * (m + 1) + j); };
        for (qint64 i = n - 1; i >= 0; --i)
            for (qint64 j = m - 1; j >= 0; --j)
                lengths[at(i, j)] = equal(int(begin + i), int(begin + j))
                                        ? lengths[at(i + 1, j + 1)] + 1
                                        : std::max(lengths[at(i + 1, j)], lengths[at(i, j + 1)]);
        for (qint64 i = 0, j = 0; i < n && j < m;) {
            if (equal(int(begin + i), int(begin + j))) {
                pairs.emplace_back(int(begin + i), int(begin + j));
                ++i;
                ++j;
            } else if (lengths[at(i + 1, j)] >= lengths[at(i, j + 1)]) {
                ++i;
            } else {
                ++j;
            }
        }
    } else if (n > 0 && m > 0) {
        QHash<uint, std::vector<int>> positions;
        for (int j = endB - 1; j >= begin; --j)
            positions[hb[size_t(j)]].push_back(j);
        int next = begin;
        for (int i = begin; i < endA; ++i) {
            auto it = positions.find(ha[size_t(i)]);
            if (it == positions.end())
                continue;
            std::vector<int> &js = *it; // in falling order: the nearest at the back
            while (!js.empty() && (js.back() < next || !equal(i, js.back())))
                js.pop_back();
            if (!js.empty()) {
                pairs.emplace_back(i, js.back());
                next = js.back() + 1;
                js.pop_back();
            }
        }
    }
    pairs.insert(pairs.end(), tail.rbegin(), tail.rend());
    return pairs;
}

// Records known by their place: aligned by content.
void compareByContent(const Records &before, const Records &after, QList<RecordChange> &changes)
{
    std::vector<std::pair<int, int>> pairs = equalRuns(before, after);
    pairs.emplace_back(int(before.size()), int(after.size())); // the end closes the last gap
    int i = 0, j = 0;
    for (const auto &pair : pairs) {
        // The gap before the pair: an old record is the next similar new one changed.
        while (i < pair.first) {
            int k = j;
            while (k < pair.second && !similar(*before[size_t(i)], *after[size_t(k)]))
                ++k;
            if (k == pair.second) {
                addChange(changes, before[size_t(i++)], nullptr);
                continue;
            }
            while (j < k)
                addChange(changes, nullptr, after[size_t(j++)]);
            addChange(changes, before[size_t(i++)], after[size_t(j++)]);
        }
        while (j < pair.second)
            addChange(changes, nullptr, after[size_t(j++)]);
        // Equal records, though their places may differ.
        if (pair.first < int(before.size()) && pair.second < int(after.size()))
            addChange(changes, before[size_t(pair.first)], after[size_t(pair.second)]);
        i = pair.first + 1;
        j = pair.second + 1;
    }
}

} // namespace

QList<RecordChange> compareRecords(const QList<Record> &before, const QList<Record> &after)
{
    // The kinds in the order the records come; each kind compared by itself.
    QStringList kinds;
    QHash<QString, std::pair<Records, Records>> byKind;
    for (const Record &r : before) {
        if (!byKind.contains(r.ref.kind))
            kinds << r.ref.kind;
        byKind[r.ref.kind].first.push_back(&r);
    }
    for (const Record &r : after) {
        if (!byKind.contains(r.ref.kind))
            kinds << r.ref.kind;
        byKind[r.ref.kind].second.push_back(&r);
    }
    QList<RecordChange> changes;
    for (const QString &kind : qAsConst(kinds)) {
        const auto &lists = byKind[kind];
        const Record *any = lists.first.empty() ? lists.second.front() : lists.first.front();
        if (any->isPlaced())
            compareByContent(lists.first, lists.second, changes);
        else
            compareByKey(lists.first, lists.second, changes);
    }
    return changes;
}

bool sameRecords(const QList<Record> &a, const QList<Record> &b, const QString &ignoredPageField)
{
    if (a.size() != b.size())
        return false;
    for (int i = 0; i < a.size(); ++i) {
        const Record &x = a.at(i), &y = b.at(i);
        if (x.key != y.key)
            return false;
        if (x.ref.kind != QLatin1String("page") || ignoredPageField.isEmpty()) {
            if (!sameFields(x, y))
                return false;
            continue;
        }
        const auto without = [&ignoredPageField](const Record &r) {
            QList<RecordField> fields = r.fields;
            fields.erase(std::remove_if(fields.begin(), fields.end(),
                                        [&](const RecordField &f) { return f.name == ignoredPageField; }),
                         fields.end());
            return fields;
        };
        if (without(x) != without(y))
            return false;
    }
    return true;
}
