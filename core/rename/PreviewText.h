#pragma once

#include <QString>

struct RenamePlan;
struct TargetRules;

// The preview's first lines: the source and the target directory as
// absolute paths, the target with its file system and how it compares
// names, e.g. "Ziel: /media/stick/Musik/ (FAT32, Groß-/Kleinschreibung gleich)".
QString previewHeading(const QString& sourceDir, const QString& targetDir,
                       const TargetRules& targetRules);

// The preview's lines for a plan, each ending with CR LF: one per listed
// file, "old name  ->  new name", the stopping file with its reason instead
// of a new name, then what MoveBack would do.
QString previewText(const RenamePlan& plan);

// A line for what ends a run before its first file; a cause of several
// lines is joined into one.
QString previewFault(const QString& cause);
// A line for what the run would show and then go on.
QString previewNotice(const QString& notice);
