#include "core/fs/DirectoryProbe.h"

#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

int probeNewName(const QByteArray& directory, const QByteArray& suffix) {
    const QByteArray probe = directory + ".tessavo-probe-" +
                             QByteArray::number(QRandomGenerator::global()->generate(), 16) +
                             suffix;
    const int fd =
        ::open(probe.constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return errno;
    ::close(fd);
    ::unlink(probe.constData());
    return 0;
}
