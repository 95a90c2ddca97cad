#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class RunWindow;
struct RenameOperation;
struct RenameState;

// Why a run ends before its first file: the text of its box, and the cause
// below it (empty when the text says it all).
struct ParameterFault {
    QString text;
    QString cause;
};

// What reading a rename operation's fields gave.
struct RunParameters {
    std::optional<qint16> startNumber;   // numbering operations only
    QStringList notices;                 // shown, then the run goes on
    std::optional<ParameterFault> fault; // the run ends before its log is touched
};

// Reads the fields the operation uses from the dialog into `state`
// (SearchText, ReplaceText, RepeatReplace, CharCount, NumberStep,
// BlankAfterNumber); the start number is set later, once the log is empty.
RunParameters readRunParameters(const RenameOperation& operation, const RunWindow& window,
                                RenameState& state);
