#include "core/fs/TailsAhead.h"

#include "core/fs/DirectoryTails.h"

#include <algorithm>
#include <limits>

namespace {

// Long enough that the two threads rarely wait for each other, short enough
// that the first tails come at once.
constexpr qsizetype filesPerRun = 64;
// The helper's runs kept ahead of the caller, at most.
constexpr qsizetype runsAhead = 32;

// Runs 1, 3, 5, ... are the helper's; the caller reads the others itself.
bool isHelpers(qsizetype run) {
    return run % 2 == 1;
}

} // namespace

TailsAhead::TailsAhead(const FileSystem& fileSystem, const QString& directory,
                       const QStringList& names, qint64 length)
    : names_(names), length_(length), own_(fileSystem.tailsIn(directory)) {
    if (names.size() <= filesPerRun)
        return;
    helpers_ = fileSystem.tailsIn(directory);
    ahead_.assign(size_t(runsAhead * filesPerRun), FsResult<FileTail>(FileTail{}));
    helper_ = std::jthread([this](const std::stop_token& stop) { readAhead(stop); });
}

TailsAhead::~TailsAhead() {
    helper_.request_stop();
    // Wakes a helper that waits for the caller to take its runs.
    takenRuns_.store(std::numeric_limits<qsizetype>::max() / 2, std::memory_order_release);
    takenRuns_.notify_all();
}

FsResult<FileTail> TailsAhead::take(qsizetype index) {
    const qsizetype run = index / filesPerRun;
    if (!isHelpers(run))
        return own_->readTail(names_[index], length_);
    const qsizetype helpersRun = run / 2;
    for (qsizetype read = readRuns_.load(std::memory_order_acquire); read <= helpersRun;
         read = readRuns_.load(std::memory_order_acquire))
        readRuns_.wait(read, std::memory_order_acquire);
    const qsizetype place = index % filesPerRun;
    FsResult<FileTail> tail =
        std::move(ahead_[size_t((helpersRun % runsAhead) * filesPerRun + place)]);
    if (place == filesPerRun - 1) {
        takenRuns_.store(helpersRun + 1, std::memory_order_release);
        takenRuns_.notify_one();
    }
    return tail;
}

void TailsAhead::readAhead(const std::stop_token& stop) {
    for (qsizetype helpersRun = 0, first = filesPerRun; first < names_.size();
         ++helpersRun, first += 2 * filesPerRun) {
        for (qsizetype taken = takenRuns_.load(std::memory_order_acquire);
             helpersRun >= taken + runsAhead; taken = takenRuns_.load(std::memory_order_acquire))
            takenRuns_.wait(taken, std::memory_order_acquire);
        if (stop.stop_requested())
            return;
        const qsizetype end = std::min(first + filesPerRun, names_.size());
        FsResult<FileTail>* place = &ahead_[size_t((helpersRun % runsAhead) * filesPerRun)];
        for (qsizetype index = first; index < end; ++index, ++place)
            *place = helpers_->readTail(names_[index], length_);
        readRuns_.store(helpersRun + 1, std::memory_order_release);
        readRuns_.notify_one();
    }
}
