#pragma once

// The outcome of giving an entry a new name.
struct RenameOutcome {
    int error = 0;         // errno; 0 on success
    bool atSource = false; // the failure concerns the old name, not the new one

    bool isOk() const { return error == 0; }
};

// Gives the entry `from` the name `to` on the same file system, never
// replacing anything there; the entry keeps its old name when this fails.
// The steps, each where the one before is refused: renameat2 with
// RENAME_NOREPLACE; link and unlink (file systems without the flag); a check
// that `to` is free followed by a plain rename (FAT and exFAT through FUSE,
// which have neither). The last step is not atomic: a file that another
// program creates under `to` between the check and the rename is replaced.
// Different file systems fail with EXDEV.
RenameOutcome renameWithoutReplacing(const char* from, const char* to);
