#include "core/text/UnitFolding.h"

#include <QString>

UnitFolding::UnitFolding() : table_(filledTable()) {}

// Filled from Qt's own folding once, so that both always agree.
const UnitFolding::Table& UnitFolding::filledTable() {
    static const Table folded = [] {
        Table units{};
        const auto fill = [&units](char16_t first, char16_t end, size_t at) {
            for (char16_t unit = first; unit < end; ++unit) {
                const QString one = QString(QChar(unit)).toCaseFolded();
                units[at + size_t(unit - first)] = one.size() == 1 ? one[0].unicode() : 0;
            }
        };
        fill(0, latinEnd, 0);
        fill(marksBegin, marksEnd, marksAt);
        return units;
    }();
    return folded;
}
