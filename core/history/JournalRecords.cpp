#include "core/history/JournalRecords.h"

#include <algorithm>
#include <cstring>

namespace journal {

namespace {

QByteArray framed(RecordType type, const PayloadWriter& payload) {
    QByteArray out;
    appendRecord(out, type, payload.bytes());
    return out;
}

bool hasOriginals(PhaseKind kind) {
    return kind == PhaseKind::Undo || kind == PhaseKind::Repair;
}

bool byInode(IdentityCheck check) {
    return check == IdentityCheck::ByInode;
}

// Names of one directory share long beginnings, compared four units at a time.
qsizetype commonPrefix(QStringView a, QStringView b) {
    const qsizetype limit = std::min(a.size(), b.size());
    qsizetype shared = 0;
    for (quint64 x, y; shared + 4 <= limit; shared += 4) {
        std::memcpy(&x, a.utf16() + shared, sizeof x);
        std::memcpy(&y, b.utf16() + shared, sizeof y);
        if (x != y)
            break;
    }
    while (shared < limit && a[shared] == b[shared])
        ++shared;
    return shared;
}

// The units at the end of both that the prefix has not taken.
qsizetype commonSuffix(QStringView a, QStringView b, qsizetype prefix) {
    const qsizetype limit = std::min(a.size(), b.size()) - prefix;
    qsizetype shared = 0;
    for (quint64 x, y; shared + 4 <= limit; shared += 4) {
        std::memcpy(&x, a.utf16() + a.size() - shared - 4, sizeof x);
        std::memcpy(&y, b.utf16() + b.size() - shared - 4, sizeof y);
        if (x != y)
            break;
    }
    while (shared < limit && a[a.size() - 1 - shared] == b[b.size() - 1 - shared])
        ++shared;
    return shared;
}

} // namespace

QByteArray headerRecord(const RunHeader& header) {
    PayloadWriter payload;
    payload.signedNumber(header.startedMs);
    payload.number(quint64(header.pid));
    payload.text(header.operation.toUtf8());
    payload.name(header.sourceDir);
    payload.name(header.targetDir);
    payload.byte(header.moveBack ? 1 : 0);
    return framed(RecordType::Header, payload);
}

std::optional<RunHeader> readHeader(QByteArrayView payload) {
    PayloadReader reader(payload);
    RunHeader header;
    header.startedMs = reader.signedNumber();
    header.pid = qint64(reader.number());
    header.operation = QString::fromUtf8(reader.text());
    header.sourceDir = reader.name();
    header.targetDir = reader.name();
    header.moveBack = reader.byte() != 0;
    if (reader.failed())
        return std::nullopt;
    return header;
}

QByteArray phaseRecord(qsizetype phase, const PhaseSetup& setup) {
    PayloadWriter payload;
    payload.number(quint64(phase));
    payload.byte(quint8(setup.kind));
    payload.number(quint64(setup.undoes + 1));
    payload.name(setup.fromDir);
    payload.name(setup.toDir);
    payload.byte(setup.inPlace ? 1 : 0);
    payload.byte(quint8(setup.check));
    payload.number(setup.fromVolume);
    payload.number(setup.toVolume);
    payload.number(quint64(setup.files));
    payload.signedNumber(setup.listedMs);
    return framed(RecordType::Phase, payload);
}

std::optional<std::pair<qsizetype, PhaseSetup>> readPhase(QByteArrayView payload) {
    PayloadReader reader(payload);
    const auto phase = qsizetype(reader.number());
    PhaseSetup setup;
    const quint8 kind = reader.byte();
    setup.kind = PhaseKind(kind);
    setup.undoes = qsizetype(reader.number()) - 1;
    setup.fromDir = reader.name();
    setup.toDir = reader.name();
    setup.inPlace = reader.byte() != 0;
    const quint8 check = reader.byte();
    setup.check = IdentityCheck(check);
    setup.fromVolume = reader.number();
    setup.toVolume = reader.number();
    setup.files = qsizetype(reader.number());
    setup.listedMs = reader.signedNumber();
    if (reader.failed() || kind < quint8(PhaseKind::Run) || kind > quint8(PhaseKind::Repair) ||
        check < quint8(IdentityCheck::ByInode) ||
        check > quint8(IdentityCheck::ByStampAcrossVolumes))
        return std::nullopt;
    return std::pair(phase, setup);
}

std::optional<qsizetype> phaseOf(QByteArrayView payload) {
    PayloadReader reader(payload);
    const auto phase = qsizetype(reader.number());
    if (reader.failed())
        return std::nullopt;
    return phase;
}

IntentsRecord::IntentsRecord(qsizetype phase, IdentityCheck check, bool withOriginals,
                             qsizetype first)
    : phase_(phase), check_(check), withOriginals_(withOriginals), first_(first) {
    // Room for a batch of a few thousand moves of a few dozen bytes each.
    moves_.reserve(64 * 1024);
}

void IntentsRecord::add(QStringView from, QStringView to, const FileIdentity& identity,
                        qsizetype original) {
    const qsizetype shared = commonPrefix(previousFrom_, from);
    moves_.number(quint64(shared));
    moves_.name(from.sliced(shared));
    const qsizetype prefix = commonPrefix(from, to);
    const qsizetype suffix = commonSuffix(from, to, prefix);
    moves_.number(quint64(prefix));
    moves_.number(quint64(suffix));
    moves_.name(to.sliced(prefix, to.size() - prefix - suffix));
    if (byInode(check_)) {
        moves_.signedNumber(qint64(identity.inode - previous_.inode));
    } else {
        moves_.signedNumber(identity.size);
        moves_.signedNumber(identity.modifiedNs - previous_.modifiedNs);
    }
    if (withOriginals_) {
        moves_.signedNumber(original - previousOriginal_);
        previousOriginal_ = original;
    }
    previousFrom_ = from;
    previous_ = identity;
    ++count_;
}

QByteArray IntentsRecord::bytes() const {
    PayloadWriter payload;
    payload.number(quint64(phase_));
    payload.number(quint64(first_));
    payload.number(quint64(count_));
    payload.raw(moves_.bytes());
    return framed(RecordType::Intents, payload);
}

bool readIntents(PhaseRecord& phase, QByteArrayView payload) {
    PayloadReader reader(payload);
    reader.number();
    const auto first = qsizetype(reader.number());
    const auto count = qsizetype(reader.number());
    if (reader.failed() || first != phase.intents.size() || count < 0 || count > payload.size())
        return false;
    const bool withOriginals = hasOriginals(phase.setup.kind);
    // Each name is made in one piece from the one before and the payload.
    QString from;
    FileIdentity previous;
    qsizetype original = 0;
    phase.intents.reserve(first + count);
    for (qsizetype index = 0; index < count; ++index) {
        const auto shared = qsizetype(reader.number());
        const QByteArrayView rest = reader.nameUnits();
        if (reader.failed() || shared < 0 || shared > from.size())
            return false;
        QString next(shared + rest.size() / 2, Qt::Uninitialized);
        std::copy_n(from.constData(), shared, next.data());
        copyUnits(rest, next.data() + shared);
        from = std::move(next);
        const auto prefix = qsizetype(reader.number());
        const auto suffix = qsizetype(reader.number());
        const QByteArrayView middle = reader.nameUnits();
        if (reader.failed() || prefix < 0 || suffix < 0 || prefix + suffix > from.size())
            return false;
        QString to(prefix + middle.size() / 2 + suffix, Qt::Uninitialized);
        std::copy_n(from.constData(), prefix, to.data());
        copyUnits(middle, to.data() + prefix);
        std::copy_n(from.constData() + from.size() - suffix, suffix,
                    to.data() + prefix + middle.size() / 2);
        Intent intent{from, std::move(to), previous, -1};
        if (byInode(phase.setup.check)) {
            intent.identity.inode = previous.inode + quint64(reader.signedNumber());
        } else {
            intent.identity.size = reader.signedNumber();
            intent.identity.modifiedNs = previous.modifiedNs + reader.signedNumber();
        }
        if (withOriginals) {
            original += reader.signedNumber();
            intent.original = original;
        }
        if (reader.failed())
            return false;
        previous = intent.identity;
        phase.intents.append(std::move(intent));
    }
    phase.states.resize(size_t(phase.intents.size()), FileState::NotMoved);
    return reader.atEnd();
}

void EventsRecord::index(qsizetype file) {
    events_.signedNumber(file - previous_);
    previous_ = file;
}

void EventsRecord::flushRun() {
    if (runLength_ == 0)
        return;
    events_.byte(quint8(EventKind::Moved));
    index(runStart_);
    events_.number(quint64(runLength_));
    previous_ = runStart_ + runLength_ - 1;
    runLength_ = 0;
}

void EventsRecord::moved(qsizetype file) {
    if (runLength_ > 0 && file == runStart_ + runLength_) {
        ++runLength_;
        return;
    }
    flushRun();
    runStart_ = file;
    runLength_ = 1;
}

void EventsRecord::movedAside(qsizetype file, QStringView name) {
    flushRun();
    events_.byte(quint8(EventKind::MovedAside));
    index(file);
    events_.name(name);
}

void EventsRecord::event(EventKind kind, qsizetype file) {
    flushRun();
    events_.byte(quint8(kind));
    index(file);
}

QByteArray EventsRecord::take() {
    flushRun();
    if (events_.isEmpty())
        return {};
    PayloadWriter payload;
    payload.number(quint64(phase_));
    payload.raw(events_.bytes());
    events_.clear();
    // Each record is read on its own.
    previous_ = 0;
    return framed(RecordType::Events, payload);
}

bool readEvents(PhaseRecord& phase, QByteArrayView payload) {
    PayloadReader reader(payload);
    reader.number();
    qsizetype previous = 0;
    const auto known = [&phase](qsizetype file) {
        return file >= 0 && file < phase.intents.size();
    };
    while (!reader.atEnd()) {
        const auto kind = EventKind(reader.byte());
        const qsizetype file = previous + reader.signedNumber();
        if (reader.failed() || !known(file))
            return false;
        previous = file;
        switch (kind) {
        case EventKind::Moved: {
            const auto count = qsizetype(reader.number());
            if (reader.failed() || count < 1 || !known(file + count - 1))
                return false;
            std::fill_n(phase.states.begin() + file, count, FileState::Moved);
            previous = file + count - 1;
            break;
        }
        case EventKind::MovedAside: {
            const QString name = reader.name();
            if (reader.failed())
                return false;
            phase.states[size_t(file)] = FileState::Aside;
            phase.aside.insert(file, name);
            break;
        }
        case EventKind::FromAside:
            phase.states[size_t(file)] = FileState::Moved;
            break;
        case EventKind::BackFromAside:
        case EventKind::Stayed:
            phase.states[size_t(file)] = FileState::NotMoved;
            break;
        case EventKind::Gone:
            phase.states[size_t(file)] = FileState::Gone;
            break;
        default:
            return false;
        }
    }
    return true;
}

QByteArray cycleStepRecord(qsizetype phase, qsizetype file) {
    PayloadWriter payload;
    payload.number(quint64(phase));
    payload.number(quint64(file));
    return framed(RecordType::CycleStep, payload);
}

std::optional<qsizetype> readCycleStep(QByteArrayView payload) {
    PayloadReader reader(payload);
    reader.number();
    const auto file = qsizetype(reader.number());
    if (reader.failed())
        return std::nullopt;
    return file;
}

QByteArray phaseEndRecord(qsizetype phase) {
    PayloadWriter payload;
    payload.number(quint64(phase));
    return framed(RecordType::PhaseEnd, payload);
}

QByteArray runEndRecord(qsizetype filesMoved) {
    PayloadWriter payload;
    payload.number(quint64(filesMoved));
    return framed(RecordType::RunEnd, payload);
}

QByteArray resolvedRecord(bool undone, qsizetype filesMoved) {
    PayloadWriter payload;
    payload.byte(undone ? 1 : 0);
    payload.number(quint64(filesMoved));
    return framed(RecordType::Resolved, payload);
}

QByteArray undoEndRecord(qsizetype filesLeft) {
    PayloadWriter payload;
    payload.number(quint64(filesLeft));
    return framed(RecordType::UndoEnd, payload);
}

std::optional<Closing> readClosing(RecordType type, QByteArrayView payload) {
    PayloadReader reader(payload);
    Closing closing;
    switch (type) {
    case RecordType::RunEnd:
        closing.state = RunState::Finished;
        break;
    case RecordType::Resolved:
        closing.state = reader.byte() ? RunState::Undone : RunState::Kept;
        break;
    case RecordType::UndoEnd:
        closing.files = qsizetype(reader.number());
        closing.state = closing.files == 0 ? RunState::Undone : RunState::PartlyUndone;
        return reader.failed() ? std::nullopt : std::optional(closing);
    default:
        return std::nullopt;
    }
    closing.files = qsizetype(reader.number());
    if (reader.failed())
        return std::nullopt;
    return closing;
}

} // namespace journal
