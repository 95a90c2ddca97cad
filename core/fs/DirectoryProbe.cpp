#include "core/fs/DirectoryProbe.h"

#include <QRandomGenerator>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

int probeNewName(const QByteArray& directory, const QByteArray& suffix) {
    const QByteArray probe = directory + ".tessavo-probe-" +
                             QByteArray::number(QRandomGenerator::global()->generate(), 16) +
                             suffix;
    if (::mkdir(probe.constData(), 0700) != 0)
        return errno;
    ::rmdir(probe.constData());
    return 0;
}
