#include "core/fs/FileNameRules.h"

#include "core/fs/NameCodec.h"

#include <QDir>

#ifndef Q_OS_WIN
#include <climits>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

bool isPlainFileName(const QString& name) {
    // contains() looks at many units at a time; a run checks every new name.
    if (name == u"."_s || name == u".."_s || name.contains(u'/') || name.contains(QChar(u'\0')))
        return false;
#ifdef Q_OS_WIN
    if (name.contains(u'\\'))
        return false;
#endif
    return true;
}

QChar directorySeparator() {
#ifdef Q_OS_WIN
    return u'\\';
#else
    return u'/';
#endif
}

QString absoluteDirectory(const QString& directory) {
    if (QDir::isAbsolutePath(directory))
        return directory;
#ifdef Q_OS_WIN
    const QString workingDirectory = QDir::toNativeSeparators(QDir::currentPath());
#else
    // The bytes of the working directory, decoded losslessly as every name is.
    char buffer[PATH_MAX];
    const QString workingDirectory =
        ::getcwd(buffer, sizeof buffer) ? decodeFileName(QByteArrayView(buffer)) : QString();
#endif
    if (workingDirectory.isEmpty())
        return directory;
    const QString base = workingDirectory.endsWith(directorySeparator())
                             ? workingDirectory
                             : workingDirectory + directorySeparator();
    return base + directory;
}
