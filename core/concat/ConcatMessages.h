#pragma once

#include "core/fs/FsResult.h"
#include "core/run/RunWindow.h"

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
Message moveFailed(const QString& from, const QString& to, const FsError& error, qint32 passNo);

} // namespace concatMessages
