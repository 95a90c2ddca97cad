#pragma once

#include "core/fs/DirectoryMoves.h"

#include <QByteArray>
#include <QStringList>

#include <atomic>
#include <vector>

// Both names of many moves, encoded by one thread ahead of the moves on
// another, in runs of files: the moves then read their names in order from
// a few buffers instead of from names scattered over the heap, and spend no
// time on encoding. Runs the moves have passed are freed, and the encoding
// thread stays at most `runsAhead` runs ahead, so that the memory stays small.
class EncodedAhead {
public:
    static constexpr qsizetype filesPerRun = 256;
    static constexpr qsizetype runsAhead = 64; // some 16,000 files

    explicit EncodedAhead(qsizetype files);
    EncodedAhead(const EncodedAhead&) = delete;
    EncodedAhead& operator=(const EncodedAhead&) = delete;

    // The encoding thread: encodes the runs of the files before `ready`, the
    // last one short where `ready` ends the moves, file i moving from from[i]
    // to to[i]. Returns when it is `runsAhead` ahead, or when `waiting`, after
    // waiting for the moves to pass runs until all are encoded; and as soon
    // as the moves have ended.
    void encode(const QStringList& from, const QStringList& to, qsizetype ready, bool waiting);

    // The moves' thread: the names of file `index`'s move; waits until they
    // are encoded. Asked in increasing order of `index`.
    EncodedNames names(qsizetype index);
    // The moves' thread: the moves have reached file `index`; the names of
    // the runs before its run are freed, or never encoded.
    void reached(qsizetype index);
    // Tells the encoding thread that no more names will be asked for.
    void endMoves();

private:
    // The names of a run of files, each followed by a NUL.
    struct Run {
        QByteArray bytes;
        std::vector<quint32> starts; // two per file: from, to
    };

    std::vector<Run> runs_;
    // Each run is handed over by these counts.
    std::atomic<qsizetype> encodedRuns_{0};
    std::atomic<qsizetype> passedRuns_{0};
    qsizetype encodingRun_ = 0; // the encoding thread's alone
    qsizetype freedRuns_ = 0;   // the moves' thread's alone
};
