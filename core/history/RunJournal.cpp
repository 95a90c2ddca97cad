#include "core/history/RunJournal.h"

#include "core/fs/NameCodec.h"
#include "core/fs/SystemError.h"
#include "core/history/HistorySteps.h"
#include "core/history/JournalFormat.h"
#include "core/history/JournalRecords.h"

#include <cerrno>
#include <unistd.h>

RunJournal::RunJournal(const RunHistory& history, RunHeader header)
    : history_(history), header_(std::move(header)) {}

RunJournal::RunJournal(const RunHistory& history, RunHeader header,
                       std::unique_ptr<JournalFile> file, qsizetype soundEnd, qsizetype phases)
    : history_(history), header_(std::move(header)), file_(std::move(file)), phases_(phases),
      soundEnd_(soundEnd) {
    // What a kill cut short would hide every record written after it.
    if (::ftruncate(file_->descriptor.get(), soundEnd_) != 0)
        failure_ = systemError(history_.pathOf(file_->id));
}

RunJournal::~RunJournal() = default;

qsizetype RunJournal::beginPhase(const PhaseSetup& setup) {
    keep(journal::phaseRecord(phases_, setup));
    return phases_++;
}

FsStatus RunJournal::write(const QByteArray& records) {
    if (failure_)
        return FsStatus::failure(*failure_);
    QByteArray bytes = std::move(kept_);
    kept_.clear();
    bytes += records;
    if (!file_) {
        const QByteArray first = journal::preamble() + journal::headerRecord(header_) + bytes;
        FsResult<std::unique_ptr<JournalFile>> created = history_.create(first);
        if (!created) {
            failure_ = created.error();
            return FsStatus::failure(*failure_);
        }
        file_ = std::move(created).value();
        soundEnd_ = first.size();
        reachedHistoryStep(HistoryStep::JournalWritten);
        return FsStatus::success();
    }
    return append(bytes);
}

FsStatus RunJournal::append(const QByteArray& bytes) {
    const int fd = file_->descriptor.get();
    const QString path = history_.pathOf(file_->id);
    QByteArrayView rest(bytes);
    while (!rest.isEmpty()) {
        const ssize_t written = ::write(fd, rest.data(), size_t(rest.size()));
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0) {
            failure_ = systemError(path);
            // Cut what was written of it, so that a later reader finds a
            // sound end; what it announced was never acted on. Left there,
            // it reads as a record a kill cut short.
            [[maybe_unused]] const int cut = ::ftruncate(fd, soundEnd_);
            return FsStatus::failure(*failure_);
        }
        rest = rest.sliced(written);
    }
    if (::fdatasync(fd) != 0) {
        failure_ = systemError(path);
        return FsStatus::failure(*failure_);
    }
    soundEnd_ += bytes.size();
    reachedHistoryStep(HistoryStep::JournalWritten);
    return FsStatus::success();
}

void RunJournal::discard() {
    if (file_)
        history_.remove(*file_);
    file_.reset();
}
