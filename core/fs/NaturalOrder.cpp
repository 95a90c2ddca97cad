#include "core/fs/NaturalOrder.h"

#include "core/fs/NameCodec.h"
#include "core/text/UnitFolding.h"

#include <algorithm>
#include <cstring>
#include <future>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace {

// From how many names on the order is found in two halves at once.
constexpr qsizetype namesSortedInHalves = 8192;

bool isDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// Every name is prepared once into one shared buffer, so that a comparison
// is a plain comparison of code units without allocating.
//
// The text part is the case-folded name with each run of digits rewritten as
// '0', the run's length without leading zeros (two units), then those
// digits: '0' sorts against other characters exactly as any digit would, and
// a shorter number sorts first. The runs part holds each run's full length,
// so that on a tie fewer leading zeros come first. The encoded bytes decide
// last, which makes the order total.
class SortKeys {
public:
    // The keys of names[begin] up to names[end - 1].
    SortKeys(const QStringList& names, qsizetype begin, qsizetype end)
        : names_(names), begin_(begin) {
        keys_.reserve(size_t(end - begin));
        // A digit run of length L takes at most L + 4 units (marker, length,
        // digits, its entry among the runs), and runs alternate with other
        // units, so a key holds at most 3 units per unit of its name plus 2:
        // the buffer is allocated once. Case folding can lengthen a name
        // beyond ASCII; the buffer then simply grows.
        size_t units = 0;
        for (qsizetype i = begin; i < end; ++i)
            units += 3 * size_t(names[i].size()) + 2;
        buffer_.reserve(units);
        for (qsizetype i = begin; i < end; ++i)
            add(i);
    }

    // Sorts its names into natural order.
    void sort();

    // The indices of its names in natural order, once sorted.
    std::vector<qsizetype> sortedIndices() const;

    // The indices of both keys' names in natural order, both sorted.
    std::vector<qsizetype> mergedWith(const SortKeys& other) const;

    // Whether name `a` of these keys comes before name `b` of `other`'s.
    bool before(qsizetype a, const SortKeys& other, qsizetype b) const {
        return before(key(a), other, other.key(b), 0);
    }

private:
    struct Key {
        size_t start;
        quint32 textLength; // a name has a few hundred units at most
        quint32 runsLength;
        qsizetype index;
    };

    // A key as the sort moves it: its first eight units behind the part
    // that all texts share, packed so that comparing the two numbers orders
    // like comparing those units. A text that ends early is padded with
    // zeros, the lowest unit, so unequal heads order their keys correctly
    // and only equal heads need the full comparison. Names of one directory
    // mostly differ within those units, and the sort then never leaves this
    // small array for the keys in the buffer.
    struct Entry {
        quint64 head[2];
        Key key;
    };

    // How a name's units are folded as its key is written.
    enum class Folding {
        ByTable,            // fails at a unit beyond the table
        ByTableWithEscapes, // the same for a name that is no UTF-8
        Done,               // the name is folded already
    };

    void add(qsizetype index) {
        const QString& name = names_[index];
        if (!addKey<Folding::ByTable>(name, index) &&
            !addKey<Folding::ByTableWithEscapes>(name, index))
            addKey<Folding::Done>(name.toCaseFolded(), index);
    }

    // Appends the key of `name`, or fails at a unit it cannot fold.
    template <Folding folding> bool addKey(const QString& name, qsizetype index) {
        const auto* units = reinterpret_cast<const char16_t*>(name.utf16());
        const size_t size = size_t(name.size());
        const size_t start = buffer_.size();
        // Written through a pointer into room for the longest key, then cut
        // to what was written: appending unit by unit cost more than the
        // rest of the key.
        buffer_.resize(start + 3 * size + 2);
        char16_t* const text = buffer_.data() + start;
        char16_t* out = text;
        runs_.clear();
        [[maybe_unused]] bool changed = false;
        for (size_t i = 0; i < size;) {
            if (!isDigit(units[i])) {
                const char16_t unit = units[i++];
                char16_t folded = unit;
                if constexpr (folding == Folding::ByTable)
                    folded = fold_(unit);
                else if constexpr (folding == Folding::ByTableWithEscapes)
                    folded = fold_.inText(unit, changed);
                if (folding != Folding::Done && folded == 0) {
                    buffer_.resize(start);
                    return false;
                }
                *out++ = folded;
                continue;
            }
            const size_t first = i;
            while (i < size && isDigit(units[i]))
                ++i;
            size_t significant = first;
            while (significant + 1 < i && units[significant] == u'0')
                ++significant;
            const auto length = quint32(i - significant);
            *out++ = u'0';
            *out++ = char16_t(length >> 16);
            *out++ = char16_t(length & 0xFFFF);
            out = std::copy(units + significant, units + i, out);
            runs_.push_back(char16_t(std::min<size_t>(i - first, 0xFFFF)));
        }
        const size_t textLength = size_t(out - text);
        out = std::copy(runs_.begin(), runs_.end(), out);
        buffer_.resize(start + size_t(out - text));
        keys_.push_back({start, quint32(textLength), quint32(runs_.size()), index});
        return true;
    }

    // Names in one directory often share long beginnings, which are
    // skipped four code units at a time.
    static int compareUnits(std::u16string_view a, std::u16string_view b) {
        const size_t common = std::min(a.size(), b.size());
        size_t i = 0;
        for (quint64 x, y; i + 4 <= common; i += 4) {
            std::memcpy(&x, a.data() + i, sizeof x);
            std::memcpy(&y, b.data() + i, sizeof y);
            if (x != y)
                break;
        }
        for (; i < common; ++i)
            if (a[i] != b[i])
                return a[i] < b[i] ? -1 : 1;
        return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
    }

    std::u16string_view text(const Key& key) const {
        return std::u16string_view(buffer_).substr(key.start, key.textLength);
    }
    std::u16string_view runs(const Key& key) const {
        return std::u16string_view(buffer_).substr(key.start + key.textLength, key.runsLength);
    }

    const Key& key(qsizetype index) const { return keys_[size_t(index - begin_)]; }

    // Whether the heads of these keys' entries and of `other`'s follow the
    // same beginning, so that they order the names across both.
    bool headsCompareWith(const SortKeys& other) const {
        return shared_ == other.shared_ &&
               (shared_ == 0 || text(keys_.front()).substr(0, shared_) ==
                                    other.text(other.keys_.front()).substr(0, shared_));
    }

    // Whether entry `a` of these keys comes before entry `b` of `other`'s.
    bool before(const Entry& a, const SortKeys& other, const Entry& b, bool headsCompare) const {
        if (!headsCompare)
            return before(a.key, other, b.key, 0);
        if (a.head[0] != b.head[0])
            return a.head[0] < b.head[0];
        if (a.head[1] != b.head[1])
            return a.head[1] < b.head[1];
        return before(a.key, other, b.key, shared_);
    }

    // `shared` units at the start of both texts are known to be equal.
    bool before(const Key& a, const SortKeys& other, const Key& b, size_t shared) const {
        if (const int order = compareUnits(text(a).substr(shared), other.text(b).substr(shared));
            order != 0)
            return order < 0;
        if (const int order = compareUnits(runs(a), other.runs(b)); order != 0)
            return order < 0;
        return encodeFileName(names_[a.index]) < encodeFileName(other.names_[b.index]);
    }

    // How many units every text begins with alike.
    size_t sharedBeginning() const {
        if (keys_.empty())
            return 0;
        const std::u16string_view first = text(keys_.front());
        size_t shared = first.size();
        for (const Key& key : keys_) {
            const std::u16string_view other = text(key);
            const size_t limit = std::min(shared, other.size());
            size_t i = 0;
            while (i < limit && first[i] == other[i])
                ++i;
            shared = i;
        }
        return shared;
    }

    quint64 packedUnits(const Key& key, size_t from) const {
        const std::u16string_view units = text(key);
        quint64 packed = 0;
        for (size_t i = from; i < from + 4; ++i)
            packed = (packed << 16) | (i < units.size() ? units[i] : 0);
        return packed;
    }

    const QStringList& names_;
    const qsizetype begin_;
    const UnitFolding fold_;
    std::u16string buffer_;
    std::u16string runs_;
    std::vector<Key> keys_;
    // Once sorted: how many units all texts begin with alike, and the keys
    // in natural order.
    size_t shared_ = 0;
    std::vector<Entry> sorted_;
};

void SortKeys::sort() {
    shared_ = sharedBeginning();
    sorted_.reserve(keys_.size());
    for (const Key& key : keys_)
        sorted_.push_back({{packedUnits(key, shared_), packedUnits(key, shared_ + 4)}, key});
    std::sort(sorted_.begin(), sorted_.end(),
              [this](const Entry& a, const Entry& b) { return before(a, *this, b, true); });
}

std::vector<qsizetype> SortKeys::sortedIndices() const {
    std::vector<qsizetype> order;
    order.reserve(sorted_.size());
    for (const Entry& entry : sorted_)
        order.push_back(entry.key.index);
    return order;
}

// Merged by the entries' heads where they compare, as the sort did: the
// full keys, scattered in two buffers, are then rarely touched. The front
// half of the order is merged on a thread of its own and the back half here,
// from the end; ties take this half's entry first in both.
std::vector<qsizetype> SortKeys::mergedWith(const SortKeys& other) const {
    const bool headsCompare = headsCompareWith(other);
    const size_t count = sorted_.size() + other.sorted_.size();
    const size_t frontCount = count / 2;
    std::vector<qsizetype> order(count);
    std::future<void> front = std::async(std::launch::async, [&] {
        auto mine = sorted_.begin();
        auto others = other.sorted_.begin();
        for (size_t place = 0; place < frontCount; ++place) {
            if (mine == sorted_.end() || (others != other.sorted_.end() &&
                                          other.before(*others, *this, *mine, headsCompare)))
                order[place] = (others++)->key.index;
            else
                order[place] = (mine++)->key.index;
        }
    });
    auto mine = sorted_.rbegin();
    auto others = other.sorted_.rbegin();
    for (size_t place = count; place > frontCount; --place) {
        if (others == other.sorted_.rend() ||
            (mine != sorted_.rend() && other.before(*others, *this, *mine, headsCompare)))
            order[place - 1] = (mine++)->key.index;
        else
            order[place - 1] = (others++)->key.index;
    }
    front.get();
    return order;
}

} // namespace

bool naturallyBefore(const QString& a, const QString& b) {
    const QStringList names{a, b};
    const SortKeys keys(names, 0, names.size());
    return keys.before(0, keys, 1);
}

std::vector<qsizetype> naturalOrder(const QStringList& names) {
    const qsizetype count = names.size();
    if (count < namesSortedInHalves || std::thread::hardware_concurrency() < 2) {
        SortKeys keys(names, 0, count);
        keys.sort();
        return keys.sortedIndices();
    }
    // Making the keys costs as much as sorting them: the halves are keyed
    // and sorted at once, the second on a thread of its own, and merged.
    const qsizetype middle = count / 2;
    std::optional<SortKeys> secondKeys;
    std::future<void> secondHalf =
        std::async(std::launch::async, [&] { secondKeys.emplace(names, middle, count).sort(); });
    SortKeys firstKeys(names, 0, middle);
    firstKeys.sort();
    secondHalf.get();
    return firstKeys.mergedWith(*secondKeys);
}

void sortNaturally(QStringList& names) {
    const std::vector<qsizetype> order = naturalOrder(names);
    QStringList sorted;
    sorted.reserve(names.size());
    // Moving leaves each name's reference count alone: no write to the
    // scattered string data.
    for (const qsizetype index : order)
        sorted.append(std::move(names[index]));
    names = std::move(sorted);
}
