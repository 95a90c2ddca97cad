#include "core/rename/PreviewText.h"

#include "core/fs/FileNameRules.h"
#include "core/fs/NameCodec.h"
#include "core/fs/TargetRules.h"
#include "core/rename/RenamePlan.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace {

const QString arrow = u"  ->  "_s;
const QString lineEnd = u"\r\n"_s;
const QString moveBackPrefix = u"MoveBack: "_s;

QString failed(const QString& reason) {
    return u"(Fehler: "_s + reason + u')';
}

void appendMoveBack(const RenamePlan& plan, QString& text) {
    if (plan.stop) {
        text += moveBackPrefix + u"entfällt, weil der Lauf vorher endet"_s + lineEnd;
        return;
    }
    if (plan.inPlace) {
        text +=
            moveBackPrefix + u"nichts zu tun, Quell- und Zielverzeichnis sind dasselbe"_s + lineEnd;
        return;
    }
    if (plan.moveBackStop && plan.moveBackStop->index < 0) {
        text += moveBackPrefix + failed(plan.moveBackStop->reason) + lineEnd;
        return;
    }
    text += moveBackPrefix + u"alle Dateien des Zielverzeichnisses zurück ins Quellverzeichnis"_s +
            lineEnd;
    const qsizetype end =
        plan.moveBackStop ? plan.moveBackStop->index + 1 : plan.moveBackNames.size();
    for (qsizetype index = 0; index < end; ++index) {
        const QString& name = plan.moveBackNames[index];
        if (plan.moveBackStop && index == plan.moveBackStop->index)
            text += moveBackPrefix + displayFileName(name) + arrow +
                    failed(plan.moveBackStop->reason) + lineEnd;
        else if (plan.alreadyInTarget.contains(name))
            text += moveBackPrefix + displayFileName(name) + u" (lag schon im Zielverzeichnis)"_s +
                    lineEnd;
    }
}

} // namespace

QString previewHeading(const QString& sourceDir, const QString& targetDir,
                       const TargetRules& targetRules) {
    QString target = u"Ziel: "_s + displayFileName(absoluteDirectory(targetDir));
    if (targetRules.known) {
        QStringList traits;
        if (!targetRules.fileSystemName.isEmpty())
            traits.append(targetRules.fileSystemName);
        traits.append(targetRules.ignoresCase() ? u"Groß-/Kleinschreibung gleich"_s
                                                : u"Groß-/Kleinschreibung unterschieden"_s);
        target += u" ("_s + traits.join(u", "_s) + u')';
    }
    return u"Quelle: "_s + displayFileName(absoluteDirectory(sourceDir)) + lineEnd + target +
           lineEnd;
}

QString previewText(const RenamePlan& plan) {
    QString text;
    text.reserve(plan.listed.size() * 64);
    for (qsizetype index = 0; index < plan.listed.size(); ++index) {
        text += displayFileName(plan.listed[index]) + arrow;
        if (plan.stop && index == plan.stop->index) {
            if (plan.stop->afterMove)
                text += displayFileName(plan.newNames[index]) + u"  (danach Fehler: "_s +
                        plan.stop->reason + u')';
            else
                text += failed(plan.stop->reason);
        } else if (index < plan.moveCount()) {
            text += displayFileName(plan.newNames[index]);
        } else {
            text += u"(bleibt, der Lauf endet vorher)"_s;
        }
        text += lineEnd;
    }
    if (plan.moveBack)
        appendMoveBack(plan, text);
    return text;
}

QString previewFault(const QString& cause) {
    return failed(QString(cause).replace(u'\n', u' ')) + lineEnd;
}

QString previewNotice(const QString& notice) {
    return u"Hinweis: "_s + notice + lineEnd;
}
