#include "core/fs/DirectoryProbe.h"

#include <QRandomGenerator>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int madeAndRemoved(const QByteArray& probe) {
    if (::mkdir(probe.constData(), 0700) != 0)
        return errno;
    ::rmdir(probe.constData());
    return 0;
}

} // namespace

int probeNewName(const QByteArray& directory, const QByteArray& suffix) {
    const QByteArray probe = directory + ".tessavo-probe" + suffix;
    // A probe that a kill left behind is empty and goes now; a directory of
    // that name with something in it stays, and a name of its own is tried.
    ::rmdir(probe.constData());
    const int error = madeAndRemoved(probe);
    if (error != EEXIST)
        return error;
    return madeAndRemoved(directory + ".tessavo-probe-" +
                          QByteArray::number(QRandomGenerator::global()->generate(), 16) + suffix);
}
