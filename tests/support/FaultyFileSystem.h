#pragma once

#include "core/fs/LocalFileSystem.h"

#include <atomic>
#include <functional>

// The real file system with faults that a test can switch on where the real
// one cannot be made to fail: a hook after each listing and one before each
// move or read, and moves or reads that fail from the N-th call on.
class FaultyFileSystem final : public FileSystem {
public:
    std::function<void()> afterListing;
    std::function<void()> beforeMoveOrRead;
    int failMovesFrom = -1; // 0-based index of the first move that fails; -1: none
    int failingMoves = -1;  // how many moves fail from there on; -1: all
    FsErrorCode moveFailure = FsErrorCode::NoSpace;
    int failReadsFrom = -1;
    int moves = 0;                      // every move asked for, the failed ones included
    mutable std::atomic<int> reads = 0; // read on the threads that read ahead too

    FsResult<QStringList> listFiles(const QString& directory) const override {
        FsResult<QStringList> names = real_.listFiles(directory);
        if (afterListing)
            afterListing();
        return names;
    }
    FsResult<QStringList> listEntries(const QString& directory) const override {
        return real_.listEntries(directory);
    }
    TargetRules targetRules(const QString& directory) const override {
        return real_.targetRules(directory);
    }
    FsResult<DirectoryVolume> volumeOf(const QString& directory) const override {
        return real_.volumeOf(directory);
    }
    FsResult<FileIdentity> identityOf(const QString& path) const override {
        return real_.identityOf(path);
    }
    FsStatus removeUnfinishedTarget(const QString& from, const QString& to) override {
        return real_.removeUnfinishedTarget(from, to);
    }
    FsResult<bool> isSameDirectory(const QString& first, const QString& second) const override {
        return real_.isSameDirectory(first, second);
    }
    FsResult<bool> entryExists(const QString& path) const override {
        return real_.entryExists(path);
    }
    FsStatus moveFile(const QString& from, const QString& to) override {
        if (beforeMoveOrRead)
            beforeMoveOrRead();
        const int move = moves++;
        if (failMovesFrom >= 0 && move >= failMovesFrom &&
            (failingMoves < 0 || move < failMovesFrom + failingMoves))
            return FsStatus::failure({moveFailure, to, 0});
        return real_.moveFile(from, to);
    }
    FsResult<FileTail> readTail(const QString& path, qint64 length) const override {
        if (beforeMoveOrRead)
            beforeMoveOrRead();
        if (failReadsFrom >= 0 && reads++ >= failReadsFrom)
            return FsError{FsErrorCode::AccessDenied, path, 0};
        return real_.readTail(path, length);
    }
    FsStatus createDirectory(const QString& path) override { return real_.createDirectory(path); }

private:
    LocalFileSystem real_;
};
