#include "ui/id3/Id3Setup.h"

#include "core/rename/MainPrg.h"
#include "ui/rename/frm_ChangeFilename.h"
#include "ui/widgets/NamedControl.h"

#include <QLabel>

using namespace Qt::StringLiterals;

void showReadID3Dialog(frm_ChangeFilename& dialog, MainPrg& mainPrg) {
    const auto label = [&dialog](const QString& name) -> QLabel& {
        return namedControl<QLabel>(dialog, name);
    };
    const auto widget = [&dialog](const QString& name) -> QWidget& {
        return namedControl<QWidget>(dialog, name);
    };

    mainPrg.CurrentOperation = u"ReadID3"_s;
    mainPrg.forgetLastRun();
    dialog.setWindowTitle(u"ID3-Informationen aus MP3 auslesen"_s);
    label(u"Label1"_s).setText(QString());
    widget(u"txt_Suchstring"_s).hide();
    label(u"Label2"_s).setText(u"MP3-Verzeichnis"_s);
    label(u"Label3"_s).setText(QString());
    widget(u"txt_Zielverzeichnis"_s).hide();
    widget(u"cmd_Zielverzeichnis"_s).hide();
    widget(u"Label5"_s).hide();
    widget(u"txt_Step"_s).hide();
    widget(u"Label6"_s).hide();
    widget(u"chk_Leerz"_s).hide();
    widget(u"cmd_Vorschau"_s).hide();

    dialog.exec();

    widget(u"cmd_Vorschau"_s).show();
    widget(u"txt_Suchstring"_s).show();
    widget(u"txt_Zielverzeichnis"_s).show();
    widget(u"cmd_Zielverzeichnis"_s).show();
    label(u"Label2"_s).setText(u"Quellverzeichnis"_s);
    label(u"Label3"_s).setText(u"Zielverzeichnis"_s);
}
