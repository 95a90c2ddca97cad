#include "bench/Baseline.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace baseline {

namespace {

constexpr int trailerSize = 128;

} // namespace

Descriptor openDirectory(const QByteArray& path) {
    const int fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        throw std::runtime_error("cannot open " + path.toStdString());
    return Descriptor(fd);
}

QList<QByteArray> sortedRegularFiles(int directoryFd) {
    // A descriptor of its own, since closedir closes it and readdir moves
    // its position.
    const int listingFd = ::openat(directoryFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* handle = listingFd >= 0 ? ::fdopendir(listingFd) : nullptr;
    if (!handle) {
        if (listingFd >= 0)
            ::close(listingFd);
        throw std::runtime_error("cannot list a directory");
    }
    QList<QByteArray> names;
    while (const dirent* entry = ::readdir(handle)) {
        if (entry->d_name[0] == '.')
            continue;
        struct stat info;
        if (entry->d_type == DT_REG ||
            (entry->d_type == DT_UNKNOWN &&
             ::fstatat(listingFd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
             S_ISREG(info.st_mode)))
            names.append(QByteArray(entry->d_name));
    }
    ::closedir(handle);
    std::sort(names.begin(), names.end());
    return names;
}

QList<QByteArray> sortedRegularFiles(const QByteArray& directory) {
    return sortedRegularFiles(openDirectory(directory).get());
}

bool renameAll(int fromFd, int toFd, const QList<QByteArray>& names, const QByteArray& prefix) {
    QByteArray target;
    for (const QByteArray& name : names) {
        target = prefix + name;
        if (::renameat2(fromFd, name.constData(), toFd, target.constData(), RENAME_NOREPLACE) != 0)
            return false;
    }
    return true;
}

bool renameAllBack(int fromFd, int toFd, const QList<QByteArray>& names, qsizetype prefixLength) {
    for (auto name = names.crbegin(); name != names.crend(); ++name) {
        if (::renameat2(fromFd, name->constData(), toFd, name->constData() + prefixLength,
                        RENAME_NOREPLACE) != 0)
            return false;
    }
    return true;
}

int countTagged(int directoryFd, const QList<QByteArray>& names) {
    int tagged = 0;
    char trailer[trailerSize];
    for (const QByteArray& name : names) {
        const Descriptor file(::openat(directoryFd, name.constData(), O_RDONLY | O_CLOEXEC));
        if (!file.isOpen())
            continue;
        struct stat info;
        if (::fstat(file.get(), &info) == 0 && info.st_size >= trailerSize &&
            ::pread(file.get(), trailer, trailerSize, info.st_size - trailerSize) == trailerSize &&
            QByteArrayView(trailer, 3) == "TAG")
            ++tagged;
    }
    return tagged;
}

} // namespace baseline
