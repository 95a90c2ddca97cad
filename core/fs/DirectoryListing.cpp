#include "core/fs/DirectoryListing.h"

#include "core/fs/NameCodec.h"
#include "core/fs/NaturalOrder.h"
#include "core/fs/SystemError.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <vector>

namespace {

// Entries of unknown type and links need a look at what they stand for.
bool isDirectoryEntry(int directoryFd, const dirent& entry) {
    if (entry.d_type == DT_DIR)
        return true;
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN)
        return false;
    struct stat info;
    return ::fstatat(directoryFd, entry.d_name, &info, 0) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

FsResult<QStringList> listDirectories(const QString& directory) {
    const QByteArray path = encodeFileName(directory);
    DIR* handle = ::opendir(path.constData());
    if (!handle)
        return systemError(directory);

    QStringList names;
    errno = 0;
    while (const dirent* entry = ::readdir(handle)) {
        if (entry->d_name[0] != '.' && isDirectoryEntry(::dirfd(handle), *entry))
            names.append(decodeFileName(QByteArray(entry->d_name)));
        errno = 0;
    }
    const int readError = errno;
    ::closedir(handle);
    if (readError != 0)
        return systemError(directory, readError);

    sortNaturally(names);
    return names;
}

QString currentDirectory() {
    std::vector<char> buffer(PATH_MAX);
    while (!::getcwd(buffer.data(), buffer.size())) {
        if (errno != ERANGE)
            return {};
        buffer.resize(buffer.size() * 2);
    }
    return decodeFileName(QByteArray(buffer.data()));
}
