#include "core/concat/HelpText.h"

using namespace Qt::StringLiterals;

Message helpMessage() {
    // Each line feed comes before its carriage return.
    const QString text =
        u"Dieses Programm dient dazu, mehrere Dateien zusammenzukopieren, "_s
        u"so dass als Ergebnis eine einzige grosse Datei ausgegeben wird."_s
        u"\n\r\n\r"_s
        u"Im Automatikmodus ist hierzu lediglich die erste Inputdatei auszuwählen "_s
        u"und anschließend auf START zu drücken. Sollen weniger als 4 Dateien aneinandergefügt "_s
        u"werden, "_s
        u"so ist z.B. bei Datei 4 der Wert 'Automatisch' zu löschen. Im manuellen Modus sind die "_s
        u"Inputdateien aller "_s
        u"Eingangsverzeichnisse auszuwählen und anschließend der Start-Button zu drücken."_s;
    return Message(text, u"Information"_s);
}
