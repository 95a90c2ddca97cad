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
// RENAME_NOREPLACE; link and unlink (file systems without the flag); an
// empty file created under `to` with O_EXCL and a plain rename onto it (FAT
// and exFAT through FUSE, which have neither). A name taken or refused fails
// before the source is touched. A crash between the two steps of the last
// leaves that empty file beside the untouched source. Different file systems
// fail with EXDEV.
RenameOutcome renameWithoutReplacing(const char* from, const char* to);
