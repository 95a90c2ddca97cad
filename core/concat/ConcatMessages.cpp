#include "core/concat/ConcatMessages.h"

#include "core/fs/FailureReason.h"
#include "core/fs/NameCodec.h"

using namespace Qt::StringLiterals;

namespace concatMessages {

namespace {

const QString errorTitle = u"Fehlermeldung!"_s;

Message failure(const QString& text) {
    return Message(text, errorTitle, MessageIcon::Critical);
}

QString shown(const QString& path) {
    return u"\n"_s + displayFileName(path) + u"\n"_s;
}

QString passNumber(qint32 passNo) {
    return QString::number(passNo);
}

QString untouchedPass(qint32 passNo) {
    return u"\nDie Bearbeitung wurde vor Durchlauf Nr. "_s + passNumber(passNo) +
           u" beendet; keine Datei dieses Durchlaufs wurde angetastet."_s;
}

QString stoppedBeforeMoving(qint32 passNo) {
    return u"\nDie Bearbeitung wurde in Durchlauf Nr. "_s + passNumber(passNo) +
           u" beendet. Es wurde keine Ausgabedatei angelegt, und die Eingabedateien dieses "
           u"Durchlaufs sind nicht verschoben."_s;
}

} // namespace

QString progressText(qint32 passNo) {
    return u"Bearbeitung läuft!  "_s + u"Durchlauf Nr. "_s + passNumber(passNo);
}

Message missingFiles() {
    return Message(u"Bitte wählen Sie die Dateien aus!"_s, errorTitle);
}

Message confirmation(qint32 passNo, qint32 slotCount) {
    const QString count = QString::number(slotCount);
    return Message(passNumber(passNo - 1) + u" * "_s + count + u" Dateien zusammengefasst."_s +
                       u"\n"_s + u"Nächste "_s + count + u" Dateien zusammenfassen?"_s,
                   QString(), MessageIcon::Information, MessageButtons::OkCancel);
}

Message finished(const QString& remark) {
    return Message(u"Erledigt!"_s + u"\n"_s + u"Alle Dateien zusammengefasst."_s + u"\n\n"_s +
                       remark,
                   QString(), MessageIcon::Information);
}

QString remainingFilesRemark() {
    return u"Achtung! Es sind noch Dateien unbearbeitet."_s;
}

Message sameDirectory(int firstSlot, int secondSlot, const QString& directory) {
    return failure(u"Datei "_s + QString::number(firstSlot) + u" und Datei "_s +
                   QString::number(secondSlot) + u" liegen im selben Verzeichnis:"_s +
                   shown(directory) +
                   u"Bitte wählen Sie für jede Datei ein eigenes Verzeichnis aus!"_s);
}

Message rootDirectory(const QString& directory) {
    return failure(u"Die erste Datei liegt direkt im Wurzelverzeichnis"_s + shown(directory) +
                   u"Daneben lassen sich die Verzeichnisse „Out“ und „Move“ nicht anlegen. "
                   u"Bitte wählen Sie eine Datei in einem Unterverzeichnis aus!"_s);
}

Message workDirectoryFailed(const FsError& error, bool nameTaken) {
    const QString why =
        nameTaken ? u"Unter diesem Namen gibt es schon etwas anderes als ein Verzeichnis."_s
                  : failureReason(error);
    return failure(u"Das Verzeichnis"_s + shown(error.path) +
                   u"lässt sich nicht anlegen oder nicht benutzen. "_s + why +
                   u"\nEs wurde keine Datei angetastet."_s);
}

Message listingFailed(const FsError& error) {
    return failure(u"Das Verzeichnis"_s + shown(error.path) + u"konnte nicht gelesen werden. "_s +
                   failureReason(error) + u"\nEs wurde keine Datei angetastet."_s);
}

Message outputExists(const QString& outputPath, qint32 passNo) {
    return failure(u"Die Ausgabedatei"_s + shown(outputPath) +
                   u"gibt es schon. Sie wird nicht überschrieben."_s + untouchedPass(passNo));
}

Message moveTargetExists(const QString& targetPath, qint32 passNo) {
    return failure(u"Im Verschiebeverzeichnis gibt es die Datei"_s + shown(targetPath) +
                   u"schon. Sie wird nicht überschrieben."_s + untouchedPass(passNo));
}

Message moveTargetTwice(const QString& targetPath, qint32 passNo) {
    return failure(u"Zwei Eingabedateien dieses Durchlaufs müssten beide nach"_s +
                   shown(targetPath) + u"verschoben werden."_s + untouchedPass(passNo));
}

Message readFailed(const FsError& error, qint32 passNo) {
    return failure(u"Die Datei"_s + shown(error.path) + u"konnte nicht gelesen werden. "_s +
                   failureReason(error) + stoppedBeforeMoving(passNo));
}

Message writeFailed(const FsError& error, qint32 passNo) {
    return failure(u"Die Ausgabedatei"_s + shown(error.path) +
                   u"konnte nicht geschrieben werden. "_s + failureReason(error) +
                   stoppedBeforeMoving(passNo));
}

Message outputNotFlushed(const FsError& error, qint32 passNo) {
    return failure(u"Die Ausgabedatei"_s + shown(error.path) +
                   u"ist vollständig geschrieben, doch ihr Verzeichnis ließ sich nicht auf den "
                   u"Datenträger schreiben (Fehlernummer "_s +
                   QString::number(error.systemError) +
                   u").\nDie Bearbeitung wurde in Durchlauf Nr. "_s + passNumber(passNo) +
                   u" beendet; die Eingabedateien dieses Durchlaufs sind nicht verschoben."_s);
}

Message moveTargetUnknown(const FsError& error, qint32 passNo) {
    return failure(u"Ob es im Verschiebeverzeichnis schon etwas unter dem Namen"_s +
                   shown(error.path) + u"gibt, lässt sich nicht feststellen. "_s +
                   failureReason(error) + untouchedPass(passNo));
}

Message moveFailed(const QString& from, const QString& to, const FsError& error, qint32 passNo,
                   const PassLeft& left) {
    QString text = u"Die Datei"_s + shown(from) + u"konnte nicht nach"_s + shown(to) +
                   u"verschoben werden. "_s + failureReason(error) +
                   u"\nDie Bearbeitung wurde in Durchlauf Nr. "_s + passNumber(passNo) +
                   u" beendet. "_s;
    if (!left.inputInMove.isEmpty())
        return failure(text +
                       u"Die Ausgabedatei dieses Durchlaufs ist vollständig geschrieben und "
                       u"bleibt, denn die Datei"_s +
                       shown(left.inputInMove) +
                       u"ließ sich nicht an ihren Platz zurückverschieben. "_s +
                       failureReason(left.inputNotBack));
    if (left.outputNotRemoved)
        return failure(text +
                       u"Die Eingabedateien dieses Durchlaufs liegen wieder an ihrem Platz, "
                       u"doch die Ausgabedatei"_s +
                       shown(left.outputNotRemoved->path) + u"ließ sich nicht löschen. "_s +
                       failureReason(*left.outputNotRemoved));
    return failure(text + u"Dieser Durchlauf hat nichts verändert: Seine Eingabedateien liegen "
                          u"wieder an ihrem Platz, und seine Ausgabedatei ist gelöscht."_s);
}

} // namespace concatMessages
