#include "platform/NaturalOrder.h"

#include "platform/NameCodec.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// -1, 0 or 1 comparing two case-folded names: digit runs by value (a run
// with fewer leading zeros first when the values are equal), everything
// else by code unit.
int compareFolded(QStringView a, QStringView b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    int zerosTieBreak = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            qsizetype endA = i;
            qsizetype endB = j;
            while (endA < a.size() && isDigit(a[endA]))
                ++endA;
            while (endB < b.size() && isDigit(b[endB]))
                ++endB;
            qsizetype startA = i;
            qsizetype startB = j;
            while (startA + 1 < endA && a[startA] == u'0')
                ++startA;
            while (startB + 1 < endB && b[startB] == u'0')
                ++startB;
            const qsizetype lengthA = endA - startA;
            const qsizetype lengthB = endB - startB;
            if (lengthA != lengthB)
                return lengthA < lengthB ? -1 : 1;
            const int digits = a.mid(startA, lengthA).compare(b.mid(startB, lengthB));
            if (digits != 0)
                return digits < 0 ? -1 : 1;
            if (zerosTieBreak == 0 && (endA - i) != (endB - j))
                zerosTieBreak = (endA - i) < (endB - j) ? -1 : 1;
            i = endA;
            j = endB;
            continue;
        }
        if (a[i] != b[j])
            return a[i] < b[j] ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size() || j < b.size())
        return i < a.size() ? 1 : -1;
    return zerosTieBreak;
}

struct SortKey {
    QString folded;
    QByteArray bytes;
};

bool keyBefore(const SortKey& a, const SortKey& b)
{
    const int order = compareFolded(a.folded, b.folded);
    return order != 0 ? order < 0 : a.bytes < b.bytes;
}

SortKey keyOf(const QString& name)
{
    return {name.toCaseFolded(), encodeFileName(name)};
}

} // namespace

bool naturallyBefore(const QString& a, const QString& b)
{
    return keyBefore(keyOf(a), keyOf(b));
}

void sortNaturally(QStringList& names)
{
    std::vector<SortKey> keys;
    keys.reserve(size_t(names.size()));
    for (const QString& name : names)
        keys.push_back(keyOf(name));
    std::vector<qsizetype> order(size_t(names.size()));
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(),
              [&](qsizetype a, qsizetype b) { return keyBefore(keys[size_t(a)], keys[size_t(b)]); });
    QStringList sorted;
    sorted.reserve(names.size());
    for (const qsizetype index : order)
        sorted.append(names[index]);
    names = std::move(sorted);
}
