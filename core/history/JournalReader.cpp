#include "core/history/JournalReader.h"

#include "core/history/JournalRecords.h"

#include <QtEndian>

#include <sys/stat.h>
#include <unistd.h>

using journal::RecordType;
using journal::Soundness;

namespace {

// Follows one record; false where it does not fit what came before.
bool follow(RunRecord& run, const journal::Record& record) {
    const auto phaseAt = [&run](QByteArrayView payload) -> PhaseRecord* {
        const std::optional<qsizetype> phase = journal::phaseOf(payload);
        return phase && *phase >= 0 && *phase < run.phases.size() ? &run.phases[*phase] : nullptr;
    };
    switch (record.type) {
    case RecordType::Header:
        return false; // only the first record is a header
    case RecordType::Phase: {
        const auto phase = journal::readPhase(record.payload);
        if (!phase || phase->first != run.phases.size())
            return false;
        run.phases.append(PhaseRecord{phase->second, {}, {}, {}, {}, false});
        run.open = true;
        return true;
    }
    case RecordType::Intents: {
        PhaseRecord* phase = phaseAt(record.payload);
        return phase && journal::readIntents(*phase, record.payload);
    }
    case RecordType::Events: {
        PhaseRecord* phase = phaseAt(record.payload);
        return phase && journal::readEvents(*phase, record.payload);
    }
    case RecordType::CycleStep: {
        PhaseRecord* phase = phaseAt(record.payload);
        const std::optional<qsizetype> file = journal::readCycleStep(record.payload);
        if (!phase || !file)
            return false;
        phase->lastCycleSteps.insert(*file);
        return true;
    }
    case RecordType::PhaseEnd: {
        PhaseRecord* phase = phaseAt(record.payload);
        if (!phase)
            return false;
        phase->ended = true;
        return true;
    }
    case RecordType::RunEnd:
    case RecordType::Resolved:
    case RecordType::UndoEnd: {
        const std::optional<journal::Closing> closing =
            journal::readClosing(record.type, record.payload);
        if (!closing)
            return false;
        if (record.type != RecordType::UndoEnd)
            run.filesMoved = closing->files;
        run.open = false;
        return true;
    }
    }
    return false;
}

bool isClosing(RecordType type) {
    return type == RecordType::RunEnd || type == RecordType::Resolved ||
           type == RecordType::UndoEnd;
}

} // namespace

ReadJournal readJournal(const QString& id, QByteArrayView bytes) {
    ReadJournal read;
    read.run.id = id;
    const journal::SplitJournal split = journal::splitRecords(bytes);
    read.soundness = split.soundness;
    read.version = split.version;
    read.soundEnd = split.soundEnd;
    if (split.soundness == Soundness::OtherVersion)
        return read;
    if (split.records.isEmpty()) {
        read.empty = split.soundness == Soundness::Sound;
        return read;
    }
    const std::optional<RunHeader> header = journal::readHeader(split.records.first().payload);
    if (!header) {
        read.soundness = Soundness::Damaged;
        return read;
    }
    read.run.header = *header;
    for (qsizetype index = 1; index < split.records.size(); ++index) {
        if (!follow(read.run, split.records[index])) {
            read.soundness = Soundness::Damaged;
            return read;
        }
    }
    return read;
}

JournalSummary summarizeJournal(int fd, bool checkEveryRecord) {
    JournalSummary summary;
    struct stat info;
    if (::fstat(fd, &info) != 0) {
        summary.soundness = Soundness::Damaged;
        return summary;
    }
    const qint64 size = info.st_size;
    QByteArray preamble(journal::preambleSize, Qt::Uninitialized);
    if (::pread(fd, preamble.data(), size_t(preamble.size()), 0) != preamble.size()) {
        summary.empty = size == 0;
        summary.soundness = summary.empty ? Soundness::Sound : Soundness::Damaged;
        return summary;
    }
    const journal::SplitJournal start = journal::splitRecords(preamble);
    summary.version = start.version;
    if (start.soundness != Soundness::Sound) {
        summary.soundness = start.soundness;
        return summary;
    }
    qint64 position = journal::preambleSize;
    bool first = true;
    QByteArray frame(journal::frameSize, Qt::Uninitialized);
    QByteArray body;
    while (position + journal::frameSize <= size) {
        if (::pread(fd, frame.data(), size_t(frame.size()), position) != frame.size())
            break;
        const journal::Frame header = journal::readFrame(frame);
        const qint64 end = position + journal::frameSize + header.length;
        if (header.length == 0 || end > size)
            break; // cut short by a kill, or damage that a full read will tell
        body.resize(1);
        if (::pread(fd, body.data(), 1, position + journal::frameSize) != 1)
            break;
        const auto type = RecordType(quint8(body[0]));
        const bool wanted =
            first || checkEveryRecord || type == RecordType::Phase || isClosing(type);
        if (wanted) {
            body.resize(header.length);
            if (::pread(fd, body.data(), size_t(body.size()), position + journal::frameSize) !=
                body.size())
                break;
            if (journal::checksumOf(QByteArrayView(frame).first(4), body) != header.checksum) {
                if (end != size)
                    summary.soundness = Soundness::Damaged;
                break;
            }
            const QByteArrayView payload = QByteArrayView(body).sliced(1);
            if (first) {
                const std::optional<RunHeader> runHeader =
                    type == RecordType::Header ? journal::readHeader(payload) : std::nullopt;
                if (!runHeader) {
                    summary.soundness = Soundness::Damaged;
                    return summary;
                }
                summary.header = *runHeader;
            } else if (type == RecordType::Phase) {
                summary.open = true;
            } else if (isClosing(type)) {
                const std::optional<journal::Closing> closing = journal::readClosing(type, payload);
                if (!closing) {
                    summary.soundness = Soundness::Damaged;
                    return summary;
                }
                summary.open = false;
                summary.state = closing->state;
                if (type != RecordType::UndoEnd)
                    summary.filesMoved = closing->files;
            }
        }
        first = false;
        position = end;
    }
    summary.empty = first && summary.soundness == Soundness::Sound;
    if (summary.open)
        summary.state = RunState::Interrupted;
    return summary;
}
