#pragma once

// The points between the writes of a run's journal and the moves it
// records, in the order a run reaches them.
enum class HistoryStep {
    JournalWritten, // a write of the journal is on the disk
    FileMoved,      // a move was made (or found its file gone), not yet noted
};

// Called at each of those points when set. Only tests set it, to stop the
// process there and look at what a kill at that moment leaves.
inline void (*historyStepHook)(HistoryStep) = nullptr;

inline void reachedHistoryStep(HistoryStep step) {
    if (historyStepHook)
        historyStepHook(step);
}
