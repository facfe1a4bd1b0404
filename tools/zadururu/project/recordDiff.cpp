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

// Equal records of two lists, told apart quickly by a hash of their fields.
struct Matcher
{
    const Records &a;
    const Records &b;
    std::vector<uint> ha, hb;

    Matcher(const Records &before, const Records &after)
        : a(before)
        , b(after)
        , ha(before.size())
        , hb(after.size())
    {
        const auto hashOf = [](const Record *r) {
            uint h = 0;
            for (const RecordField &f : r->fields)
                h = h * 31 + qHash(f.name) * 7 + qHash(f.text);
            return h;
        };
        std::transform(a.begin(), a.end(), ha.begin(), hashOf);
        std::transform(b.begin(), b.end(), hb.begin(), hashOf);
    }
    bool equal(int i, int j) const { return ha[size_t(i)] == hb[size_t(j)] && sameFields(*a[size_t(i)], *b[size_t(j)]); }

    /// A longest run of equal pairs of a[i0, i1) and b[j0, j1), in order, by dynamic programming.
    void longest(int i0, int i1, int j0, int j1, std::vector<std::pair<int, int>> &pairs) const
    {
        const qint64 n = i1 - i0, m = j1 - j0;
        if (n <= 0 || m <= 0)
            return;
        // lengths[i][j]: the longest common run of a[i0 + i..] and b[j0 + j..].
        std::vector<int> lengths(size_t((n + 1) * (m + 1)), 0);
        const auto at = [m](qint64 i, qint64 j) { return size_t(i * (m + 1) + j); };
        for (qint64 i = n - 1; i >= 0; --i)
            for (qint64 j = m - 1; j >= 0; --j)
                lengths[at(i, j)] = equal(int(i0 + i), int(j0 + j)) ? lengths[at(i + 1, j + 1)] + 1
                                                                    : std::max(lengths[at(i + 1, j)], lengths[at(i, j + 1)]);
        for (qint64 i = 0, j = 0; i < n && j < m;) {
            if (equal(int(i0 + i), int(j0 + j))) {
                pairs.emplace_back(int(i0 + i), int(j0 + j));
                ++i;
                ++j;
            } else if (lengths[at(i + 1, j)] >= lengths[at(i, j + 1)]) {
                ++i;
            } else {
                ++j;
            }
        }
    }

    /**
     * The records that occur once in a[i0, i1) and once in b[j0, j1), equal,
     * and in the same order on both sides (a longest increasing run of
     * them): the anchors of a patience alignment, for ranges too large to
     * compare every record with every other.
     */
    std::vector<std::pair<int, int>> anchors(int i0, int i1, int j0, int j1) const
    {
        // Per hash: how many records of a side have it, and where the last one is.
        QHash<uint, std::pair<int, int>> inA, inB;
        for (int i = i0; i < i1; ++i) {
            auto &e = inA[ha[size_t(i)]];
            e = {e.first + 1, i};
        }
        for (int j = j0; j < j1; ++j) {
            auto &e = inB[hb[size_t(j)]];
            e = {e.first + 1, j};
        }
        std::vector<std::pair<int, int>> candidates;
        for (int i = i0; i < i1; ++i) {
            const auto a = inA.value(ha[size_t(i)]);
            const auto b = inB.value(ha[size_t(i)]);
            if (a.first == 1 && b.first == 1 && equal(i, b.second))
                candidates.emplace_back(i, b.second);
        }
        // The longest run of candidates whose places in b increase (patience sorting).
        std::vector<int> tails, previous(candidates.size(), -1);
        for (int k = 0; k < int(candidates.size()); ++k) {
            const auto it = std::lower_bound(tails.begin(), tails.end(), candidates[size_t(k)].second,
                                             [&](int t, int j) { return candidates[size_t(t)].second < j; });
            if (it != tails.begin())
                previous[size_t(k)] = *(it - 1);
            if (it == tails.end())
                tails.push_back(k);
            else
                *it = k;
        }
        std::vector<std::pair<int, int>> run;
        for (int k = tails.empty() ? -1 : tails.back(); k >= 0; k = previous[size_t(k)])
            run.push_back(candidates[size_t(k)]);
        std::reverse(run.begin(), run.end());
        return run;
    }

    /// The equal pairs of a[i0, i1) and b[j0, j1) that stay, in order.
    void align(int i0, int i1, int j0, int j1, std::vector<std::pair<int, int>> &pairs) const
    {
        // Equal ends first: most changes touch a few records of a long list.
        std::vector<std::pair<int, int>> tail;
        while (i0 < i1 && j0 < j1 && equal(i0, j0))
            pairs.emplace_back(i0++, j0++);
        while (i1 > i0 && j1 > j0 && equal(i1 - 1, j1 - 1))
            tail.emplace_back(--i1, --j1);
        if (qint64(i1 - i0) * (j1 - j0) <= 4'000'000) {
            longest(i0, i1, j0, j1, pairs);
        } else {
            // Too large to compare all with all: anchor on the records that
            // occur once on each side, and align what lies between them.
            const std::vector<std::pair<int, int>> anchored = anchors(i0, i1, j0, j1);
            int i = i0, j = j0;
            for (const auto &anchor : anchored) {
                if (qint64(anchor.first - i) * (anchor.second - j) <= 4'000'000)
                    longest(i, anchor.first, j, anchor.second, pairs);
                pairs.push_back(anchor);
                i = anchor.first + 1;
                j = anchor.second + 1;
            }
            if (qint64(i1 - i) * (j1 - j) <= 4'000'000)
                longest(i, i1, j, j1, pairs);
        }
        pairs.insert(pairs.end(), tail.rbegin(), tail.rend());
    }
};

/// The pairs (i, j) of equal records of @p a and @p b that an alignment keeps, in order.
std::vector<std::pair<int, int>> equalRuns(const Records &a, const Records &b)
{
    const Matcher matcher(a, b);
    std::vector<std::pair<int, int>> pairs;
    matcher.align(0, int(a.size()), 0, int(b.size()), pairs);
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
