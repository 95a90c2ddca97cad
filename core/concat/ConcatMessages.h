#pragma once

#include "core/fs/FsResult.h"
#include "core/run/RunWindow.h"

#include <optional>

// The texts the concatenation run shows.
namespace concatMessages {

QString progressText(qint32 passNo);
Message missingFiles();
Message confirmation(qint32 passNo, qint32 slotCount);
Message finished(const QString& remark);
QString remainingFilesRemark();

Message sameDirectory(int firstSlot, int secondSlot, const QString& directory);
Message rootDirectory(const QString& directory);
// `nameTaken`: something that is not a usable directory already has the name.
Message workDirectoryFailed(const FsError& error, bool nameTaken);
Message listingFailed(const FsError& error);
Message outputExists(const QString& outputPath, qint32 passNo);
Message moveTargetExists(const QString& targetPath, qint32 passNo);
Message moveTargetTwice(const QString& targetPath, qint32 passNo);
Message readFailed(const FsError& error, qint32 passNo);
Message writeFailed(const FsError& error, qint32 passNo);
Message outputNotFlushed(const FsError& error, qint32 passNo);
// Whether "Move" holds an entry of an input's name could not be found out.
Message moveTargetUnknown(const FsError& error, qint32 passNo);

// What a pass taken back after a failed move into "Move" could not undo.
struct PassLeft {
    QString inputInMove;                     // an input that stays in "Move"; empty: none
    FsError inputNotBack;                    // why it could not go back
    std::optional<FsError> outputNotRemoved; // why the pass's output stays
};
Message moveFailed(const QString& from, const QString& to, const FsError& error, qint32 passNo,
                   const PassLeft& left);

} // namespace concatMessages
