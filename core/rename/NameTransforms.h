#pragma once

#include "core/rename/RenameState.h"

// The rename transforms. Each builds state.NewName from state.CurrentName
// and the run's parameters, writing the pieces it uses (MatchPosition,
// NamePart1, NamePart2, Extension, WorkName, NumberText) on the way, and
// returns false when the name does not allow it: the run then fails.
// "Extension" is always the last four characters, whatever they are.
namespace transform {

bool ChangeFilename(RenameState& state);
bool ChangeString(RenameState& state);
bool CutNameFirst(RenameState& state);
bool CutNameLast(RenameState& state);
bool CutNameStringLast(RenameState& state);
bool AddText(RenameState& state);
bool CutandNumber(RenameState& state);
bool AddNumber(RenameState& state);

// The running number as the numbering operations write it.
QString numberText(qint16 number, bool blankAfterNumber, const QString& typedStartNumber);

// Whether repeated replacement could never end for any name: an empty
// String 1, or a String 2 that contains String 1.
bool repeatReplaceCannotEnd(const QString& searchText, const QString& replaceText);

} // namespace transform
