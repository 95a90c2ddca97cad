#pragma once

#include <QStringList>

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
