#include "core/run/LargeAllocations.h"
#include "ui/main/TessavoIcon.h"
#include "ui/main/frm_Main.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

using namespace Qt::StringLiterals;

int main(int argc, char* argv[]) {
    mapLargeAllocationsApart();
    QApplication application(argc, argv);
    QApplication::setApplicationName(u"Tessavo"_s);
    QApplication::setWindowIcon(tessavoIcon());

    // Qt's own buttons and dialogs in German ("Abbrechen", ...).
    QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::German), u"qtbase"_s, u"_"_s,
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);

    frm_Main mainWindow;
    mainWindow.show();
    return QApplication::exec();
}
