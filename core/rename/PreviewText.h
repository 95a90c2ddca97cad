#pragma once

#include <QString>

struct RenamePlan;

// The preview's lines for a plan, each ending with CR LF: one per listed
// file, "old name  ->  new name", the stopping file with its reason instead
// of a new name, then what MoveBack would do.
QString previewText(const RenamePlan& plan);

// A line for what ends a run before its first file; a cause of several
// lines is joined into one.
QString previewFault(const QString& cause);
// A line for what the run would show and then go on.
QString previewNotice(const QString& notice);
