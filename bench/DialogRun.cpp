#include "bench/DialogRun.h"

#include "ui/widgets/LogField.h"
#include "ui/widgets/NamedControl.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>

using namespace Qt::StringLiterals;

namespace {

const QString logName = u"txt_Filename"_s;

} // namespace

DialogRun::DialogRun(const DialogInput& input)
    : operation_(input.operation), prg_(fileSystem_), dialog_(prg_),
      log_(namedControl<LogField>(dialog_, logName)) {
    prg_.CurrentOperation = input.operation;
    prg_.SourceDir = input.source;
    prg_.TargetDir = input.target;
    namedControl<QLineEdit>(dialog_, u"txt_Suchstring"_s).setText(input.search);
    namedControl<QLineEdit>(dialog_, u"txt_Step"_s).setText(input.step);
    namedControl<QCheckBox>(dialog_, u"chk_Leerz"_s).setChecked(input.blank);
    namedControl<QCheckBox>(dialog_, u"chk_MoveBack"_s).setChecked(input.moveBack);

    paintGaps_.watch(&dialog_);
    for (QWidget* part : dialog_.findChildren<QWidget*>())
        paintGaps_.watch(part);
    messageWatch_.setInterval(20);
    QObject::connect(&messageWatch_, &QTimer::timeout, &messageWatch_,
                     [this] { answerMessageBox(); });

    dialog_.show();
    // Shown and painted once before the run, as a user sees it before "Start".
    QApplication::processEvents();
}

Sample DialogRun::run(DialogButton button) {
    const QString name = button == DialogButton::Start     ? u"cmd_Start"_s
                         : button == DialogButton::Preview ? u"cmd_Vorschau"_s
                                                           : u"cmd_Rueckgaengig"_s;
    auto& start = namedControl<QPushButton>(dialog_, name);
    messageWatch_.start();
    const Sample sample = measure([&] {
        paintGaps_.begin();
        start.click();
        // The run ends for the user when its last lines are painted.
        QApplication::processEvents();
        paintGaps_.end();
    });
    messageWatch_.stop();
    return sample;
}

void DialogRun::answerMessageBox() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible())
        return;
    messages_.append(box->text());
    box->reject();
}

QStringList DialogRun::faults(const QString& expectedLog) const {
    QStringList found;
    for (const QString& text : messages_)
        found.append(operation_ + u" showed \""_s + text + u'"');
    if (dialog_.fieldText(logName) != expectedLog)
        found.append(operation_ + u" did not log every name"_s);
    // The field has taken every line when its scroll range reaches the last.
    const QScrollBar& bar = *log_.verticalScrollBar();
    if (log_.text() != expectedLog || bar.maximum() + bar.pageStep() < log_.lineCount())
        found.append(operation_ + u" did not show every name in its log field"_s);
    return found;
}
