#include "core/fs/IdentitiesAhead.h"

#include "core/fs/FileSystem.h"

#include <algorithm>

namespace {

// Small enough that the first answer comes at once, and below the size from
// which identitiesIn takes the second core, which the moves need.
constexpr qsizetype namesPerRound = 1024;

} // namespace

IdentitiesAhead::IdentitiesAhead(const FileSystem& fileSystem, const QString& directory,
                                 const QStringList& names, const QStringList& newNames)
    : found_(size_t(names.size()), FileIdentity{}), encoded_(names.size()),
      thread_([this, &fileSystem, directory, names, newNames](const std::stop_token& stop) {
          for (qsizetype begin = 0; begin < names.size() && !stop.stop_requested();
               begin += namesPerRound) {
              const qsizetype count = std::min(namesPerRound, names.size() - begin);
              std::vector<FsResult<FileIdentity>> round =
                  fileSystem.identitiesIn(directory, names.mid(begin, count));
              std::move(round.begin(), round.end(), found_.begin() + begin);
              known_.store(begin + count, std::memory_order_release);
              known_.notify_all();
              encoded_.encode(names, newNames, begin + count, true);
          }
      }) {}

IdentitiesAhead::~IdentitiesAhead() {
    // Stops the thread, and wakes it where it waits for the moves to pass.
    thread_.request_stop();
    encoded_.endMoves();
}

const FsResult<FileIdentity>& IdentitiesAhead::at(qsizetype index) {
    encoded_.reached(index);
    for (qsizetype known = known_.load(std::memory_order_acquire); known <= index;
         known = known_.load(std::memory_order_acquire))
        known_.wait(known, std::memory_order_acquire);
    return found_[size_t(index)];
}
