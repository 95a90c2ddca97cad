#pragma once

#include "core/rename/RenameState.h"

#include <QString>

// What a rename operation reads besides txt_Suchstring.
enum class RenameParameters {
    SearchTextOnly,
    CharacterCount, // txt_Suchstring read as a number into CharCount
    Replacement,    // txt_Step is String 2, chk_Leerz the repeat mode
    Numbering,      // txt_Suchstring the start number, txt_Step the step, chk_Leerz the blank
};

// One rename operation: how it reads its parameters, how it builds each new
// name, and the message it shows when the run fails.
struct RenameOperation {
    QString key;
    RenameParameters parameters;
    bool (*transform)(RenameState&);
    QString failureMessage;
};

const RenameOperation& renameOperation(const QString& key);

// The rename operation with this key, or none (the ID3 check, any other text).
const RenameOperation* findRenameOperation(const QString& key);
