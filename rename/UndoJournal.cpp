#include "rename/UndoJournal.h"

#include "platform/FileSystem.h"

#include <vector>

void UndoJournal::record(const QString& fromDir, const QString& fromName, const QString& toDir,
                         const QString& toName) {
    // A file moved again (through a temporary name, or back by MoveBack)
    // keeps its number, so that undo knows its first place.
    const auto known = fileAtPath_.constFind(fromDir + fromName);
    const bool firstOfFile = known == fileAtPath_.cend();
    qsizetype file = files_;
    if (firstOfFile) {
        ++files_;
    } else {
        file = *known;
        fileAtPath_.erase(known);
    }
    moves_.append({file, firstOfFile, fromDir, fromName, toDir, toName});
    fileAtPath_.insert(toDir + toName, file);
}

void UndoJournal::clear() {
    moves_.clear();
    fileAtPath_.clear();
    files_ = 0;
}

UndoOutcome UndoJournal::undo(FileSystem& fileSystem,
                              const std::function<void(qsizetype, qsizetype)>& progress) {
    UndoOutcome outcome;
    std::vector<bool> stuck(size_t(files_), false);
    const qsizetype total = moves_.size();
    for (qsizetype index = total - 1; index >= 0; --index) {
        const Move& move = moves_[index];
        if (stuck[size_t(move.file)])
            continue;
        if (!fileSystem.moveFile(move.toDir + move.toName, move.fromDir + move.fromName)) {
            stuck[size_t(move.file)] = true;
            outcome.leftWhereTheyAre.append(move.toName);
        } else if (move.firstOfFile) {
            outcome.restored.append(move.fromName);
        }
        progress(total - index, total);
    }
    clear();
    return outcome;
}
