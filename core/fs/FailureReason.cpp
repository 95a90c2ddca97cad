#include "core/fs/FailureReason.h"

#include <cerrno>

using namespace Qt::StringLiterals;

QString failureReason(const FsError& error) {
    if (!error.cause.isEmpty())
        return error.cause;
    switch (error.code) {
    case FsErrorCode::NotFound:
        return u"Die Datei oder ihr Verzeichnis gibt es nicht."_s;
    case FsErrorCode::AlreadyExists:
        return u"Eine Datei dieses Namens gibt es schon."_s;
    case FsErrorCode::AccessDenied:
        if (error.systemError == EROFS)
            return u"Der Datenträger ist schreibgeschützt."_s;
        return u"Der Zugriff wurde verweigert."_s;
    case FsErrorCode::NotAFile:
        return u"Das ist keine gewöhnliche Datei."_s;
    case FsErrorCode::InvalidName:
        return u"Der Name ist zu lang oder auf diesem Datenträger nicht erlaubt."_s;
    case FsErrorCode::NoSpace:
        return u"Auf dem Datenträger ist nicht genug Platz."_s;
    case FsErrorCode::TooShort:
        return u"Die Datei ist kürzer als erwartet."_s;
    case FsErrorCode::VerifyFailed:
        return u"Die Kopie hat nicht die Größe des Originals."_s;
    case FsErrorCode::NotFlushed:
        return u"Die Datei steht vollständig unter ihrem neuen Namen, doch ihr Verzeichnis "
               u"ließ sich nicht auf den Datenträger schreiben (Fehlernummer "_s +
               QString::number(error.systemError) + u")."_s;
    case FsErrorCode::Other:
        break;
    }
    if (error.systemError != 0)
        return u"Ein Ein- oder Ausgabefehler ist aufgetreten (Fehlernummer "_s +
               QString::number(error.systemError) + u")."_s;
    return u"Ein Ein- oder Ausgabefehler ist aufgetreten."_s;
}
