#include "core/fs/NaturalOrder.h"

#include "core/fs/NameCodec.h"
#include "core/run/TwoHalves.h"
#include "core/text/UnitFolding.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace {

// From how many names on they are keyed and sorted in two parts at once.
constexpr qsizetype namesSortedInTwo = 8192;

bool sortedInTwo(qsizetype count) {
    return count >= namesSortedInTwo && std::thread::hardware_concurrency() >= 2;
}

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
    struct Key {
        size_t start;
        quint32 textLength; // a name has a few hundred units at most
        quint32 runsLength;
        qsizetype index;
    };

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

    // Keys names[index], the names before it keyed already.
    void add(qsizetype index) {
        const QString& name = names_[index];
        if (!addKey<Folding::ByTable>(name, index) &&
            !addKey<Folding::ByTableWithEscapes>(name, index))
            addKey<Folding::Done>(name.toCaseFolded(), index);
    }

    const std::vector<Key>& keys() const { return keys_; }

    std::u16string_view text(const Key& key) const {
        return std::u16string_view(buffer_).substr(key.start, key.textLength);
    }

    // Whether name `a` of these keys comes before name `b` of `other`'s.
    bool before(qsizetype a, const SortKeys& other, qsizetype b) const {
        return before(key(a), other, other.key(b));
    }

    bool before(const Key& a, const SortKeys& other, const Key& b) const {
        if (const int order = compareUnits(text(a), other.text(b)); order != 0)
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
        for (const Key& key : keys_)
            shared = commonUnits(first.substr(0, shared), text(key));
        return shared;
    }

    static size_t commonUnits(std::u16string_view a, std::u16string_view b) {
        const size_t limit = std::min(a.size(), b.size());
        size_t i = 0;
        while (i < limit && a[i] == b[i])
            ++i;
        return i;
    }

private:
    // How a name's units are folded as its key is written.
    enum class Folding {
        ByTable,            // fails at a unit beyond the table
        ByTableWithEscapes, // the same for a name that is no UTF-8
        Done,               // the name is folded already
    };

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

    std::u16string_view runs(const Key& key) const {
        return std::u16string_view(buffer_).substr(key.start + key.textLength, key.runsLength);
    }

    const Key& key(qsizetype index) const { return keys_[size_t(index - begin_)]; }

    const QStringList& names_;
    const qsizetype begin_;
    const UnitFolding fold_;
    std::u16string buffer_;
    std::u16string runs_;
    std::vector<Key> keys_;
};

// A key as the sort moves it: eight units of its text from where the texts
// it is sorted among begin to differ, packed so that comparing the two
// numbers orders like comparing those units. A text that ends early is
// padded with zeros, the lowest unit, so unequal heads order their keys
// correctly. Names of one directory often share many more than eight units
// (an artist, an album): keys whose heads tie are sorted again by their next
// eight units, so that each key's text is read once per eight units instead
// of at every comparison.
struct Entry {
    quint64 head[2];
    const SortKeys* keys;
    const SortKeys::Key* key;

    std::u16string_view text() const { return keys->text(*key); }

    void headFrom(size_t offset) {
        const std::u16string_view units = text();
        for (quint64& packed : head) {
            packed = 0;
            for (size_t i = offset; i < offset + 4; ++i)
                packed = (packed << 16) | (i < units.size() ? units[i] : 0);
            offset += 4;
        }
    }

    bool headBefore(const Entry& other) const {
        return head[0] != other.head[0] ? head[0] < other.head[0] : head[1] < other.head[1];
    }
    bool headEquals(const Entry& other) const {
        return head[0] == other.head[0] && head[1] == other.head[1];
    }
};

// Sorts entries whose texts are alike before `offset` and whose heads hold
// their units from there.
void sortFrom(std::vector<Entry>::iterator first, std::vector<Entry>::iterator last,
              size_t offset) {
    std::sort(first, last, [](const Entry& a, const Entry& b) { return a.headBefore(b); });
    const size_t next = offset + 8;
    for (auto tie = first; tie != last;) {
        auto end = std::find_if(tie + 1, last, [&](const Entry& e) { return !e.headEquals(*tie); });
        if (end - tie > 1) {
            // Texts that all end within these heads are alike: the rest of
            // their keys decides.
            if (std::all_of(tie, end,
                            [next](const Entry& e) { return e.key->textLength <= next; })) {
                std::sort(tie, end, [](const Entry& a, const Entry& b) {
                    return a.keys->before(*a.key, *b.keys, *b.key);
                });
            } else {
                for (auto entry = tie; entry != end; ++entry)
                    entry->headFrom(next);
                sortFrom(tie, end, next);
            }
        }
        tie = end;
    }
}

void addEntries(const SortKeys& keys, size_t offset, std::vector<Entry>& entries) {
    for (const SortKeys::Key& key : keys.keys()) {
        entries.push_back({{}, &keys, &key});
        entries.back().headFrom(offset);
    }
}

std::vector<qsizetype> indicesOf(const std::vector<Entry>& sorted, std::vector<qsizetype> order) {
    for (const Entry& entry : sorted)
        order.push_back(entry.key->index);
    return order;
}

// How many units every text of the parts begins with alike.
size_t sharedBeginning(const std::vector<const SortKeys*>& parts) {
    const std::u16string_view first = parts.front()->text(parts.front()->keys().front());
    size_t shared = first.size();
    for (const SortKeys* part : parts) {
        shared = std::min({shared, part->sharedBeginning(),
                           SortKeys::commonUnits(first, part->text(part->keys().front()))});
    }
    return shared;
}

// A head that about half of the parts' `count` keys come before, from a
// sample of a few hundred.
Entry sampledMiddle(const std::vector<const SortKeys*>& parts, size_t count, size_t offset) {
    const size_t stride = count / 256 + 1;
    std::vector<Entry> samples;
    size_t next = 0; // the next sample's place in the next part
    for (const SortKeys* part : parts) {
        const std::vector<SortKeys::Key>& keys = part->keys();
        for (; next < keys.size(); next += stride) {
            samples.push_back({{}, part, &keys[next]});
            samples.back().headFrom(offset);
        }
        next -= keys.size();
    }
    const auto middle = samples.begin() + qsizetype(samples.size() / 2);
    std::nth_element(samples.begin(), middle, samples.end(),
                     [](const Entry& a, const Entry& b) { return a.headBefore(b); });
    return *middle;
}

// The indices of the parts' names in natural order. Many names are split at
// a head sampled from all parts into those before it and the rest, which are
// sorted at once.
std::vector<qsizetype> orderOf(std::vector<const SortKeys*> parts) {
    std::erase_if(parts, [](const SortKeys* part) { return part->keys().empty(); });
    size_t count = 0;
    for (const SortKeys* part : parts)
        count += part->keys().size();
    std::vector<qsizetype> order;
    order.reserve(count);
    if (count == 0)
        return order;
    const size_t shared = sharedBeginning(parts);
    std::vector<Entry> before;
    before.reserve(count);
    for (const SortKeys* part : parts)
        addEntries(*part, shared, before);
    if (!sortedInTwo(qsizetype(count))) {
        sortFrom(before.begin(), before.end(), shared);
        return indicesOf(before, std::move(order));
    }
    const Entry middle = sampledMiddle(parts, count, shared);
    const auto border = std::partition(before.begin(), before.end(),
                                       [&](const Entry& e) { return e.headBefore(middle); });
    std::vector<Entry> rest(border, before.end());
    before.erase(border, before.end());
    atOnce([&] { sortFrom(before.begin(), before.end(), shared); },
           [&] { sortFrom(rest.begin(), rest.end(), shared); });
    return indicesOf(rest, indicesOf(before, std::move(order)));
}

} // namespace

bool naturallyBefore(const QString& a, const QString& b) {
    const QStringList names{a, b};
    const SortKeys keys(names, 0, names.size());
    return keys.before(0, keys, 1);
}

std::vector<qsizetype> naturalOrder(const QStringList& names) {
    if (!sortedInTwo(names.size())) {
        const SortKeys keys(names, 0, names.size());
        return orderOf({&keys});
    }
    // Making the keys costs about as much as sorting them: the halves are
    // keyed at once.
    const qsizetype middle = names.size() / 2;
    std::optional<SortKeys> first;
    std::optional<SortKeys> second;
    atOnce([&] { first.emplace(names, 0, middle); },
           [&] { second.emplace(names, middle, names.size()); });
    return orderOf({&*first, &*second});
}

struct NaturalOrdering::Keys : SortKeys {
    using SortKeys::SortKeys;
};

// The buffers grow as names come, as a string or a vector does.
NaturalOrdering::NaturalOrdering() : keys_(std::make_unique<Keys>(names_, 0, 0)) {}

NaturalOrdering::~NaturalOrdering() = default;

void NaturalOrdering::addEncoded(QByteArrayView entries) {
    for (qsizetype at = 0; at < entries.size();) {
        const QByteArrayView bytes(entries.constData() + at);
        names_.append(decodeFileName(bytes));
        keys_->add(names_.size() - 1);
        at += bytes.size() + 1;
    }
}

std::vector<qsizetype> NaturalOrdering::order() const {
    return orderOf({keys_.get()});
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
