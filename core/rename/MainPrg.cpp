#include "core/rename/MainPrg.h"

#include "core/fs/FailureReason.h"
#include "core/fs/FileSystem.h"
#include "core/fs/NameCodec.h"
#include "core/rename/PlanMoves.h"
#include "core/rename/PreviewText.h"
#include "core/rename/RenameOperation.h"
#include "core/rename/RenamePlan.h"
#include "core/rename/RunParameters.h"
#include "core/run/RunWindow.h"
#include "core/run/WhileWaiting.h"

#include <functional>

using namespace Qt::StringLiterals;

namespace {

const QString moveBackBox = u"chk_MoveBack"_s;
const QString logField = u"txt_Filename"_s;

const QString lineEnd = u"\r\n"_s;

// The longest list of names a message shows; the rest is counted.
constexpr qsizetype namesInMessage = 20;

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

Message notUndoneMessage(const QStringList& names) {
    QString text = names.size() == 1
                       ? u"1 Datei konnte nicht zurückbenannt werden:"_s
                       : u"%1 Dateien konnten nicht zurückbenannt werden:"_s.arg(names.size());
    for (qsizetype index = 0; index < std::min(names.size(), namesInMessage); ++index)
        text += u'\n' + displayFileName(names[index]);
    if (names.size() > namesInMessage)
        text += u"\n… und %1 weitere"_s.arg(names.size() - namesInMessage);
    return Message(text);
}

} // namespace

MainPrg::MainPrg(FileSystem& fileSystem) : fileSystem_(fileSystem) {}

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

void MainPrg::logName(const QString& name) {
    // One buffer for every line: a line of a long run costs no allocation.
    logLine_.resize(0);
    logLine_ += displayFileName(name);
    logLine_ += lineEnd;
    window_->appendText(logField, logLine_);
}

qsizetype MainPrg::eachFileLogged(const QStringList& names,
                                  const std::function<bool(qsizetype)>& step) {
    qsizetype logged = 0;
    return stepsWhileWaiting(names.size(), step, [&](qsizetype ended) {
        for (; logged < ended; ++logged)
            logName(names[logged]);
        window_->showProgress(ended, names.size());
    });
}

void MainPrg::RenameRun(const RenameOperation& operation) {
    Q_ASSERT(window_);
    RunWindow& window = *window_;
    undoJournal_.clear();

    // The whole listing is taken before the first move, so that a target
    // directory that is the source directory gives each file one new name.
    FsResult<QStringList> listing = listFiles(SourceDir);
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
    const qsizetype listed = listing.value().size();
    const RenamePlan plan =
        planRenames(operation, *this, std::move(listing).value(), fileSystem_,
                    window.isTicked(moveBackBox), planningProgress(window, listed));

    undoJournal_.reserve(plan.moveCount());
    PlanMoves moves(fileSystem_, plan, SourceDir, TargetDir, undoJournal_);
    // The file the run ends with early, and why.
    std::optional<std::pair<QString, QString>> stop;
    const qsizetype handled = eachFileLogged(plan.listed, [&](qsizetype index) {
        const bool stopsHere = plan.stop && plan.stop->index == index;
        if (stopsHere && !plan.stop->afterMove)
            stop.emplace(plan.listed[index], plan.stop->reason);
        else if (const std::optional<MoveFailure> failure = moves.moveListed(index))
            stop.emplace(failure->name, failureReason(failure->error));
        else if (stopsHere)
            stop.emplace(plan.listed[index], plan.stop->reason);
        return !stop;
    });
    if (stop) {
        CurrentName = plan.listed[handled - 1];
        failAt(operation.failureMessage, stop->first, stop->second);
        return;
    }

    // In place, MoveBack would move every file onto itself.
    if (plan.moveBack && !plan.inPlace) {
        if (const std::optional<MoveFailure> failure = MoveBack()) {
            if (failure->name.isEmpty())
                failInDirectory(operation.failureMessage, TargetDir, failure->error);
            else
                failAt(operation.failureMessage, failure->name, failureReason(failure->error));
            return;
        }
    }
    CurrentName.clear();
}

std::optional<MoveFailure> MainPrg::MoveBack() {
    FsResult<QStringList> listing = listFiles(TargetDir);
    if (!listing)
        return MoveFailure{QString(), listing.error()};
    const QStringList names = std::move(listing).value();
    undoJournal_.reserve(names.size());
    const std::unique_ptr<DirectoryMoves> moves = fileSystem_.movesBetween(TargetDir, SourceDir);
    // The source takes MoveBack's names by the rules the target held for the run.
    const TargetRules sourceRules = fileSystem_.targetRules(SourceDir);
    std::optional<MoveFailure> failure;
    const qsizetype handled = stepsWhileWaiting(
        names.size(),
        [&](qsizetype index) {
            const QString& name = names[index];
            if (std::optional<QString> refusal = sourceRules.refusal(name)) {
                failure = MoveFailure{
                    name, FsError(FsErrorCode::InvalidName, SourceDir + name, 0, *refusal)};
                return false;
            }
            const FsStatus moved = moves->move(name, name);
            if (moved)
                undoJournal_.record(TargetDir, name, SourceDir, name);
            else if (!sourceIsGone(moved.error(), TargetDir + name))
                failure = MoveFailure{name, moved.error()};
            return !failure;
        },
        [&](qsizetype ended) { window_->showProgress(ended, names.size()); });
    if (failure)
        CurrentName = names[handled - 1];
    return failure;
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
    if (undoJournal_.isEmpty())
        return;
    Q_ASSERT(window_);
    RunWindow& window = *window_;
    window.setText(logField, QString());
    const UndoOutcome outcome =
        undoJournal_.undo(fileSystem_, [&window](qsizetype done, qsizetype total) {
            window.showProgress(done, total);
        });
    QString log;
    log.reserve(outcome.restored.size() * 32);
    for (const QString& name : outcome.restored)
        log += displayFileName(name) + lineEnd;
    window.appendText(logField, log);
    if (!outcome.leftWhereTheyAre.isEmpty())
        window.showMessage(notUndoneMessage(outcome.leftWhereTheyAre));
}
