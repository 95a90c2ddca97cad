#pragma once

#include <QChar>

#include <array>

// Unicode case folding, as QString::toCaseFolded does it, of the UTF-16
// units that names in European languages are made of: ASCII, Latin-1,
// Latin Extended-A and -B and the combining marks of decomposed names. Qt
// folds these code point by code point, so a name of them folds unit by
// unit, by a table lookup instead of Qt's few thousand instructions per
// name. The escaped bytes of a name that is no UTF-8 (NameCodec) Qt keeps
// up to the first unit that its folding changes, and makes them U+FFFD
// from there on.
class UnitFolding {
public:
    UnitFolding();

    // The folded unit; 0 where `unit` is not among those.
    char16_t operator()(char16_t unit) const {
        if (unit < latinEnd)
            return table_[unit];
        if (unit >= marksBegin && unit < marksEnd)
            return table_[marksAt + size_t(unit - marksBegin)];
        return 0;
    }

    // Unit after unit of a text, as Qt folds the whole: `changed` tells
    // whether a unit before changed. 0 where the table cannot tell.
    char16_t inText(char16_t unit, bool& changed) const {
        if (unit >= escapedBegin && unit < escapedEnd)
            return changed ? char16_t(QChar::ReplacementCharacter) : unit;
        const char16_t folded = (*this)(unit);
        changed = changed || folded != unit;
        return folded;
    }

private:
    // The ranges the table holds, one after the other.
    static constexpr char16_t latinEnd = 0x0250;   // ASCII to Latin Extended-B
    static constexpr char16_t marksBegin = 0x0300; // combining diacritical marks
    static constexpr char16_t marksEnd = 0x0370;
    static constexpr size_t marksAt = latinEnd;
    static constexpr size_t tableSize = marksAt + (marksEnd - marksBegin);
    // The escaped bytes 0x80 to 0xFF.
    static constexpr char16_t escapedBegin = 0xDC80;
    static constexpr char16_t escapedEnd = 0xDD00;

    using Table = std::array<char16_t, tableSize>;
    static const Table& filledTable();

    const Table& table_;
};
