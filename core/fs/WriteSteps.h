#pragma once

// The points between the steps of writing a file under its final name, in the
// order a move or a join reaches them. Not every path reaches every point: an
// ordinary rename reaches none.
enum class WriteStep {
    TemporaryCreated, // an empty temporary file exists beside the final name
    BytesCopied,      // after each piece of the copy
    BytesFlushed,     // the temporary file's bytes are on the disk
    NameReserved,     // an empty file holds the final name; the plain rename onto it follows
    Linked,           // the file has its new name and still its old one
    Named,            // the file has its final name
    NameFlushed,      // the final name is on the disk
    SourceRemoved,    // a moved file's source is gone
};

// Called at each of those points when set. Only tests set it, to stop the
// process at a chosen point and look at what a crash there would leave.
inline void (*writeStepHook)(WriteStep) = nullptr;

inline void reachedWriteStep(WriteStep step) {
    if (writeStepHook)
        writeStepHook(step);
}
