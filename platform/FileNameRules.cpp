#include "platform/FileNameRules.h"

using namespace Qt::StringLiterals;

bool isPlainFileName(const QString& name) {
    if (name == u"."_s || name == u".."_s)
        return false;
    for (QChar c : name) {
        if (c == u'/' || c.isNull())
            return false;
#ifdef Q_OS_WIN
        if (c == u'\\')
            return false;
#endif
    }
    return true;
}

QChar directorySeparator() {
#ifdef Q_OS_WIN
    return u'\\';
#else
    return u'/';
#endif
}
