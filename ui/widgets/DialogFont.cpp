#include "ui/widgets/DialogFont.h"

#include <QApplication>

using namespace Qt::StringLiterals;

QFont dialogFont() {
    QFont font = QApplication::font();
    // Liberation Sans is metric-compatible with Arial; fontconfig also maps
    // "Arial" to it. Missing both, the default family stays.
    font.setFamilies({u"Arial"_s, u"Liberation Sans"_s, QApplication::font().family()});
    font.setPointSizeF(8.25);
    return font;
}
