#include "core/history/StateDirectory.h"

#include "core/fs/NameCodec.h"
#include "core/fs/SystemError.h"

#include <cerrno>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

QString homeDirectory() {
    const QString home = qEnvironmentVariable("HOME");
    if (home.startsWith(u'/'))
        return home;
    if (const passwd* user = ::getpwuid(::getuid()); user && user->pw_dir)
        return decodeFileName(QByteArrayView(user->pw_dir));
    return {};
}

} // namespace

QString historyDirectory() {
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    if (!base.startsWith(u'/')) {
        const QString home = homeDirectory();
        if (home.isEmpty())
            return {};
        base = home + u"/.local/state"_s;
    }
    if (!base.endsWith(u'/'))
        base += u'/';
    return base + u"tessavo/"_s;
}

FsStatus prepareHistoryDirectory(const QString& directory) {
    const QByteArray path = encodeFileName(directory);
    // Each missing parent is made for the user alone, as the XDG rules ask.
    for (qsizetype slash = path.indexOf('/', 1); slash >= 0; slash = path.indexOf('/', slash + 1)) {
        const QByteArray part = path.first(slash);
        if (::mkdir(part.constData(), 0700) != 0 && errno != EEXIST)
            return FsStatus::failure(systemError(decodeFileName(part)));
    }
    struct stat info;
    if (::lstat(path.constData(), &info) != 0)
        return FsStatus::failure(systemError(directory));
    if (!S_ISDIR(info.st_mode))
        return FsStatus::failure({FsErrorCode::NotAFile, directory, ENOTDIR});
    if (info.st_uid != ::geteuid())
        return FsStatus::failure({FsErrorCode::AccessDenied, directory, EPERM,
                                  u"Das Verzeichnis gehört einem anderen Benutzer."_s});
    if ((info.st_mode & 07777) != 0700 && ::chmod(path.constData(), 0700) != 0)
        return FsStatus::failure(systemError(directory));
    return FsStatus::success();
}
