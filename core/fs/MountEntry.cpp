#include "core/fs/MountEntry.h"

#include <QFile>
#include <QList>

#include <sys/sysmacros.h>

using namespace Qt::StringLiterals;

std::optional<MountEntry> mountOf(dev_t device) {
    QFile mountInfo(u"/proc/self/mountinfo"_s);
    if (!mountInfo.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray wanted =
        QByteArray::number(major(device)) + ':' + QByteArray::number(minor(device));
    std::optional<MountEntry> found;
    // "id parent major:minor root mountpoint options [optional...] - type source options"
    for (const QByteArray& line : mountInfo.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        const qsizetype separator = fields.indexOf("-");
        if (fields.size() > 2 && fields[2] == wanted && separator > 0 &&
            separator + 3 < fields.size())
            found = MountEntry{fields[separator + 1], fields[separator + 2], fields[separator + 3]};
    }
    return found;
}
