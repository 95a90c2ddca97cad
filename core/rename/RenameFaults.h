#pragma once

#include "core/fs/TargetRules.h"
#include "core/rename/RenameState.h"

#include <QString>

#include <optional>

struct RenameOperation;

// Why the operation's transform refused the name in state.CurrentName, in
// one German sentence; read right after the transform returned false.
QString transformFault(const RenameOperation& operation, const RenameState& state);

// Why a new name cannot be given to a file, or nothing when it can: it would
// leave the target directory, or hide the file from every later listing.
// The empty name keeps the listed name and is allowed.
std::optional<QString> newNameFault(const QString& newName);

// Why the running number cannot be advanced past 32767 or below -32768.
QString numberRangeFault();

// Why a file cannot have a new name: `otherFile` of the run gets it already,
// or gets one that the target takes for the same in other case.
QString sameNewNameFault(const QString& otherFile);
QString sameNewNameInOtherCaseFault(const QString& otherFile);
// Why a file cannot have a new name that the target directory holds, as it
// is or in other case.
QString takenFault();
QString takenInOtherCaseFault();

// Why no file can be moved from the source into the target directory at
// all: one of them cannot be written (a read-only drive, no permission).
std::optional<QString> unwritableFault(const TargetRules& target, const TargetRules& source);
