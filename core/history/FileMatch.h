#pragma once

#include "core/history/RunRecord.h"

// Whether the file found now is the one a phase recorded. By inode, a file
// born after the phase listed its files is a newcomer that was given a
// freed inode number; by stamp, size and modification time must agree (across volumes
// to FAT's two seconds, since a copy there keeps the time no finer).
bool isSameFile(const PhaseSpec& spec, const FileIdentity& recorded, const FileIdentity& found);
