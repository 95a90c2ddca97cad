#pragma once

#include "core/history/JournalFormat.h"
#include "core/history/RunRecord.h"

#include <QByteArray>

#include <optional>

// The records of a run's journal, each made into its framed bytes and read
// back from its payload.
namespace journal {

QByteArray headerRecord(const RunHeader& header);
std::optional<RunHeader> readHeader(QByteArrayView payload);

QByteArray phaseRecord(qsizetype phase, const PhaseSetup& setup);
// The phase's number and what it is.
std::optional<std::pair<qsizetype, PhaseSetup>> readPhase(QByteArrayView payload);

// Announced moves of one phase, from file `first` on. Names are coded
// against the one before (a listing in natural order shares long
// beginnings) and a new name against its old one, so that a move costs a
// few bytes.
class IntentsRecord {
public:
    IntentsRecord(qsizetype phase, IdentityCheck check, bool withOriginals, qsizetype first);

    // `from` must live until bytes() is taken: the next name is coded against it.
    void add(QStringView from, QStringView to, const FileIdentity& identity, qsizetype original);
    qsizetype count() const { return count_; }
    // The framed record.
    QByteArray bytes() const;

private:
    qsizetype phase_;
    IdentityCheck check_;
    bool withOriginals_;
    qsizetype first_;
    qsizetype count_ = 0;
    PayloadWriter moves_;
    QStringView previousFrom_;
    FileIdentity previous_;
    qsizetype previousOriginal_ = 0;
};

// The phase number that Intents, Events, CycleStep and PhaseEnd records
// begin with.
std::optional<qsizetype> phaseOf(QByteArrayView payload);

// Reads an Intents record into `phase`, whose setup tells how identities are
// coded; false when the record does not follow the phase's last one or is
// malformed.
bool readIntents(PhaseRecord& phase, QByteArrayView payload);

// What became of announced moves, in the order it happened.
enum class EventKind : quint8 {
    Moved = 1,     // a run of consecutive files, each to its new name
    MovedAside,    // to a temporary name
    FromAside,     // from the temporary name to the new name
    BackFromAside, // from the temporary name back to the old name
    Gone,          // the file had gone before its move
    Stayed,        // at its old name again: found there after a kill, or given back
};

class EventsRecord {
public:
    explicit EventsRecord(qsizetype phase) : phase_(phase) {}

    void moved(qsizetype file);
    void movedAside(qsizetype file, QStringView name);
    void event(EventKind kind, qsizetype file);
    bool isEmpty() const { return events_.isEmpty() && runLength_ == 0; }
    // The framed record of what was added since the last call, or nothing.
    QByteArray take();

private:
    void flushRun();
    void index(qsizetype file);

    qsizetype phase_;
    PayloadWriter events_;
    qsizetype previous_ = 0;
    qsizetype runStart_ = 0;
    qsizetype runLength_ = 0;
};

// Applies an Events record to the states of `phase`'s files.
bool readEvents(PhaseRecord& phase, QByteArrayView payload);

// One number: the phase of a CycleStep (with the cycle's first file) or a
// PhaseEnd record.
QByteArray cycleStepRecord(qsizetype phase, qsizetype file);
std::optional<qsizetype> readCycleStep(QByteArrayView payload);
QByteArray phaseEndRecord(qsizetype phase);

// Records that close a run: after them it is no longer open.
QByteArray runEndRecord(qsizetype filesMoved);
QByteArray resolvedRecord(bool undone, qsizetype filesMoved);
QByteArray undoEndRecord(qsizetype filesLeft);

// What a closing record says.
struct Closing {
    RunState state = RunState::Finished;
    qsizetype files = 0; // moved by the run (RunEnd, Resolved) or left by an undo (UndoEnd)
};
std::optional<Closing> readClosing(RecordType type, QByteArrayView payload);

} // namespace journal
