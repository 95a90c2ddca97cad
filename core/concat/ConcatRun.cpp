#include "core/concat/ConcatRun.h"

#include "core/concat/ConcatMessages.h"
#include "core/concat/ControlNames.h"
#include "core/concat/CopyFilesWindow.h"
#include "core/concat/ShortName.h"
#include "core/concat/WorkDirs.h"
#include "core/fs/FileJoiner.h"
#include "core/fs/FileNameRules.h"
#include "core/fs/FileSystem.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr int pauseSeconds = 2;

// Marks the state as running for as long as the run lasts.
class RunningFlag {
public:
    explicit RunningFlag(bool& running) : running_(running) { running_ = true; }
    RunningFlag(const RunningFlag&) = delete;
    RunningFlag& operator=(const RunningFlag&) = delete;
    ~RunningFlag() { running_ = false; }

private:
    bool& running_;
};

} // namespace

ConcatRun::ConcatRun(ConcatState& state, CopyFilesWindow& window, FileSystem& fileSystem,
                     FileJoiner& joiner)
    : state_(state), window_(window), fileSystem_(fileSystem), joiner_(joiner) {}

void ConcatRun::Start() {
    // A second run started from the first one's pause would share its tables.
    if (state_.running)
        return;
    const RunningFlag running(state_.running);
    run();
}

bool ConcatRun::stop(const Message& message) {
    window_.showMessage(message);
    return false;
}

void ConcatRun::run() {
    window_.setCancelled(false);
    if (window_.fieldText(control::datei(2)).isEmpty()) {
        stop(concatMessages::missingFiles());
        return;
    }
    ConfirmEach = window_.isSelected(control::confirmEachOption);
    state_.AutoMode = window_.isSelected(control::autoModeOption);

    SlotCount = 4;
    if (window_.fieldText(control::datei(4)).isEmpty())
        SlotCount = 3;
    if (window_.fieldText(control::datei(3)).isEmpty())
        SlotCount = 2;

    if (!inputsChosen() || !listInputs())
        return;

    for (state_.PassNo = 1;; ++state_.PassNo) {
        if (state_.PassNo > PassCount) {
            finalReport();
            return;
        }
        window_.setText(control::progress, QString());
        ShowPassNames();
        if (state_.PassNo >= 2 && ConfirmEach &&
            window_.showMessage(concatMessages::confirmation(state_.PassNo, SlotCount)) ==
                MessageAnswer::Cancel)
            return;
        window_.setText(control::progress, concatMessages::progressText(state_.PassNo));
        window_.Pause(pauseSeconds);
        if (window_.isCancelled())
            return;
        if (!runPass()) {
            window_.setText(control::progress, QString());
            return;
        }
    }
}

// Everything the run will touch is checked before the first file is.
bool ConcatRun::inputsChosen() {
    const int listedSlots = state_.AutoMode ? 1 : SlotCount;
    for (int slot = 1; slot <= listedSlots; ++slot) {
        if (state_.InputDir[slot - 1].isEmpty())
            return stop(concatMessages::missingFiles());
    }
    const QString& firstDir = state_.InputDir[0];
    if (parentDirectory(firstDir).isEmpty())
        return stop(concatMessages::rootDirectory(firstDir));
    for (int slot = 2; slot <= listedSlots; ++slot) {
        for (int earlier = 1; earlier < slot; ++earlier) {
            if (state_.InputDir[slot - 1] == state_.InputDir[earlier - 1])
                return stop(
                    concatMessages::sameDirectory(earlier, slot, state_.InputDir[slot - 1]));
        }
    }
    for (const QString& directory : {state_.OutputDir, state_.MoveDir}) {
        const FsStatus created = fileSystem_.createDirectory(directory);
        if (!created && created.error().code != FsErrorCode::AlreadyExists)
            return stop(concatMessages::workDirectoryFailed(created.error(), false));
        // What exists under the name must be a directory the run can use.
        const FsResult<QStringList> usable = fileSystem_.listFiles(directory);
        if (!usable)
            return stop(concatMessages::workDirectoryFailed(usable.error(), !created));
    }
    return true;
}

bool ConcatRun::listInputs() {
    state_.PassName.clear();
    state_.PassPath.clear();
    PassCount = 0;
    return state_.AutoMode ? listAutomatic() : listManual();
}

bool ConcatRun::listManual() {
    QList<QStringList> listings;
    for (int slot = 1; slot <= SlotCount; ++slot) {
        FsResult<QStringList> names = fileSystem_.listFiles(state_.InputDir[slot - 1]);
        if (!names)
            return stop(concatMessages::listingFailed(names.error()));
        listings.append(std::move(names).value());
    }
    qsizetype passes = listings.first().size();
    for (const QStringList& names : std::as_const(listings))
        passes = std::min(passes, names.size());
    PassCount = qint32(passes);
    state_.PassName.resize(passes);
    state_.PassPath.resize(passes);
    for (qsizetype pass = 0; pass < passes; ++pass) {
        for (int slot = 1; slot <= SlotCount; ++slot) {
            const QString& name = listings[slot - 1][pass];
            state_.PassName[pass][slot - 1] = name;
            state_.PassPath[pass][slot - 1] = state_.InputDir[slot - 1] + name;
        }
    }
    return true;
}

bool ConcatRun::listAutomatic() {
    FsResult<QStringList> listing = fileSystem_.listFiles(state_.InputDir[0]);
    if (!listing)
        return stop(concatMessages::listingFailed(listing.error()));
    const QStringList names = std::move(listing).value();
    const qsizetype passes = (names.size() + SlotCount - 1) / SlotCount;
    PassCount = qint32(passes);
    state_.PassName.resize(passes);
    state_.PassPath.resize(passes);
    for (qsizetype index = 0; index < names.size(); ++index) {
        const qsizetype pass = index / SlotCount;
        const qsizetype slot = index % SlotCount;
        state_.PassName[pass][slot] = names[index];
        state_.PassPath[pass][slot] = state_.InputDir[0] + names[index];
    }
    return true;
}

QString ConcatRun::ShortName(int slot) const {
    return shortNameOf(state_.PassName[state_.PassNo - 1][slot - 1]);
}

void ConcatRun::ShowPassNames() {
    const SlotTexts& names = state_.PassName[state_.PassNo - 1];
    for (int slot = 1; slot <= slotTotal; ++slot)
        window_.setText(control::datei(slot), names[slot - 1]);
}

bool ConcatRun::runPass() {
    const qint32 passNo = state_.PassNo;
    const SlotTexts& names = state_.PassName[passNo - 1];
    const SlotTexts& paths = state_.PassPath[passNo - 1];

    QStringList inputs;
    QStringList targets;
    QString outputName = ShortName(1);
    for (int slot = 1; slot <= SlotCount; ++slot) {
        const QString& path = paths[slot - 1];
        if (path.isEmpty())
            continue;
        const FsResult<qint64> size = joiner_.fileSize(path);
        if (!size)
            return stop(concatMessages::readFailed(size.error(), passNo));
        if (slot >= 2 && size.value() > 0)
            outputName += u'_' + ShortName(slot);
        inputs.append(path);
        targets.append(state_.MoveDir + names[slot - 1]);
    }
    outputName += state_.FileExt;
    state_.OutputName = state_.OutputDir + outputName;

    if (outputName.isEmpty() || !isPlainFileName(outputName))
        return stop(concatMessages::writeFailed(
            FsError{FsErrorCode::InvalidName, state_.OutputName, 0}, passNo));
    const FsResult<bool> outputTaken = fileSystem_.entryExists(state_.OutputName);
    if (!outputTaken)
        return stop(concatMessages::writeFailed(outputTaken.error(), passNo));
    if (outputTaken.value())
        return stop(concatMessages::outputExists(state_.OutputName, passNo));
    for (qsizetype index = 0; index < targets.size(); ++index) {
        if (targets.indexOf(targets[index]) != index)
            return stop(concatMessages::moveTargetTwice(targets[index], passNo));
        const FsResult<bool> targetTaken = fileSystem_.entryExists(targets[index]);
        if (!targetTaken)
            return stop(concatMessages::moveTargetUnknown(targetTaken.error(), passNo));
        if (targetTaken.value())
            return stop(concatMessages::moveTargetExists(targets[index], passNo));
    }

    const FsStatus joined = joiner_.joinFiles(inputs, state_.OutputName);
    if (!joined) {
        if (joined.error().code == FsErrorCode::NotFlushed)
            return stop(concatMessages::outputNotFlushed(joined.error(), passNo));
        if (joined.error().path == state_.OutputName)
            return stop(concatMessages::writeFailed(joined.error(), passNo));
        return stop(concatMessages::readFailed(joined.error(), passNo));
    }

    // Only now are the inputs' bytes safe in the output.
    for (qsizetype index = 0; index < inputs.size(); ++index) {
        const FsStatus moved = fileSystem_.moveFile(inputs[index], targets[index]);
        if (!moved)
            return rollBackPass(inputs, targets, index, moved.error());
    }
    return true;
}

// A pass left half done would have automatic mode join its remaining inputs
// again at the next start; taken back whole, it can simply be run again.
bool ConcatRun::rollBackPass(const QStringList& inputs, const QStringList& targets,
                             qsizetype failed, const FsError& error) {
    concatMessages::PassLeft left;
    for (qsizetype index = failed - 1; index >= 0 && left.inputInMove.isEmpty(); --index) {
        if (const FsStatus back = fileSystem_.moveFile(targets[index], inputs[index]); !back) {
            left.inputInMove = targets[index];
            left.inputNotBack = back.error();
        }
    }
    // With an input still in the move directory, the output is the only
    // place where all of the pass's bytes are joined: it stays.
    if (left.inputInMove.isEmpty()) {
        if (const FsStatus removed = joiner_.removeJoined(state_.OutputName); !removed)
            left.outputNotRemoved = removed.error();
    }
    return stop(
        concatMessages::moveFailed(inputs[failed], targets[failed], error, state_.PassNo, left));
}

void ConcatRun::finalReport() {
    QString remark;
    if (!state_.AutoMode) {
        for (int slot = 1; slot <= SlotCount; ++slot) {
            const FsResult<QStringList> names = fileSystem_.listFiles(state_.InputDir[slot - 1]);
            // A directory that cannot be read may still hold files.
            if (!names || !names.value().isEmpty())
                remark = concatMessages::remainingFilesRemark();
        }
    }
    window_.showMessage(concatMessages::finished(remark));
    window_.setText(control::progress, QString());
}
