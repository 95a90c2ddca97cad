#pragma once

#include <QByteArray>
#include <QList>

// The names of the files that the rename jobs move.
namespace benchnames {

enum class Kind {
    // "Artist - Title 000001.mp3": short, ASCII, the same length each.
    Short,
    // As in a collection: 20 to 120 bytes, most near 50, umlauts and "ß",
    // some decomposed (NFD), a few in Latin-1 (no UTF-8), digits in several
    // places. The same names every time.
    Collection,
};

// `count` distinct names, in the natural order in which Tessavo lists them.
QList<QByteArray> fileNames(Kind kind, int count);

} // namespace benchnames
