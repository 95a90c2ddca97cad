#include "bench/Baseline.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace baseline {

QList<QByteArray> sortedRegularFiles(const QByteArray& directory) {
    DIR* handle = ::opendir(directory.constData());
    if (!handle)
        throw std::runtime_error("cannot list " + directory.toStdString());
    QList<QByteArray> names;
    while (const dirent* entry = ::readdir(handle)) {
        if (entry->d_name[0] == '.')
            continue;
        struct stat info;
        if (entry->d_type == DT_REG ||
            (entry->d_type == DT_UNKNOWN &&
             ::fstatat(::dirfd(handle), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
             S_ISREG(info.st_mode)))
            names.append(QByteArray(entry->d_name));
    }
    ::closedir(handle);
    std::sort(names.begin(), names.end());
    return names;
}

bool renameAll(const QByteArray& from, const QByteArray& to, const QList<QByteArray>& names,
               const QByteArray& prefix) {
    for (const QByteArray& name : names) {
        const QByteArray source = from + name;
        const QByteArray target = to + prefix + name;
        if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(),
                        RENAME_NOREPLACE) != 0)
            return false;
    }
    return true;
}

} // namespace baseline
