#include "core/history/HistoryActions.h"

#include "core/fs/FileSystem.h"
#include "core/fs/NameCodec.h"
#include "core/fs/SystemError.h"
#include "core/history/FileLocator.h"
#include "core/history/HistoryText.h"
#include "core/history/JournalReader.h"
#include "core/history/JournalRecords.h"
#include "core/history/RunHistory.h"
#include "core/history/RunJournal.h"
#include "core/history/RunUndo.h"
#include "core/run/Disposal.h"
#include "core/run/LogLine.h"
#include "core/run/RunWindow.h"
#include "core/run/WhileWaiting.h"

#include <QLocale>
#include <QSet>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const QString logField = u"txt_Filename"_s;

// The longest list of names a message shows; the rest is counted.
constexpr qsizetype namesInMessage = 20;

FsResult<QByteArray> readAllFrom(int fd, const QString& path) {
    QByteArray bytes;
    char buffer[65536];
    for (qint64 offset = 0;;) {
        const ssize_t got = ::pread(fd, buffer, sizeof buffer, offset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return systemError(path);
        if (got == 0)
            return bytes;
        bytes.append(buffer, got);
        offset += got;
    }
}

Message leftMessage(const QList<LeftFile>& left) {
    QString text = left.size() == 1
                       ? u"1 Datei konnte nicht zurückbenannt werden:"_s
                       : u"%1 Dateien konnten nicht zurückbenannt werden:"_s.arg(left.size());
    for (qsizetype index = 0; index < std::min(left.size(), namesInMessage); ++index)
        text += u'\n' + displayFileName(left[index].name) + u" – "_s + left[index].reason;
    if (left.size() > namesInMessage)
        text += u"\n… und %1 weitere"_s.arg(left.size() - namesInMessage);
    return Message(text);
}

UndoProgress progressIn(RunWindow& window) {
    return [&window](qsizetype done, qsizetype total) { window.showProgress(done, total); };
}

// A run's journal, opened and locked, read whole, and its last phase made
// complete where a kill cut it short.
struct OpenRun {
    std::unique_ptr<RunJournal> journal;
    RunRecord run;
    bool unusable = false; // damaged or of another version
    bool empty = false;    // cut short before any move was announced
    QString problem;       // why it cannot be worked on, for the user
};

OpenRun openRun(FileSystem& fileSystem, const RunHistory& history, const QString& id,
                RunWindow& window) {
    OpenRun opened;
    FsResult<std::unique_ptr<JournalFile>> file = history.open(id);
    if (!file) {
        opened.problem = file.error().code == FsErrorCode::AccessDenied
                             ? runHeldElsewhereText()
                             : damagedJournalText(history.pathOf(id));
        return opened;
    }
    const QString path = history.pathOf(id);
    // A run over 100,000 files has a journal of some megabytes; the window
    // paints while it is read and taken apart.
    const int fd = file.value()->descriptor.get();
    auto [bytes, read] = whileWaiting(
        [&] {
            FsResult<QByteArray> bytes = readAllFrom(fd, path);
            ReadJournal read = bytes ? readJournal(id, bytes.value()) : ReadJournal{};
            return std::pair(std::move(bytes), std::move(read));
        },
        [&window] { window.showProgress(0, 0); });
    if (!bytes || read.soundness != journal::Soundness::Sound) {
        opened.unusable = true;
        opened.problem = damagedJournalText(path);
        return opened;
    }
    if (read.empty || read.run.phases.isEmpty()) {
        opened.empty = true;
        opened.journal = std::make_unique<RunJournal>(history, read.run.header,
                                                      std::move(file).value(), read.soundEnd, 0);
        return opened;
    }
    opened.run = std::move(read.run);
    opened.journal =
        std::make_unique<RunJournal>(history, opened.run.header, std::move(file).value(),
                                     read.soundEnd, opened.run.phases.size());
    PhaseRecord& last = opened.run.phases.last();
    if (!last.ended) {
        const std::vector<FileState> announced = last.states;
        whileWaiting(
            [&] {
                locateInterruptedPhase(fileSystem, last);
                return true;
            },
            [&window] { window.showProgress(0, 0); });
        // What was found is written down, so that the journal tells it.
        const qsizetype phase = opened.run.phases.size() - 1;
        journal::EventsRecord found(phase);
        for (qsizetype file = 0; file < last.intents.size(); ++file) {
            switch (last.states[size_t(file)]) {
            case FileState::Moved:
                found.moved(file);
                break;
            case FileState::Aside:
                found.movedAside(file, last.aside.value(file));
                break;
            case FileState::Gone:
                found.event(journal::EventKind::Gone, file);
                break;
            case FileState::NotMoved:
                if (announced[size_t(file)] != FileState::NotMoved)
                    found.event(journal::EventKind::Stayed, file);
                break;
            }
        }
        if (const FsStatus written =
                opened.journal->write(found.take() + journal::phaseEndRecord(phase));
            !written) {
            opened.problem = historyWriteFailure(written.error()).cause;
            opened.journal.reset();
        }
    }
    return opened;
}

// A file's place as a hash of its directory's hash and its name.
size_t placeKey(size_t directory, const QString& name) {
    return qHash(name, directory);
}

// Where the files of `run` are now.
QSet<size_t> placesNow(const RunRecord& run) {
    QSet<size_t> places;
    for (qsizetype phase = 0; phase < run.phases.size(); ++phase) {
        const PhaseRecord& record = run.phases[phase];
        if (record.setup.kind == PhaseKind::Undo || record.setup.kind == PhaseKind::Repair)
            continue;
        const size_t from = qHash(record.setup.fromDir);
        const size_t to = qHash(record.setup.toDir);
        for (const auto& [file, name] : awayIn(run, phase)) {
            places.remove(placeKey(from, record.intents[file].from));
            places.insert(placeKey(to, name));
        }
    }
    return places;
}

// The directories a run works in.
QSet<QString> directoriesOf(const RunHeader& header) {
    return {header.sourceDir, header.targetDir};
}

} // namespace

HistoryActions::HistoryActions(FileSystem& fileSystem, const RunHistory& history)
    : fileSystem_(fileSystem), history_(history) {}

QList<HistoryRow> HistoryActions::rows() const {
    QList<HistoryRow> rows;
    const QLocale german(QLocale::German);
    for (const HistoryEntry& entry : history_.entries(true)) {
        if (entry.summary.empty)
            continue;
        HistoryRow row;
        row.id = entry.id;
        const JournalSummary& summary = entry.summary;
        if (summary.soundness != journal::Soundness::Sound) {
            row.cells = {u"–"_s, u"–"_s, u"–"_s, u"–"_s, u"–"_s, stateText(RunState::Unusable)};
        } else {
            const RunState state = entry.running ? RunState::Running : summary.state;
            row.cells = {runTimeText(summary.header.startedMs),
                         operationText(summary.header),
                         displayFileName(summary.header.sourceDir),
                         displayFileName(summary.header.targetDir),
                         german.toString(summary.filesMoved),
                         stateText(state)};
            row.undoable = state == RunState::Finished || state == RunState::Kept ||
                           state == RunState::PartlyUndone;
        }
        rows.append(row);
        if (rows.size() == RunHistory::keptRuns)
            break;
    }
    return rows;
}

bool HistoryActions::undo(const QString& id, RunWindow& window, Disposal& disposal) {
    // A later run that moved files of this one again would lose them.
    const QList<HistoryEntry> entries = history_.entries(false);
    OpenRun opened = openRun(fileSystem_, history_, id, window);
    if (!opened.journal) {
        window.showMessage(Message(opened.problem));
        return false;
    }
    RunUndo undo(fileSystem_, *opened.journal, opened.run);
    if (undo.awayCount() == 0) {
        window.showMessage(Message(nothingLeftToUndoText()));
        return false;
    }
    std::optional<QSet<size_t>> places;
    const QSet<QString> directories = directoriesOf(opened.run.header);
    for (const HistoryEntry& newer : entries) {
        if (newer.id <= id)
            break;
        const RunState state = newer.summary.state;
        if (newer.summary.soundness != journal::Soundness::Sound || state == RunState::Undone ||
            !directories.intersects(directoriesOf(newer.summary.header)))
            continue;
        const Descriptor fd(
            ::open(encodeFileName(history_.pathOf(newer.id)).constData(), O_RDONLY | O_CLOEXEC));
        const FsResult<QByteArray> bytes =
            fd.isOpen() ? readAllFrom(fd.get(), history_.pathOf(newer.id))
                        : FsResult<QByteArray>(systemError(history_.pathOf(newer.id)));
        if (!bytes)
            continue;
        const ReadJournal later = readJournal(newer.id, bytes.value());
        if (!places)
            places = placesNow(opened.run);
        for (qsizetype phase = 0; phase < later.run.phases.size(); ++phase) {
            const PhaseRecord& record = later.run.phases[phase];
            if (record.setup.kind == PhaseKind::Undo || record.setup.kind == PhaseKind::Repair ||
                !record.ended)
                continue;
            const size_t from = qHash(record.setup.fromDir);
            for (const auto& [file, name] : awayIn(later.run, phase)) {
                if (places->contains(placeKey(from, record.intents[file].from))) {
                    window.showMessage(Message(newerRunMovedText(later.run.header)));
                    return false;
                }
            }
        }
    }

    window.setText(logField, QString());
    const qsizetype away = undo.awayCount();
    QString line;
    const UndoOutcome outcome = undo.undo(progressIn(window), [&](const QString& name) {
        appendLogLine(window, logField, name, line);
    });
    // The window paints while the end is recorded.
    const auto stillDone = [&window, away] { window.showProgress(away, away); };
    if (!outcome.journalFailure)
        whileWaiting(
            [&] { (void)opened.journal->write(journal::undoEndRecord(outcome.left.size())); },
            stillDone);
    disposal.later(std::move(opened.run));
    if (outcome.journalFailure) {
        Message box(historyWriteFailure(*outcome.journalFailure).cause);
        window.showMessage(box);
    } else if (!outcome.left.isEmpty()) {
        window.showMessage(leftMessage(outcome.left));
    }
    return !outcome.journalFailure;
}

namespace {

// A run no process holds whose journal is open, empty or cannot be read.
bool needsRecovery(const HistoryEntry& entry) {
    return !entry.running && (entry.summary.soundness != journal::Soundness::Sound ||
                              entry.summary.open || entry.summary.empty);
}

} // namespace

bool HistoryActions::anyInterrupted() const {
    const QList<HistoryEntry> entries = history_.entries(false);
    return std::any_of(entries.begin(), entries.end(), needsRecovery);
}

void HistoryActions::recoverInterrupted(RunWindow& window) {
    QList<HistoryEntry> entries = history_.entries(false);
    std::reverse(entries.begin(), entries.end());
    for (const HistoryEntry& entry : entries) {
        if (!needsRecovery(entry))
            continue;
        const bool unusable = entry.summary.soundness != journal::Soundness::Sound;
        OpenRun opened = openRun(fileSystem_, history_, entry.id, window);
        if (opened.unusable || unusable) {
            const FsResult<QString> aside = history_.setAside(entry.id);
            window.showMessage(Message(
                unusableJournalText(aside ? aside.value() : history_.pathOf(entry.id),
                                    entry.summary.soundness == journal::Soundness::OtherVersion)));
            continue;
        }
        if (!opened.journal) {
            if (!opened.problem.isEmpty() && opened.problem != runHeldElsewhereText())
                window.showMessage(Message(opened.problem));
            continue;
        }
        if (opened.empty) {
            opened.journal->discard();
            continue;
        }
        const qsizetype moved = awayIn(opened.run, 0).size();
        bool aside = false;
        qsizetype away = 0;
        for (qsizetype phase = 0; phase < opened.run.phases.size(); ++phase) {
            const AwayFiles files = awayIn(opened.run, phase);
            away += files.size();
            for (const auto& [file, name] : files)
                aside = aside || name != opened.run.phases[phase].intents[file].to;
        }
        // Cut short before its first move: there is nothing to ask about.
        if (away == 0) {
            opened.journal->discard();
            continue;
        }
        const qsizetype files = opened.run.phases.first().setup.files;
        Message question(interruptedRunText());
        question.informativeText = interruptedRunDetails(opened.run.header, moved, files, aside);
        question.buttons = MessageButtons::UndoKeep;
        const bool putBack = window.showMessage(question) == MessageAnswer::Undo;
        RunUndo undo(fileSystem_, *opened.journal, opened.run);
        const UndoOutcome outcome = putBack ? undo.undo(progressIn(window), {})
                                            : undo.repairTemporaryNames(progressIn(window));
        if (outcome.journalFailure) {
            window.showMessage(Message(historyWriteFailure(*outcome.journalFailure).cause));
            continue;
        }
        (void)opened.journal->write(journal::resolvedRecord(putBack, moved));
        if (!outcome.left.isEmpty())
            window.showMessage(leftMessage(outcome.left));
    }
}
