#include "core/fs/EncodedAhead.h"

#include "core/fs/NameCodec.h"

#include <algorithm>
#include <limits>

namespace {

// What the count of runs the moves passed holds once they have ended.
constexpr qsizetype movesEnded = std::numeric_limits<qsizetype>::max();

} // namespace

EncodedAhead::EncodedAhead(qsizetype files)
    : runs_(size_t((files + filesPerRun - 1) / filesPerRun)) {}

void EncodedAhead::encode(const QStringList& from, const QStringList& to, qsizetype ready,
                          bool waiting) {
    const qsizetype runs = (ready + filesPerRun - 1) / filesPerRun;
    QByteArray encoding;
    while (encodingRun_ < runs) {
        const qsizetype passed = passedRuns_.load(std::memory_order_acquire);
        if (passed == movesEnded)
            return;
        // Runs the moves passed over without their names are never encoded.
        if (encodingRun_ < passed) {
            encodingRun_ = passed;
            encodedRuns_.store(encodingRun_, std::memory_order_release);
            continue;
        }
        if (encodingRun_ >= passed + runsAhead) {
            if (!waiting)
                return;
            passedRuns_.wait(passed, std::memory_order_acquire);
            continue;
        }
        Run& run = runs_[size_t(encodingRun_)];
        const qsizetype begin = encodingRun_ * filesPerRun;
        const qsizetype end = std::min(begin + filesPerRun, ready);
        for (qsizetype index = begin; index < end; ++index) {
            for (const QString* name : {&from[index], &to[index]}) {
                encodeFileNameInto(*name, encoding);
                run.starts.push_back(quint32(run.bytes.size()));
                run.bytes += encoding;
                run.bytes += '\0';
            }
        }
        encodedRuns_.store(++encodingRun_, std::memory_order_release);
        encodedRuns_.notify_all();
    }
}

void EncodedAhead::reached(qsizetype index) {
    const qsizetype runIndex = index / filesPerRun;
    if (passedRuns_.load(std::memory_order_relaxed) < runIndex) {
        passedRuns_.store(runIndex, std::memory_order_release);
        passedRuns_.notify_all();
    }
    // A run not yet encoded may be being written; it is freed on a later call.
    const qsizetype freeable = std::min(runIndex, encodedRuns_.load(std::memory_order_acquire));
    for (; freedRuns_ < freeable; ++freedRuns_)
        runs_[size_t(freedRuns_)] = {};
}

EncodedNames EncodedAhead::names(qsizetype index) {
    reached(index);
    const qsizetype runIndex = index / filesPerRun;
    for (qsizetype encoded = encodedRuns_.load(std::memory_order_acquire); encoded <= runIndex;
         encoded = encodedRuns_.load(std::memory_order_acquire))
        encodedRuns_.wait(encoded, std::memory_order_acquire);
    const Run& run = runs_[size_t(runIndex)];
    const size_t from = 2 * size_t(index % filesPerRun);
    const qsizetype toStart = run.starts[from + 1];
    const qsizetype toEnd =
        from + 2 < run.starts.size() ? qsizetype(run.starts[from + 2]) : run.bytes.size();
    const char* bytes = run.bytes.constData();
    return {QByteArrayView(bytes + run.starts[from], toStart - run.starts[from] - 1),
            QByteArrayView(bytes + toStart, toEnd - toStart - 1)};
}

void EncodedAhead::endMoves() {
    passedRuns_.store(movesEnded, std::memory_order_release);
    passedRuns_.notify_all();
}
