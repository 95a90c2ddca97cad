#include "core/text/UnitFolding.h"

#include <QChar>

UnitFolding::UnitFolding() : table_(filledTable()) {}

// Filled from Qt's own folding of single characters once, a lookup each, so
// that a process that sorts a few names hardly notices.
const UnitFolding::Table& UnitFolding::filledTable() {
    static const Table folded = [] {
        Table units{};
        const auto fill = [&units](char16_t first, char16_t end, size_t at) {
            for (char16_t unit = first; unit < end; ++unit)
                units[at + size_t(unit - first)] = char16_t(QChar::toCaseFolded(char32_t(unit)));
        };
        fill(0, latinEnd, 0);
        fill(marksBegin, marksEnd, marksAt);
        return units;
    }();
    return folded;
}
