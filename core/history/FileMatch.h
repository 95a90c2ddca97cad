#pragma once

#include "core/history/RunRecord.h"

// Whether the file found now is the one a phase recorded. By inode, a file
// born after the phase listed its files is a newcomer that was given a freed
// inode number. By stamp the size must agree, and the modification time
// either agree (to FAT's two seconds, since a copy there keeps it no finer)
// or be later than the listing: fusefat gives a file the time of the
// rename onto its reserved name.
bool isSameFile(const PhaseSetup& setup, const FileIdentity& recorded, const FileIdentity& found);
