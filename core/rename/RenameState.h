#pragma once

#include <QString>

// The values the rename transforms read and write: the parameters of a run
// and the pieces of the name being processed.
struct RenameState {
    QString SourceDir;
    QString TargetDir;
    QString SearchText;
    QString ReplaceText;
    QString CurrentName;
    QString WorkName;
    QString NewName;
    QString NamePart1;
    QString NamePart2;
    QString Extension;
    QString NumberText;
    qint16 MatchPosition = 0;
    qint16 RunningNumber = 0;
    qint16 NumberStep = 0;
    qint16 CharCount = 0;
    bool BlankAfterNumber = false;
    bool RepeatReplace = false; // ChangeString's "Mehrfach"
};
