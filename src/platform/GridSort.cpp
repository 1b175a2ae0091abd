// Sorting and grouping of the grid's rows.
#include "platform/GridModel.h"

#include <QCollator>
#include <QDate>
#include <QHash>
#include <QLocale>
#include <QSet>
#include <algorithm>
#include <climits>
#include <cstdint>
#include <numeric>

namespace platform {

namespace {

// Reads "yyyy-MM-dd", "HH:mm", "HH:mm:ss" or a date followed by a time into milliseconds,
// so that dates and times compare as values and never as their displayed text.
// Unreadable text sorts before every date.
qint64 dateTimeValue(const QString& s) {
    int nums[6] = {0, 0, 0, 0, 0, 0};
    int n = 0;
    bool inNum = false;
    bool hasDate = false;
    for (const QChar ch : s) {
        if (ch.isDigit()) {
            if (!inNum) {
                if (n == 6) return LLONG_MIN;
                inNum = true;
                ++n;
            }
            nums[n - 1] = nums[n - 1] * 10 + ch.digitValue();
            if (nums[n - 1] > 99999) return LLONG_MIN;
        } else {
            inNum = false;
            if (ch == u'-' || ch == u'/') hasDate = true;
        }
    }
    qint64 days = 0;
    int t = 0; // first number of the time part
    if (hasDate) {
        if (n < 3) return LLONG_MIN;
        const QDate d(nums[0], nums[1], nums[2]);
        if (!d.isValid()) return LLONG_MIN;
        days = d.toJulianDay();
        t = 3;
    } else if (n == 0) {
        return LLONG_MIN;
    }
    const int h = n > t ? nums[t] : 0, m = n > t + 1 ? nums[t + 1] : 0, sec = n > t + 2 ? nums[t + 2] : 0;
    if (h > 23 || m > 59 || sec > 59) return LLONG_MIN;
    return days * 86400000LL + (h * 3600LL + m * 60LL + sec) * 1000LL;
}

const QCollator& frenchCollator() {
    static const QCollator collator = [] {
        QCollator c(QLocale(QLocale::French, QLocale::Canada));
        c.setCaseSensitivity(Qt::CaseSensitive); // case only breaks ties between otherwise equal words
        return c;
    }();
    return collator;
}

} // namespace

// ---------------------------------------------------------------- sort keys

void SortKeys::clear() {
    std::vector<Key> kept;
    for (int col : m_model->m_groupedColumns) {
        const int at = indexOf(col);
        kept.push_back(at ? m_keys[size_t(at - 1)] : Key{col, kSortAscending, m_model->ColumnSortType(col)});
    }
    m_keys = std::move(kept);
}

int SortKeys::add(int column, int order, int sortType) {
    m_keys.push_back({column, order, sortType < 0 ? m_model->ColumnSortType(column) : sortType});
    return count();
}

void SortKeys::remove(int position) {
    if (valid(position)) m_keys.erase(m_keys.begin() + (position - 1));
}

int SortKeys::indexOf(int column) const {
    for (size_t i = 0; i < m_keys.size(); ++i)
        if (m_keys[i].column == column) return int(i) + 1;
    return 0;
}

int SortKeys::column(int p) const {
    return valid(p) ? m_keys[size_t(p - 1)].column : 0;
}
int SortKeys::order(int p) const {
    return valid(p) ? m_keys[size_t(p - 1)].order : 0;
}
int SortKeys::sortType(int p) const {
    return valid(p) ? m_keys[size_t(p - 1)].sortType : 0;
}
void SortKeys::setColumn(int p, int c) {
    if (valid(p)) m_keys[size_t(p - 1)].column = c;
}
void SortKeys::setOrder(int p, int o) {
    if (valid(p)) m_keys[size_t(p - 1)].order = o;
}
void SortKeys::setSortType(int p, int t) {
    if (valid(p)) m_keys[size_t(p - 1)].sortType = t;
}

// ---------------------------------------------------------------- grouping flags

bool GridModel::ColumnIsGrouped(int column) const {
    return ColumnGroupingLevel(column) >= 0;
}

int GridModel::ColumnGroupingLevel(int column) const {
    for (size_t i = 0; i < m_groupedColumns.size(); ++i)
        if (m_groupedColumns[i] == column) return int(i);
    return -1;
}

void GridModel::setColumnIsGrouped(int column, bool grouped) {
    if (column < 1 || column > Columns() || grouped == ColumnIsGrouped(column)) return;
    const quint32 uid = selectedUid();
    if (grouped) {
        m_groupedColumns.push_back(column);
    } else {
        m_groupedColumns.erase(std::find(m_groupedColumns.begin(), m_groupedColumns.end(), column));
    }
    placeGroupedKeys();
    if (m_groupedColumns.empty()) {
        removeGroupRows(); // the data rows stay in the order the grouping gave them
        for (Row& r : m_rows)
            r.groupLevel = 0;
        restoreSelection(uid);
    } else {
        regroup();
    }
    touch(Change::Layout);
}

void GridModel::setGroupingBandHidden(bool hidden) {
    m_bandHidden = hidden;
    touch(Change::Layout);
}

int GridModel::GroupingBandHeight() const {
    if (m_bandHidden) return 0;
    return 40 + 8 * std::max(0, GroupedColumnCount() - 1);
}

// The grouped columns' keys lead the key list, in grouping order; a grouped column that
// had no key gets an ascending one of its own sort type.
void GridModel::placeGroupedKeys() {
    auto& keys = m_sortKeys.m_keys;
    std::vector<SortKeys::Key> front;
    for (int col : m_groupedColumns) {
        const int at = m_sortKeys.indexOf(col);
        if (at) {
            front.push_back(keys[size_t(at - 1)]);
            keys.erase(keys.begin() + (at - 1));
        } else {
            front.push_back({col, kSortAscending, ColumnSortType(col)});
        }
    }
    keys.insert(keys.begin(), front.begin(), front.end());
}

// ---------------------------------------------------------------- sorting

void GridModel::Sort() {
    if (!m_groupedColumns.empty()) {
        regroup();
    } else {
        const quint32 uid = selectedUid();
        sortDataRows();
        restoreSelection(uid);
    }
    touch(Change::Layout);
}

// Stable sort of the rows over the keys. Each key first turns every row into one number
// (the rank of its text among the distinct texts, its date value, its image or its item
// data), so the comparisons of the sort itself are plain integer comparisons.
void GridModel::sortDataRows() {
    const auto& keys = m_sortKeys.m_keys;
    const size_t n = m_rows.size();
    if (keys.empty() || n < 2) return;

    std::vector<std::vector<qint64>> ranks;
    std::vector<int> orders;
    for (const SortKeys::Key& k : keys) {
        if (k.column < 1 || k.column > Columns()) continue;
        const size_t ci = size_t(k.column - 1);
        std::vector<qint64> v(n);
        if (k.sortType == kSortImage) {
            for (size_t i = 0; i < n; ++i)
                v[i] = m_rows[i].cells[ci].image;
        } else if (k.sortType == kSortItemData) {
            for (size_t i = 0; i < n; ++i)
                v[i] = m_rows[i].cells[ci].itemData;
        } else if (k.sortType == kSortDate) {
            QHash<QString, qint64> seen;
            for (size_t i = 0; i < n; ++i) {
                const QString& t = m_rows[i].cells[ci].text;
                auto it = seen.constFind(t);
                if (it == seen.constEnd()) it = seen.insert(t, dateTimeValue(t));
                v[i] = *it;
            }
        } else {
            // Rank of each distinct text under the French collation.
            QHash<QString, int> ids;
            std::vector<const QString*> distinct;
            std::vector<int> idOf(n);
            for (size_t i = 0; i < n; ++i) {
                const QString& t = m_rows[i].cells[ci].text;
                auto it = ids.constFind(t);
                if (it == ids.constEnd()) {
                    it = ids.insert(t, int(distinct.size()));
                    distinct.push_back(&t);
                }
                idOf[i] = *it;
            }
            const QCollator& coll = frenchCollator();
            std::vector<QCollatorSortKey> sortKeys;
            sortKeys.reserve(distinct.size());
            for (const QString* t : distinct)
                sortKeys.push_back(coll.sortKey(*t));
            std::vector<int> byText(distinct.size());
            std::iota(byText.begin(), byText.end(), 0);
            std::sort(byText.begin(), byText.end(),
                      [&](int a, int b) { return sortKeys[size_t(a)].compare(sortKeys[size_t(b)]) < 0; });
            std::vector<qint64> rankOf(distinct.size());
            qint64 rank = 0;
            for (size_t j = 0; j < byText.size(); ++j) {
                if (j > 0 && sortKeys[size_t(byText[j - 1])].compare(sortKeys[size_t(byText[j])]) != 0)
                    ++rank;
                rankOf[size_t(byText[j])] = rank;
            }
            for (size_t i = 0; i < n; ++i)
                v[i] = rankOf[size_t(idOf[i])];
        }
        ranks.push_back(std::move(v));
        orders.push_back(k.order);
    }

    std::vector<size_t> idx(n);
    std::iota(idx.begin(), idx.end(), size_t(0));
    std::stable_sort(idx.begin(), idx.end(), [&](size_t a, size_t b) {
        for (size_t k = 0; k < ranks.size(); ++k) {
            const qint64 x = ranks[k][a], y = ranks[k][b];
            if (x != y) return orders[k] == kSortDescending ? x > y : x < y;
        }
        return false;
    });
    std::vector<Row> sorted;
    sorted.reserve(n);
    for (size_t i : idx)
        sorted.push_back(std::move(m_rows[i]));
    m_rows = std::move(sorted);
}

// ---------------------------------------------------------------- group rows

void GridModel::removeGroupRows() {
    m_rows.erase(std::remove_if(m_rows.begin(), m_rows.end(), [](const Row& r) { return r.isGroup; }),
                 m_rows.end());
    m_layoutDirty = true;
}

namespace {
// Path naming a group (its values from the outer level down), to keep its collapsed state
// across a regroup.
QString groupPath(const QString& outer, const QString& text, int image) {
    return outer + QString::number(image) + QChar(0x1F) + text + QChar(0x1E);
}
} // namespace

void GridModel::regroup() {
    const quint32 uid = selectedUid();
    const QSet<QString> collapsed = collapsedGroups();
    removeGroupRows();
    placeGroupedKeys();
    sortDataRows();
    insertGroupRows(collapsed);
    restoreSelection(uid);
    m_layoutDirty = true;
}

// After a sort whose first keys are the grouped columns, a group starts wherever the value
// of a grouping level differs from the row above (or an outer level's does).
// Collapsed groups of the present layout, named by path.
QSet<QString> GridModel::collapsedGroups() const {
    QSet<QString> collapsed;
    std::vector<QString> path(m_groupedColumns.size() + 2);
    for (const Row& r : m_rows)
        if (r.isGroup && size_t(r.groupLevel) + 1 < path.size() && r.groupColumn >= 1 &&
            r.groupColumn <= Columns()) {
            const size_t l = size_t(r.groupLevel);
            const Cell& c = r.cells[size_t(r.groupColumn - 1)];
            path[l + 1] = groupPath(path[l], c.text, c.image);
            if (!r.expanded) collapsed.insert(path[l + 1]);
        }
    return collapsed;
}

void GridModel::insertGroupRows(const QSet<QString>& collapsed) {
    const size_t levels = m_groupedColumns.size();
    if (levels == 0) return;

    auto sameValue = [&](const Row& a, const Row& b, int col) {
        const Cell& x = a.cells[size_t(col - 1)];
        const Cell& y = b.cells[size_t(col - 1)];
        switch (ColumnSortType(col)) {
        case kSortImage:
            return x.image == y.image;
        case kSortItemData:
            return x.itemData == y.itemData;
        default:
            return x.text == y.text;
        }
    };

    std::vector<Row> out;
    out.reserve(m_rows.size() + m_rows.size() / 4 + 8);
    std::vector<size_t> openGroup(levels, 0); // index in `out` of each level's current group row
    std::vector<QString> path(levels + 1);
    size_t prev = SIZE_MAX; // index in `out` of the previous data row
    for (Row& r : m_rows) {
        size_t first = levels;
        if (prev == SIZE_MAX)
            first = 0;
        else
            for (size_t l = 0; l < levels; ++l)
                if (!sameValue(out[prev], r, m_groupedColumns[l])) {
                    first = l;
                    break;
                }
        for (size_t l = first; l < levels; ++l) {
            const int col = m_groupedColumns[l];
            Row g;
            g.uid = m_nextUid++;
            g.isGroup = true;
            g.groupLevel = int(l);
            g.groupColumn = col;
            g.height = m_defaultRowHeight;
            g.cells.resize(m_columns.size());
            Cell& gc = g.cells[size_t(col - 1)];
            const Cell& src = r.cells[size_t(col - 1)];
            gc.text = src.text;
            gc.image = src.image;
            gc.font = src.font;
            gc.alignment = kAlignSingleLineEllipsis;
            path[l + 1] = groupPath(path[l], src.text, src.image);
            g.expanded = !collapsed.contains(path[l + 1]);
            openGroup[l] = out.size();
            out.push_back(std::move(g));
        }
        for (size_t l = 0; l < levels; ++l)
            ++out[openGroup[l]].groupCount;
        r.groupLevel = int(levels);
        prev = out.size();
        out.push_back(std::move(r));
    }
    m_rows = std::move(out);
}

} // namespace platform
