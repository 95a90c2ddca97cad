#pragma once

#include "core/history/RunRecord.h"

class FileSystem;

// Finds where the files of a phase that a kill cut short are, from the
// moves its journal announced and what lies on the disk now, and sets their
// states. A rename is one step, so each file is at its old name, its new
// name or, in a cycle, under a temporary name "<old name>.tessavo-<hex>".
// Where file systems renumber inodes and files agree in size and time, names
// decide: a name holds one file, so a file whose old name another has taken
// must have moved; a cycle all of whose names are taken was completed
// exactly when its last move was announced. What a cut-short move left
// under its new name beside the file at its old one (a second link to it,
// or the empty file that reserved the name) is removed.
void locateInterruptedPhase(FileSystem& fileSystem, PhaseRecord& phase);
