#include "core/rename/UndoJournal.h"

#include "core/fs/FileSystem.h"

#include <QHash>

#include <vector>

void UndoJournal::record(const QString& fromDir, const QString& fromName, const QString& toDir,
                         const QString& toName) {
    moves_.append({directionsIndex(fromDir, toDir), fromName, toName});
}

qsizetype UndoJournal::directionsIndex(const QString& fromDir, const QString& toDir) {
    for (qsizetype index = directions_.size() - 1; index >= 0; --index) {
        if (directions_[index].fromDir == fromDir && directions_[index].toDir == toDir)
            return index;
    }
    directions_.append({fromDir, toDir});
    return directions_.size() - 1;
}

void UndoJournal::clear() {
    moves_.clear();
    moves_.squeeze();
    directions_.clear();
}

UndoOutcome UndoJournal::undo(FileSystem& fileSystem,
                              const std::function<void(qsizetype, qsizetype)>& progress) {
    // A file moved more than once (through a temporary name, or back by
    // MoveBack) is one file: its moves share a number, and the first of them
    // left its place before the run. Worked out here, so that a run pays
    // nothing for it.
    const qsizetype total = moves_.size();
    std::vector<qsizetype> fileOf(static_cast<size_t>(total));
    std::vector<bool> firstOfFile(static_cast<size_t>(total));
    {
        QHash<QString, qsizetype> fileAtPath;
        for (qsizetype index = 0; index < total; ++index) {
            const Move& move = moves_[index];
            const Directions& directions = directions_[move.directions];
            const auto known = fileAtPath.constFind(directions.fromDir + move.fromName);
            firstOfFile[size_t(index)] = known == fileAtPath.cend();
            fileOf[size_t(index)] = firstOfFile[size_t(index)] ? index : *known;
            if (!firstOfFile[size_t(index)])
                fileAtPath.erase(known);
            fileAtPath.insert(directions.toDir + move.toName, fileOf[size_t(index)]);
        }
    }

    UndoOutcome outcome;
    std::vector<bool> stuck(size_t(total), false);
    for (qsizetype index = total - 1; index >= 0; --index) {
        const Move& move = moves_[index];
        const Directions& directions = directions_[move.directions];
        const size_t file = size_t(fileOf[size_t(index)]);
        if (stuck[file])
            continue;
        if (!fileSystem.moveFile(directions.toDir + move.toName,
                                 directions.fromDir + move.fromName)) {
            stuck[file] = true;
            outcome.leftWhereTheyAre.append(move.toName);
        } else if (firstOfFile[size_t(index)]) {
            outcome.restored.append(move.fromName);
        }
        progress(total - index, total);
    }
    clear();
    return outcome;
}
