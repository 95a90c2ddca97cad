#include "ui/main/frm_Information.h"

#include "ui/widgets/DialogFont.h"
#include "ui/widgets/Twips.h"

#include <QLabel>

using namespace Qt::StringLiterals;

frm_Information::frm_Information(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(u"frm_Information"_s);
    setWindowTitle(u"Information"_s);
    setFont(dialogFont());
    resize(twipsToPixels(4680), twipsToPixels(3555));

    auto* label = new QLabel(this);
    label->setObjectName(u"Label1"_s);
    // Plain text keeps the runs of blanks that push each sentence onto a new line.
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setText(caption());
    label->setGeometry(twipsRect(120, 240, 4335, 2775));
}

QString frm_Information::caption() {
    return u"Diese Programm wurde von mir als kleine Toolbox gestaltet, um Dateinamen einfach "
           u"verändern zu können."_s +
           QString(19, u' ') +
           u"Sie werden hierbei von einem Quellverzeichnis eingelesen, der Name wird "
           u"entsprechend den Vorgaben verändert und anschliessend werden die Dateien in ein "
           u"Zielverzeichnis verschoben."_s +
           QString(72, u' ') +
           u"Die Nummerierung erfolgt normalerweise 2-stellig, wenn die Startnummer mit Null "
           u"beginnt, wird dreistellig nummeriert."_s +
           QString(107, u' ') +
           u"Besonders bei der Umbenennung vieler mp3-Files können die Funktionen wie "
           u"\"Laufende Nummer erzeugen\" oder \"Text tauschen/hinzufügen/löschen\" erheblich "
           u"Arbeit sparen."_s;
}
