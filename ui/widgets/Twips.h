#pragma once

#include <QRect>

// Window layouts are given in twips, 15 to a logical pixel.
constexpr int twipsToPixels(int twips) {
    return twips / 15;
}

constexpr QRect twipsRect(int x, int y, int width, int height) {
    return QRect(twipsToPixels(x), twipsToPixels(y), twipsToPixels(width), twipsToPixels(height));
}
