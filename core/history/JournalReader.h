#pragma once

#include "core/history/JournalFormat.h"
#include "core/history/RunRecord.h"

#include <QByteArrayView>
#include <QString>

// A whole journal read back: every record checked and followed.
struct ReadJournal {
    journal::Soundness soundness = journal::Soundness::Sound;
    quint32 version = 0;
    RunRecord run;
    qsizetype soundEnd = 0; // where its last sound record ends
    bool empty = false;     // cut short before its header: nothing was moved
};

ReadJournal readJournal(const QString& id, QByteArrayView bytes);

// What the history list needs of a journal, read without its moves.
struct JournalSummary {
    journal::Soundness soundness = journal::Soundness::Sound;
    quint32 version = 0;
    RunHeader header;
    RunState state = RunState::Finished;
    qsizetype filesMoved = 0;
    bool open = false;
    bool empty = false;
};

// Reads the frames of the journal open at `fd`, and the payloads of the
// records that tell how the run stands; with `checkEveryRecord`, every
// record's checksum too.
JournalSummary summarizeJournal(int fd, bool checkEveryRecord);
