#include "rename/MainPrg.h"

#include "platform/FileNameRules.h"
#include "platform/FileSystem.h"
#include "platform/NameCodec.h"
#include "platform/RunWindow.h"
#include "rename/NameTransforms.h"
#include "rename/NumericField.h"
#include "rename/RenameOperation.h"

using namespace Qt::StringLiterals;

namespace {

const QString searchField = u"txt_Suchstring"_s;
const QString stepField = u"txt_Step"_s;
const QString optionBox = u"chk_Leerz"_s;
const QString moveBackBox = u"chk_MoveBack"_s;
const QString logField = u"txt_Filename"_s;

const QString lineEnd = u"\r\n"_s;

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

void MainPrg::fail(const QString& message) {
    window_->showMessage(Message{message});
}

void MainPrg::RenameRun(const RenameOperation& operation) {
    Q_ASSERT(window_);
    RunWindow& window = *window_;

    // The whole listing is taken before the first move, so that a target
    // directory that is the source directory gives each file one new name.
    FsResult<QStringList> listing = fileSystem_.listFiles(SourceDir);
    if (!listing) {
        fail(operation.failureMessage);
        return;
    }
    const QStringList names = std::move(listing).value();

    SearchText = window.fieldText(searchField);
    std::optional<qint16> startNumber;
    switch (operation.parameters) {
    case RenameParameters::SearchTextOnly:
        break;
    case RenameParameters::CharacterCount: {
        const std::optional<qint16> count = numericFieldValue(SearchText);
        if (!count) {
            fail(operation.failureMessage);
            return;
        }
        CharCount = *count;
        if (CharCount == 0)
            window.showMessage(Message{u"Keine verwendbare Zeichenzahl angegeben"_s});
        break;
    }
    case RenameParameters::Replacement:
        ReplaceText = window.fieldText(stepField);
        RepeatReplace = window.isTicked(optionBox);
        if (RepeatReplace && transform::repeatReplaceCannotEnd(SearchText, ReplaceText)) {
            window.showMessage(Message{u"Mehrfaches Ersetzen ist so nicht möglich: String 1 ist "
                                       u"leer oder in String 2 enthalten. Es wurde nichts "
                                       u"umbenannt."_s});
            return;
        }
        break;
    case RenameParameters::Numbering: {
        const std::optional<qint16> step = numericFieldValue(window.fieldText(stepField));
        startNumber = numericFieldValue(SearchText);
        if (!step || !startNumber) {
            fail(operation.failureMessage);
            return;
        }
        NumberStep = *step;
        BlankAfterNumber = window.isTicked(optionBox);
        break;
    }
    }

    window.setText(logField, QString());
    if (startNumber)
        RunningNumber = *startNumber;

    const bool numbering = operation.parameters == RenameParameters::Numbering;
    for (qsizetype index = 0; index < names.size(); ++index) {
        CurrentName = names[index];
        window.appendText(logField, displayFileName(CurrentName) + lineEnd);
        // A new name with a separator would move the file out of the target.
        if (!operation.transform(*this) || !isPlainFileName(NewName)) {
            fail(operation.failureMessage);
            return;
        }
        if (!moveListedFile(SourceDir + CurrentName, TargetDir + NewName)) {
            fail(operation.failureMessage);
            return;
        }
        if (numbering) {
            const int next = RunningNumber + NumberStep;
            if (next < -32768 || next > 32767) {
                fail(operation.failureMessage);
                return;
            }
            RunningNumber = qint16(next);
        }
        window.showProgress(index + 1, names.size());
    }

    if (window.isTicked(moveBackBox) && !MoveBack()) {
        fail(operation.failureMessage);
        return;
    }
    CurrentName.clear();
}

bool MainPrg::MoveBack() {
    FsResult<QStringList> listing = fileSystem_.listFiles(TargetDir);
    if (!listing)
        return false;
    const QStringList names = std::move(listing).value();
    for (qsizetype index = 0; index < names.size(); ++index) {
        CurrentName = names[index];
        if (!moveListedFile(TargetDir + CurrentName, SourceDir + CurrentName))
            return false;
        window_->showProgress(index + 1, names.size());
    }
    return true;
}

bool MainPrg::moveListedFile(const QString& from, const QString& to) {
    // A file that has gone since the listing is skipped on moveFile's answer;
    // a test of its own before each move would cost a second path lookup, a
    // good part of the time a move takes in a large directory.
    const FsStatus moved = fileSystem_.moveFile(from, to);
    if (moved)
        return true;
    const FsError& error = moved.error();
    return error.path == from &&
           (error.code == FsErrorCode::NotFound || error.code == FsErrorCode::NotAFile);
}
