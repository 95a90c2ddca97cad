#include "core/history/HistoryText.h"

#include "core/fs/FailureReason.h"
#include "core/fs/NameCodec.h"

#include <QDateTime>
#include <QLocale>

using namespace Qt::StringLiterals;

namespace {

QString number(qsizetype value) {
    return QLocale(QLocale::German).toString(value);
}

QString directoryLine(const QString& label, const QString& directory) {
    return label + u": "_s +
           (directory.isEmpty() ? u"(Arbeitsverzeichnis)"_s : displayFileName(directory));
}

} // namespace

FsError historyWriteFailure(const FsError& error) {
    FsError failure = error;
    failure.cause = u"Der Verlauf des Laufs kann nicht geschrieben werden, darum wurde diese "
                    u"Datei nicht umbenannt.\n"_s +
                    u"Verlauf: "_s + displayFileName(error.path) + u'\n' + failureReason(error);
    return failure;
}

QString runNotStartedText(const QString& historyDirectory, const FsError& error) {
    return u"Der Lauf wurde nicht begonnen: Sein Verlauf kann nicht geschrieben werden, und "
           u"ohne ihn ließe er sich nicht rückgängig machen. Keine Datei wurde umbenannt.\n"_s +
           directoryLine(u"Verlauf"_s, historyDirectory) + u'\n' + failureReason(error);
}

QString runTimeText(qint64 startedMs) {
    return QDateTime::fromMSecsSinceEpoch(startedMs).toLocalTime().toString(
        u"dd.MM.yyyy HH:mm:ss"_s);
}

QString operationText(const RunHeader& header) {
    return header.moveBack ? header.operation + u" mit MoveBack"_s : header.operation;
}

QString stateText(RunState state) {
    switch (state) {
    case RunState::Running:
        return u"läuft"_s;
    case RunState::Interrupted:
    case RunState::Kept:
        return u"unterbrochen"_s;
    case RunState::Finished:
        return u"beendet"_s;
    case RunState::Undone:
        return u"rückgängig gemacht"_s;
    case RunState::PartlyUndone:
        return u"teilweise rückgängig gemacht"_s;
    case RunState::Unusable:
        return u"unlesbar"_s;
    }
    return {};
}

QString goneReason() {
    return u"Die Datei ist nicht mehr dort, wohin der Lauf sie gebracht hat."_s;
}

QString replacedReason() {
    return u"An ihrer Stelle liegt jetzt eine andere Datei."_s;
}

QString takenReason() {
    return u"Den früheren Namen trägt jetzt eine andere Datei."_s;
}

QString otherVolumeReason() {
    return u"Das Verzeichnis liegt nicht mehr auf dem Datenträger, auf dem der Lauf die Datei "
           u"umbenannt hat."_s;
}

QString interruptedRunText() {
    return u"Ein Lauf wurde unterbrochen, bevor er zu Ende war."_s;
}

QString interruptedRunDetails(const RunHeader& header, qsizetype moved, qsizetype files,
                              bool underTemporaryName) {
    QString text = u"Vorgang: "_s + operationText(header) + u'\n' +
                   directoryLine(u"Quellverzeichnis"_s, header.sourceDir) + u'\n' +
                   directoryLine(u"Zielverzeichnis"_s, header.targetDir) + u'\n' + u"Begonnen: "_s +
                   runTimeText(header.startedMs) + u'\n' +
                   u"Umbenannt: %1 von %2 Dateien"_s.arg(number(moved), number(files)) +
                   u"\n\n„Rückgängig machen“ gibt jeder Datei den Namen und den Ort von vor dem "
                   u"Lauf zurück. „Behalten“ lässt die Dateien, wie sie jetzt sind."_s;
    if (underTemporaryName)
        text += u" Eine Datei unter einem vorläufigen Namen „….tessavo-…“ bekommt in beiden "
                u"Fällen ihren alten Namen zurück."_s;
    return text;
}

QString unusableJournalText(const QString& path, bool otherVersion) {
    return (otherVersion
                ? u"Ein Eintrag im Verlauf stammt von einer anderen Version von Tessavo und kann "
                  u"nicht gelesen werden."_s
                : u"Ein Eintrag im Verlauf ist beschädigt und kann nicht gelesen werden."_s) +
           u" Tessavo folgt ihm nicht und hat keine Datei umbenannt. Der Eintrag liegt jetzt "
           u"unter:\n"_s +
           displayFileName(path);
}

QString damagedJournalText(const QString& path) {
    return u"Der Verlauf dieses Laufs ist beschädigt. Tessavo folgt ihm nicht und benennt keine "
           u"Datei zurück.\nVerlauf: "_s +
           displayFileName(path);
}

QString runHeldElsewhereText() {
    return u"An diesem Lauf arbeitet gerade ein anderes Tessavo-Fenster. Er kann erst danach "
           u"rückgängig gemacht werden."_s;
}

QString newerRunMovedText(const RunHeader& newer) {
    return u"Dieser Lauf kann nicht rückgängig gemacht werden: Der spätere Lauf vom %1 (%2) hat "
           u"Dateien dieses Laufs danach noch einmal umbenannt. Machen Sie zuerst jenen Lauf "
           u"rückgängig."_s.arg(runTimeText(newer.startedMs), operationText(newer));
}

QString nothingLeftToUndoText() {
    return u"Dieser Lauf ist schon rückgängig gemacht."_s;
}
