#include "core/rename/MainPrg.h"

#include "core/fs/FailureReason.h"
#include "core/fs/FileSystem.h"
#include "core/fs/NameCodec.h"
#include "core/history/HistoryActions.h"
#include "core/history/HistoryText.h"
#include "core/history/JournalRecords.h"
#include "core/history/PhaseRecorder.h"
#include "core/history/RunJournal.h"
#include "core/history/StateDirectory.h"
#include "core/rename/PlanAhead.h"
#include "core/rename/PlanMoves.h"
#include "core/rename/PreviewText.h"
#include "core/rename/RenameOperation.h"
#include "core/rename/RenamePlan.h"
#include "core/rename/RunParameters.h"
#include "core/run/LogLine.h"
#include "core/run/RunWindow.h"
#include "core/run/WhileWaiting.h"

#include <QDateTime>

#include <functional>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const QString moveBackBox = u"chk_MoveBack"_s;
const QString logField = u"txt_Filename"_s;

QString fileLine(const QString& name) {
    return u"Datei: "_s + displayFileName(name);
}

QString directoryCause(const QString& directory, const FsError& error) {
    return u"Verzeichnis: "_s + displayFileName(directory) + u'\n' + failureReason(error);
}

// Lets the window repaint while the plan for `files` names is made.
std::function<void()> planningProgress(RunWindow& window, qsizetype files) {
    return [&window, files] { window.showProgress(0, files); };
}

// Lets the window repaint while a directory is read; how much there is to
// do is not known yet.
std::function<void()> readingProgress(RunWindow& window) {
    return [&window] { window.showProgress(0, 0); };
}

} // namespace

MainPrg::MainPrg(FileSystem& fileSystem) : fileSystem_(fileSystem), history_(historyDirectory()) {}

void MainPrg::ChangeFilename() {
    RenameRun(renameOperation(u"ChangeFilename"_s));
}
void MainPrg::CutandNumber() {
    RenameRun(renameOperation(u"CutandNumber"_s));
}
void MainPrg::ChangeString() {
    RenameRun(renameOperation(u"ChangeString"_s));
}
void MainPrg::AddNumber() {
    RenameRun(renameOperation(u"AddNumber"_s));
}
void MainPrg::CutNameFirst() {
    RenameRun(renameOperation(u"CutNameFirst"_s));
}
void MainPrg::CutNameLast() {
    RenameRun(renameOperation(u"CutNameLast"_s));
}
void MainPrg::CutNameStringLast() {
    RenameRun(renameOperation(u"CutNameStringLast"_s));
}
void MainPrg::AddText() {
    RenameRun(renameOperation(u"AddText"_s));
}

bool MainPrg::runOperation(const QString& key) {
    using EntryPoint = void (MainPrg::*)();
    static const QList<std::pair<QString, EntryPoint>> entryPoints = {
        {u"ChangeFilename"_s, &MainPrg::ChangeFilename},
        {u"CutandNumber"_s, &MainPrg::CutandNumber},
        {u"AddNumber"_s, &MainPrg::AddNumber},
        {u"CutNameFirst"_s, &MainPrg::CutNameFirst},
        {u"CutNameLast"_s, &MainPrg::CutNameLast},
        {u"AddText"_s, &MainPrg::AddText},
        {u"ReadID3"_s, &MainPrg::ReadID3},
        {u"CutNameStringLast"_s, &MainPrg::CutNameStringLast},
        {u"ChangeString"_s, &MainPrg::ChangeString},
    };
    for (const auto& [operationKey, entryPoint] : entryPoints) {
        if (operationKey == key) {
            (this->*entryPoint)();
            return true;
        }
    }
    return false;
}

void MainPrg::fail(const QString& message, const QString& cause) {
    Message box(message);
    box.informativeText = cause;
    window_->showMessage(box);
}

void MainPrg::failAt(const QString& message, const QString& file, const QString& cause) {
    fail(message, fileLine(file) + u'\n' + cause);
}

void MainPrg::failInDirectory(const QString& message, const QString& directory,
                              const FsError& error) {
    fail(message, directoryCause(directory, error));
}

FsResult<QStringList> MainPrg::listFiles(const QString& directory) const {
    return fileSystem_.listFilesReporting(directory, readingProgress(*window_));
}

FsResult<IdentifiedFiles> MainPrg::listIdentified(const QString& directory) const {
    return fileSystem_.listFilesIdentified(directory, readingProgress(*window_));
}

qsizetype MainPrg::eachFileLogged(const QStringList& names,
                                  const std::function<bool(qsizetype)>& step) {
    qsizetype logged = 0;
    return stepsWhileWaiting(names.size(), step, [&](qsizetype ended) {
        for (; logged < ended; ++logged)
            appendLogLine(*window_, logField, names[logged], logLine_);
        window_->showProgress(ended, names.size());
    });
}

// What a rename run lists and plans, freed once the run has ended.
struct RunFiles {
    IdentifiedFiles listed;
    RenamePlan plan;
    IdentifiedFiles movedBack;
};

void MainPrg::RenameRun(const RenameOperation& operation) {
    RunFiles files;
    renameFiles(operation, files);
    disposal_.later(std::move(files));
}

void MainPrg::renameFiles(const RenameOperation& operation, RunFiles& files) {
    Q_ASSERT(window_);
    RunWindow& window = *window_;
    // The journal is made at the first move.
    RunJournal journal(history_,
                       RunHeader{QDateTime::currentMSecsSinceEpoch(), ::getpid(), operation.key,
                                 SourceDir, TargetDir, window.isTicked(moveBackBox)});

    // The whole listing is taken before the first move, so that a target
    // directory that is the source directory gives each file one new name.
    FsResult<IdentifiedFiles> listing = listIdentified(SourceDir);
    const qint64 listedMs = listedNow();
    if (!listing) {
        failInDirectory(operation.failureMessage, SourceDir, listing.error());
        return;
    }
    const RunParameters parameters = readRunParameters(operation, window, *this);
    for (const QString& notice : parameters.notices)
        window.showMessage(Message{notice});
    if (parameters.fault) {
        fail(parameters.fault->text, parameters.fault->cause);
        return;
    }

    window.setText(logField, QString());
    if (parameters.startNumber)
        RunningNumber = *parameters.startNumber;
    files.listed = std::move(listing).value();
    const IdentifiedFiles& listed = files.listed;
    const std::function<void()> planning = planningProgress(window, listed.names.size());
    PlanAhead planAhead(operation, *this, listed.names, fileSystem_, window.isTicked(moveBackBox),
                        files.plan, planning);
    const RenamePlan& plan = files.plan;

    PhaseRecorder recorder(
        journal, fileSystem_,
        phaseBetween(fileSystem_, PhaseKind::Run, SourceDir, TargetDir, plan.inPlace, listedMs),
        {.from = plan.listed,
         .to = plan.newNames,
         .inodes = &listed.inodes,
         .namedUpTo = [&planAhead](qsizetype end) { return planAhead.plannedUpTo(end); }});
    PlanMoves moves(
        fileSystem_, plan, SourceDir, TargetDir, recorder,
        plan.inPlace ? std::function<EncodedNames(qsizetype)>()
                     : [&planAhead](qsizetype index) { return planAhead.encodedNames(index); });
    // The file the run ends with early, and why.
    std::optional<std::pair<QString, QString>> stop;
    const qsizetype handled = eachFileLogged(plan.listed, [&](qsizetype index) {
        const PlanStop* stopsHere = planAhead.stopAt(index);
        if (stopsHere && !stopsHere->afterMove)
            stop.emplace(plan.listed[index], stopsHere->reason);
        else if (const std::optional<MoveFailure> failure = moves.moveListed(index))
            stop.emplace(failure->name, failureReason(failure->error));
        else if (stopsHere)
            stop.emplace(plan.listed[index], stopsHere->reason);
        return !stop;
    });
    recorder.end();
    planAhead.finish(planning);
    const qsizetype renamed = recorder.movedCount();
    if (stop) {
        CurrentName = plan.listed[handled - 1];
        // A file left under a temporary name keeps the run undoable.
        endRun(journal, renamed, renamed + recorder.asideCount());
        // The journal could not be made: the run has not begun.
        if (journal.failure() && !journal.exists())
            fail(operation.failureMessage,
                 runNotStartedText(history_.directory(), *journal.failure()));
        else
            failAt(operation.failureMessage, stop->first, stop->second);
        return;
    }

    // In place, MoveBack would move every file onto itself.
    qsizetype movedBack = 0;
    if (plan.moveBack && !plan.inPlace) {
        const std::optional<MoveFailure> failure = MoveBack(journal, movedBack, files.movedBack);
        endRun(journal, renamed, renamed + movedBack);
        if (failure) {
            if (failure->name.isEmpty())
                failInDirectory(operation.failureMessage, TargetDir, failure->error);
            else
                failAt(operation.failureMessage, failure->name, failureReason(failure->error));
            return;
        }
    } else {
        endRun(journal, renamed, renamed);
    }
    CurrentName.clear();
}

std::optional<MoveFailure> MainPrg::MoveBack(RunJournal& journal, qsizetype& moved,
                                             IdentifiedFiles& files) {
    FsResult<IdentifiedFiles> listing = listIdentified(TargetDir);
    const qint64 listedMs = listedNow();
    if (!listing)
        return MoveFailure{QString(), listing.error()};
    files = std::move(listing).value();
    const QStringList& names = files.names;
    PhaseRecorder recorder(
        journal, fileSystem_,
        phaseBetween(fileSystem_, PhaseKind::MoveBack, TargetDir, SourceDir, false, listedMs),
        {names, names, &files.inodes});
    const std::unique_ptr<DirectoryMoves> moves = fileSystem_.movesBetween(TargetDir, SourceDir);
    // The source takes MoveBack's names by the rules the target held for the run.
    const TargetRules sourceRules = fileSystem_.targetRules(SourceDir);
    std::optional<MoveFailure> failure;
    QByteArray encoded;
    const qsizetype handled = stepsWhileWaiting(
        names.size(),
        [&](qsizetype index) {
            const QString& name = names[index];
            if (std::optional<QString> refusal = sourceRules.refusal(name)) {
                failure = MoveFailure{
                    name, FsError(FsErrorCode::InvalidName, SourceDir + name, 0, *refusal)};
                return false;
            }
            if (const FsStatus announced = recorder.mayMove(index); !announced) {
                failure = MoveFailure{name, announced.error()};
                return false;
            }
            // Under the same name: encoded once for both sides.
            encodeFileNameInto(name, encoded);
            const FsStatus movedBack = moves->moveEncoded(name, name, {encoded, encoded});
            if (movedBack)
                recorder.moved(index, name, name);
            else if (sourceIsGone(movedBack.error(), TargetDir + name))
                recorder.gone(index);
            else
                failure = MoveFailure{name, movedBack.error()};
            return !failure;
        },
        [&](qsizetype ended) { window_->showProgress(ended, names.size()); });
    recorder.end();
    moved = recorder.movedCount();
    if (failure)
        CurrentName = names[handled - 1];
    return failure;
}

void MainPrg::endRun(RunJournal& journal, qsizetype renamed, qsizetype moved) {
    if (!journal.exists())
        return;
    if (moved == 0) {
        journal.discard();
        return;
    }
    // Unwritten, the end shows as a kill: the next start finds the files
    // where they are and asks about them.
    (void)journal.write(journal::runEndRecord(renamed));
    lastRun_ = journal.id();
    history_.prune(lastRun_);
}

bool MainPrg::previewOperation(const QString& key) {
    const RenameOperation* operation = findRenameOperation(key);
    if (!operation)
        return false;
    Q_ASSERT(window_);
    RunWindow& window = *window_;
    // The preview works on a copy, so that the run's state stays as it was.
    RenameState state = *this;
    // The heading names the target's file system; a plan has found it out.
    const auto heading = [&state](const TargetRules& targetRules) {
        return previewHeading(state.SourceDir, state.TargetDir, targetRules);
    };
    QString text;
    FsResult<QStringList> listing = listFiles(state.SourceDir);
    if (!listing) {
        window.setText(logField,
                       heading(fileSystem_.targetRules(state.TargetDir)) +
                           previewFault(directoryCause(state.SourceDir, listing.error())));
        return true;
    }
    const RunParameters parameters = readRunParameters(*operation, window, state);
    for (const QString& notice : parameters.notices)
        text += previewNotice(notice);
    if (parameters.fault) {
        const ParameterFault& fault = *parameters.fault;
        text = heading(fileSystem_.targetRules(state.TargetDir)) + text +
               previewFault(fault.cause.isEmpty() ? fault.text : fault.cause);
    } else {
        if (parameters.startNumber)
            state.RunningNumber = *parameters.startNumber;
        const qsizetype listed = listing.value().size();
        RenamePlan plan =
            planRenames(*operation, state, std::move(listing).value(), fileSystem_,
                        window.isTicked(moveBackBox), planningProgress(window, listed));
        planMoveBack(plan, fileSystem_, state, readingProgress(window));
        text = heading(plan.targetRules) + text + previewText(plan);
    }
    window.setText(logField, text);
    return true;
}

void MainPrg::undoLastRun() {
    if (lastRun_.isEmpty())
        return;
    Q_ASSERT(window_);
    HistoryActions(fileSystem_, history_)
        .undo(std::exchange(lastRun_, QString()), *window_, disposal_);
}

QList<HistoryRow> MainPrg::historyRows() const {
    return HistoryActions(fileSystem_, history_).rows();
}

void MainPrg::undoRun(const QString& id) {
    Q_ASSERT(window_);
    if (id == lastRun_)
        lastRun_.clear();
    HistoryActions(fileSystem_, history_).undo(id, *window_, disposal_);
}

void MainPrg::recoverInterruptedRuns(RunWindow& window) {
    HistoryActions(fileSystem_, history_).recoverInterrupted(window);
}

bool MainPrg::anyInterruptedRuns() const {
    return HistoryActions(fileSystem_, history_).anyInterrupted();
}
