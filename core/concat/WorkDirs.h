#pragma once

#include <QString>

class CopyFilesWindow;
class FileSystem;
struct ConcatState;

// The directory that holds `directory` (a directory string), ending with a
// separator; empty when there is none, as for a root.
QString parentDirectory(const QString& directory);

// How a work directory is shown: "..." and its last 35 characters.
QString workDirDisplay(const QString& directory);

// Derives MainDir, OutputDir and MoveDir from the first input's directory,
// creates the two work directories and shows all three. Creation failures
// are left to the run, which checks the directories again before it starts.
void SetWorkDirs(ConcatState& state, CopyFilesWindow& window, FileSystem& fileSystem);
