#include "core/fs/FileNameRules.h"

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
