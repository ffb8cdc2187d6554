#include "ReferenceDesign.h"

#include <algorithm>

namespace testsupport {

namespace {

const std::string kNew = "__________";

std::string strip(const std::string& text)
{
    if (text.empty() || text[0] < '1' || text[0] > '9')
        return text;
    const std::size_t space = text.find(' ');
    return space == std::string::npos ? text : text.substr(space + 1);
}

template <typename T>
void rotateRows(std::vector<T>& v, int first, int middle, int last)
{
    std::rotate(v.begin() + first, v.begin() + middle, v.begin() + last);
}

} // namespace

const std::string& ReferenceDesign::text(model::TreeId t, int row) const
{
    return m_text[static_cast<std::size_t>(model::index(t))][static_cast<std::size_t>(row)];
}

int ReferenceDesign::subtreeEnd(int k) const
{
    int j = k + 1;
    while (j < size() && level(j) > level(k))
        ++j;
    return j;
}

int ReferenceDesign::groupEnd(int k) const
{
    int j = k + 1;
    while (j < size() && level(j) >= level(k))
        ++j;
    return j;
}

int ReferenceDesign::parentRow(int k) const
{
    int j = k - 1;
    while (j >= 0 && level(j) >= level(k))
        --j;
    return j;
}

int ReferenceDesign::prevSibling(int k) const
{
    int j = k - 1;
    while (j >= 0 && level(j) > level(k))
        --j;
    return j >= 0 && level(j) == level(k) ? j : -1;
}

int ReferenceDesign::nextSibling(int k) const
{
    const int e = subtreeEnd(k);
    return e < size() && level(e) == level(k) ? e : -1;
}

void ReferenceDesign::insertRow(int at, int lvl)
{
    m_level.insert(m_level.begin() + at, lvl);
    for (auto& texts : m_text)
        texts.insert(texts.begin() + at, kNew);
    m_dense.insert(m_dense.begin() + at, Dense{});
    dense(parentRow(at)).insert(siblingIndex(at));
    modified = true;
}

void ReferenceDesign::rotate(int first, int middle, int last)
{
    rotateRows(m_level, first, middle, last);
    for (auto& texts : m_text)
        rotateRows(texts, first, middle, last);
    rotateRows(m_dense, first, middle, last);
}

int ReferenceDesign::siblingIndex(int k) const
{
    int index = 0;
    for (int s = prevSibling(k); s >= 0; s = prevSibling(s))
        ++index;
    return index;
}

// --- matrices ---------------------------------------------------------------------

void ReferenceDesign::Dense::reshape(const std::vector<int>& from)
{
    const int m = static_cast<int>(from.size());
    for (auto& values : cells) {
        std::vector<int> next(static_cast<std::size_t>(m * m), 0);
        for (int p = 0; p < m; ++p)
            for (int q = 0; q < m; ++q)
                if (p != q && from[p] >= 0 && from[q] >= 0)
                    next[static_cast<std::size_t>(p * m + q)] = values[static_cast<std::size_t>(from[p] * n + from[q])];
        values = std::move(next);
    }
    n = m;
}

void ReferenceDesign::Dense::insert(int at)
{
    std::vector<int> from;
    for (int p = 0; p <= n; ++p)
        from.push_back(p < at ? p : p == at ? -1 : p - 1);
    reshape(from);
}

void ReferenceDesign::Dense::erase(int at)
{
    std::vector<int> from;
    for (int p = 0; p < n; ++p)
        if (p != at)
            from.push_back(p);
    reshape(from);
}

void ReferenceDesign::Dense::swap(int a, int b)
{
    std::vector<int> from;
    for (int p = 0; p < n; ++p)
        from.push_back(p == a ? b : p == b ? a : p);
    reshape(from);
}

void ReferenceDesign::Dense::moveToEnd(int at)
{
    std::vector<int> from;
    for (int p = 0; p < n; ++p)
        if (p != at)
            from.push_back(p);
    from.push_back(at);
    reshape(from);
}

int ReferenceDesign::childCount(int parentRow) const
{
    return dense(parentRow).n;
}

int ReferenceDesign::cell(int parentRow, int kind, int i, int j) const
{
    const Dense& d = dense(parentRow);
    return d.cells[static_cast<std::size_t>(kind)][static_cast<std::size_t>(i * d.n + j)];
}

bool ReferenceDesign::setCell(int parentRow, int kind, int i, int j, int value)
{
    if (parentRow < -1 || parentRow >= size())
        return false;
    Dense& d = dense(parentRow);
    if (i < 0 || j < 0 || i >= d.n || j >= d.n || i == j)
        return false;
    int& c = d.cells[static_cast<std::size_t>(kind)][static_cast<std::size_t>(i * d.n + j)];
    if (c == value)
        return false;
    c = value;
    modified = true;
    return true;
}

int ReferenceDesign::assessedCells() const
{
    int count = 0;
    const auto add = [&](const Dense& d) {
        for (const auto& values : d.cells)
            count += static_cast<int>(std::count_if(values.begin(), values.end(), [](int v) { return v != 0; }));
    };
    add(m_top);
    for (const Dense& d : m_dense)
        add(d);
    return count;
}

void ReferenceDesign::renumber()
{
    for (auto& texts : m_text) {
        std::vector<int> counters;
        for (int row = 0; row < size(); ++row) {
            counters.resize(static_cast<std::size_t>(level(row)) + 1, 0);
            ++counters.back();
            std::string number;
            for (std::size_t i = 0; i < counters.size(); ++i) {
                if (i > 0)
                    number += '.';
                number += std::to_string(counters[i]);
            }
            std::string& t = texts[static_cast<std::size_t>(row)];
            t = number + " " + strip(t);
        }
    }
}

int ReferenceDesign::addFirstRow()
{
    if (size() != 0)
        return -1;
    insertRow(0, 0);
    renumber();
    return 0;
}

int ReferenceDesign::addSiblingBelow(int k)
{
    if (!valid(k))
        return -1;
    const int at = groupEnd(k);
    insertRow(at, level(k));
    renumber();
    return at;
}

int ReferenceDesign::addSiblingAbove(int k)
{
    if (!valid(k))
        return -1;
    insertRow(k, level(k));
    renumber();
    return k;
}

int ReferenceDesign::addChild(int k)
{
    if (!valid(k))
        return -1;
    const int at = subtreeEnd(k);
    insertRow(at, level(k) + 1);
    renumber();
    return at;
}

int ReferenceDesign::addUncle(int k)
{
    if (!valid(k) || level(k) < 2)
        return -1;
    int at = k + 1;
    while (at < size() && level(at) > level(k) - 2)
        ++at;
    insertRow(at, level(k) - 1);
    renumber();
    return at;
}

int ReferenceDesign::deleteRow(int k, bool& refused)
{
    refused = k <= 0 || !valid(k);
    if (refused)
        return -1;
    int select = k;
    if (nextSibling(k) < 0)
        select = prevSibling(k) >= 0 ? prevSibling(k) : parentRow(k);
    const int e = subtreeEnd(k);
    dense(parentRow(k)).erase(siblingIndex(k));
    m_level.erase(m_level.begin() + k, m_level.begin() + e);
    for (auto& texts : m_text)
        texts.erase(texts.begin() + k, texts.begin() + e);
    m_dense.erase(m_dense.begin() + k, m_dense.begin() + e);
    renumber();
    modified = true;
    return select;
}

int ReferenceDesign::moveUp(int k, bool& acted, bool& moved)
{
    acted = moved = false;
    if (k <= 0 || !valid(k))
        return -1;
    acted = true;
    modified = true;
    int row = k;
    if (const int p = prevSibling(k); p >= 0) {
        const int index = siblingIndex(k);
        dense(parentRow(k)).swap(index - 1, index);
        rotate(p, k, subtreeEnd(k));
        moved = true;
        row = p;
    }
    renumber();
    return row;
}

int ReferenceDesign::moveDown(int k, bool& acted, bool& moved)
{
    acted = moved = false;
    const int x = valid(k) ? nextSibling(k) : -1;
    if (x < 0)
        return -1;
    const int xEnd = subtreeEnd(x);
    const int index = siblingIndex(k);
    dense(parentRow(k)).swap(index, index + 1);
    rotate(k, x, xEnd);
    acted = moved = modified = true;
    renumber();
    return k + (xEnd - x);
}

int ReferenceDesign::duplicate(int k)
{
    if (!valid(k))
        return -1;
    const int e = subtreeEnd(k);
    const int at = groupEnd(k);
    std::vector<int> levels(m_level.begin() + k, m_level.begin() + e);
    m_level.insert(m_level.begin() + at, levels.begin(), levels.end());
    for (auto& texts : m_text) {
        std::vector<std::string> copy(texts.begin() + k, texts.begin() + e);
        copy.front() += " copy";
        texts.insert(texts.begin() + at, copy.begin(), copy.end());
    }
    // The matrices inside the subtree travel with the copy; the copy joins its parent not assessed.
    const std::vector<Dense> matrices(m_dense.begin() + k, m_dense.begin() + e);
    m_dense.insert(m_dense.begin() + at, matrices.begin(), matrices.end());
    dense(parentRow(at)).insert(siblingIndex(at));
    modified = true;
    renumber();
    return at;
}

bool ReferenceDesign::drop(int source, int target)
{
    if (!valid(source) || !valid(target))
        return false;
    const int e = subtreeEnd(source);
    const bool intoItself = target >= source && target < e;
    const bool alreadyLast = parentRow(source) == target && nextSibling(source) < 0;
    if (intoItself || alreadyLast) {
        renumber();
        return false;
    }
    const int count = e - source;
    const int delta = level(target) + 1 - level(source);
    const bool sameParent = parentRow(source) == target;
    if (sameParent)
        dense(target).moveToEnd(siblingIndex(source));
    else
        dense(parentRow(source)).erase(siblingIndex(source));
    rotate(source, e, size()); // the dragged rows to the end, then out
    std::vector<int> levels(m_level.end() - count, m_level.end());
    m_level.resize(static_cast<std::size_t>(size() - count));
    const int t = target > source ? target - count : target;
    const int at = subtreeEnd(t);
    for (int& l : levels)
        l += delta;
    m_level.insert(m_level.begin() + at, levels.begin(), levels.end());
    for (auto& texts : m_text) {
        std::vector<std::string> block(texts.end() - count, texts.end());
        texts.resize(texts.size() - static_cast<std::size_t>(count));
        texts.insert(texts.begin() + at, block.begin(), block.end());
    }
    std::vector<Dense> block(m_dense.end() - count, m_dense.end());
    m_dense.erase(m_dense.end() - count, m_dense.end());
    m_dense.insert(m_dense.begin() + at, block.begin(), block.end());
    if (!sameParent)
        dense(parentRow(at)).insert(siblingIndex(at));
    modified = true; // deliberately, unlike the drop of old, which left the flag alone
    renumber();
    return true;
}

bool ReferenceDesign::editText(model::TreeId t, int row, const std::string& text)
{
    if (!valid(row))
        return false;
    std::string& old = m_text[static_cast<std::size_t>(model::index(t))][static_cast<std::size_t>(row)];
    if (old == text)
        return false;
    old = text;
    modified = true;
    return true;
}

} // namespace testsupport
