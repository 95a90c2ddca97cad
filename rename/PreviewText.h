#pragma once

#include <QString>

struct RenamePlan;

// The preview's lines for a plan, each ending with CR LF: one per listed
// file, "old name  ->  new name", the stopping file with its reason instead
// of a new name, then what MoveBack would do.
QString previewText(const RenamePlan& plan);

// One preview line of its own, for what ends a run before its first file.
QString previewLine(const QString& text);
