#include "core/rename/RenameFaults.h"

#include "core/fs/FileNameRules.h"
#include "core/fs/NameCodec.h"
#include "core/rename/RenameOperation.h"
#include "core/text/CharText.h"

#include <cerrno>

using namespace Qt::StringLiterals;

namespace {

const QString shorterThanExtension = u"Der Name hat weniger als vier Zeichen."_s;

QString quoted(const QString& name) {
    return u"„"_s + displayFileName(name) + u"“"_s;
}

} // namespace

QString transformFault(const RenameOperation& operation, const RenameState& state) {
    const qsizetype length = CharText(state.CurrentName).length();
    switch (operation.parameters) {
    case RenameParameters::SearchTextOnly:
        if (operation.key != u"AddText"_s && state.MatchPosition == 0)
            return u"Der Suchstring kommt im Namen nicht vor."_s;
        return shorterThanExtension;
    case RenameParameters::CharacterCount:
        if (operation.key == u"CutNameLast"_s)
            return length < 4 ? shorterThanExtension
                              : u"Vor den letzten vier Zeichen hat der Name weniger Zeichen, als "
                                u"abgeschnitten werden sollen."_s;
        if (state.CharCount < 0)
            return u"Die Zeichenzahl ist negativ."_s;
        return u"Der Name hat weniger Zeichen, als abgeschnitten werden sollen."_s;
    case RenameParameters::Replacement:
        if (CharText(state.WorkName).length() < 4)
            return shorterThanExtension;
        return u"Das wiederholte Ersetzen endet nicht: der Name würde länger als 255 Byte."_s;
    case RenameParameters::Numbering:
        return u"Der Name hat weniger als drei Zeichen."_s;
    }
    return {};
}

std::optional<QString> newNameFault(const QString& newName) {
    // The common case, checked first in one go: a run asks for every name.
    if (isPlainFileName(newName) && !newName.startsWith(u'.'))
        return std::nullopt;
    if (newName.contains(directorySeparator()))
        return u"Der neue Name „%1“ enthält das Trennzeichen „%2“."_s.arg(displayFileName(newName),
                                                                          directorySeparator());
    if (newName.contains(QChar(u'\0')))
        return u"Der neue Name enthält ein Nullzeichen."_s;
    if (newName.startsWith(u'.'))
        return u"Der neue Name „%1“ beginnt mit einem Punkt; die Datei wäre dann versteckt."_s.arg(
            displayFileName(newName));
    if (!isPlainFileName(newName))
        return u"Der neue Name „%1“ ist als Dateiname nicht erlaubt."_s.arg(
            displayFileName(newName));
    return std::nullopt;
}

QString numberRangeFault() {
    return u"Die nächste laufende Nummer läge außerhalb von -32768 bis 32767."_s;
}

QString sameNewNameFault(const QString& otherFile) {
    return u"Denselben neuen Namen bekommt schon %1."_s.arg(quoted(otherFile));
}

QString sameNewNameInOtherCaseFault(const QString& otherFile) {
    return u"Bis auf die Groß-/Kleinschreibung denselben neuen Namen bekommt schon %1."_s.arg(
        quoted(otherFile));
}

QString takenFault() {
    return u"Im Zielverzeichnis gibt es diesen Namen schon."_s;
}

QString takenInOtherCaseFault() {
    return u"Im Zielverzeichnis gibt es diesen Namen schon in anderer Groß-/Kleinschreibung."_s;
}

std::optional<QString> unwritableFault(const TargetRules& target, const TargetRules& source) {
    if (target.unwritable == EROFS)
        return u"Das Zielverzeichnis liegt auf einem schreibgeschützten Datenträger."_s;
    if (target.unwritable != 0)
        return u"Für das Zielverzeichnis fehlt die Schreibberechtigung."_s;
    // A move takes the file's entry out of the source.
    if (source.unwritable == EROFS)
        return u"Das Quellverzeichnis liegt auf einem schreibgeschützten Datenträger."_s;
    if (source.unwritable != 0)
        return u"Für das Quellverzeichnis fehlt die Schreibberechtigung."_s;
    return std::nullopt;
}
