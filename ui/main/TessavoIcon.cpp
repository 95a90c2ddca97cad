#include "ui/main/TessavoIcon.h"

using namespace Qt::StringLiterals;

// Resources of a static library are registered only when asked for.
static void initResources() {
    Q_INIT_RESOURCE(tessavo);
}

QIcon tessavoIcon() {
    initResources();
    QIcon icon;
    for (const QString& size : {u"32"_s, u"64"_s, u"128"_s})
        icon.addFile(u":/icons/tessavo-%1.png"_s.arg(size));
    return icon;
}
