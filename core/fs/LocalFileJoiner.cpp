#include "core/fs/LocalFileJoiner.h"

#include "core/fs/Descriptor.h"
#include "core/fs/FileCopy.h"
#include "core/fs/NameCodec.h"
#include "core/fs/StagedFile.h"
#include "core/fs/SystemError.h"

#include <fcntl.h>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

FsStatus appendFile(const QString& inputPath, const CopyEnd& output) {
    const Descriptor input(::open(encodeFileName(inputPath).constData(), O_RDONLY | O_CLOEXEC));
    if (!input.isOpen())
        return FsStatus::failure(systemError(inputPath));
    struct stat info;
    if (::fstat(input.get(), &info) != 0)
        return FsStatus::failure(systemError(inputPath));
    if (!S_ISREG(info.st_mode))
        return FsStatus::failure({FsErrorCode::NotAFile, inputPath, 0});
    return copyToEnd({input.get(), inputPath}, output, info.st_size);
}

} // namespace

FsResult<qint64> LocalFileJoiner::fileSize(const QString& path) const {
    struct stat info;
    if (::stat(encodeFileName(path).constData(), &info) != 0)
        return systemError(path);
    if (!S_ISREG(info.st_mode))
        return FsError{FsErrorCode::NotAFile, path, 0};
    return qint64(info.st_size);
}

FsStatus LocalFileJoiner::joinFiles(const QStringList& inputs, const QString& output) {
    StagedFile joined(encodeFileName(output), output);
    if (FsStatus created = joined.create(0666); !created)
        return created;
    const CopyEnd target{joined.descriptor(), output};
    for (const QString& input : inputs) {
        if (FsStatus appended = appendFile(input, target); !appended)
            return appended;
    }
    struct stat written;
    if (::fstat(joined.descriptor(), &written) != 0)
        return FsStatus::failure(systemError(output));
    FsStatus committed = joined.commit();
    if (committed) {
        joinedPath_ = output;
        joinedDevice_ = written.st_dev;
        joinedInode_ = written.st_ino;
    }
    return committed;
}

FsStatus LocalFileJoiner::removeJoined(const QString& output) {
    const QByteArray path = encodeFileName(output);
    struct stat info;
    if (::lstat(path.constData(), &info) != 0)
        return FsStatus::failure(systemError(output));
    if (output != joinedPath_ || info.st_dev != joinedDevice_ || info.st_ino != joinedInode_)
        return FsStatus::failure({FsErrorCode::Other, output, 0,
                                  u"Unter diesem Namen liegt inzwischen eine andere Datei."_s});
    if (::unlink(path.constData()) != 0)
        return FsStatus::failure(systemError(output));
    joinedPath_.clear();
    return FsStatus::success();
}
