#pragma once

#include <QByteArrayView>
#include <QStringList>

#include <memory>
#include <vector>

// Sorts names in natural order: runs of ASCII digits compare by value,
// everything else without regard to letter case, and ties are broken by the
// encoded bytes, so the order is total and the same on every file system.
void sortNaturally(QStringList& names);

// The indices of `names` in natural order, for a caller that keeps
// something beside each name.
std::vector<qsizetype> naturalOrder(const QStringList& names);

// True when a comes before b in natural order.
bool naturallyBefore(const QString& a, const QString& b);

// Names put in natural order as a listing reads them: each is decoded and
// keyed when it is added, so that the listing may do that while another
// thread waits for the next entries of its directory.
class NaturalOrdering {
public:
    NaturalOrdering();
    ~NaturalOrdering();
    NaturalOrdering(const NaturalOrdering&) = delete;
    NaturalOrdering& operator=(const NaturalOrdering&) = delete;

    // Adds the names in `entries`, each ended by a NUL, as they are on the
    // disk.
    void addEncoded(QByteArrayView entries);

    // The names added, decoded, in the order they came; the caller may take
    // them once it has their order.
    QStringList& names() { return names_; }

    // The indices of the names in natural order.
    std::vector<qsizetype> order() const;

private:
    struct Keys;
    QStringList names_;
    std::unique_ptr<Keys> keys_;
};
