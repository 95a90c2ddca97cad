#pragma once

#include "bench/Measure.h"
#include "bench/PaintGaps.h"

#include "core/fs/LocalFileSystem.h"
#include "core/rename/MainPrg.h"
#include "ui/rename/frm_ChangeFilename.h"

#include <QString>
#include <QStringList>
#include <QTimer>

class LogField;

// The buttons that start work in the dialog.
enum class DialogButton { Start, Preview, Undo };

// What a run through the dialog is given: the operation, the directories
// and what the user would type and tick.
struct DialogInput {
    QString operation{};
    QString source{};
    QString target{};
    QString search{}; // txt_Suchstring
    QString step{};   // txt_Step
    bool blank = false;
    bool moveBack = false;
};

// One run as a user starts it: the real parameter dialog, shown on the
// offscreen platform, its fields filled and "Start" clicked. A message box
// that the run shows is answered at once and counted as a fault, so that a
// wrong run cannot hang the benchmark.
class DialogRun {
public:
    explicit DialogRun(const DialogInput& input);

    // Clicks the button ("Start", "Vorschau" or "Rückgängig") and measures
    // until the dialog has painted the end of the work.
    Sample run(DialogButton button = DialogButton::Start);

    // The longest time, in seconds, that the dialog and its log went without
    // a paint during the run.
    double longestPaintGap() const { return paintGaps_.longest(); }
    qsizetype paints() const { return paintGaps_.paints(); }

    // What the run did wrong: a message it showed, or a log, as the runs see
    // it or as the field shows it, other than `expectedLog` (CR LF lines).
    QStringList faults(const QString& expectedLog) const;

    const MainPrg& state() const { return prg_; }

private:
    void answerMessageBox();

    QString operation_;
    LocalFileSystem fileSystem_;
    MainPrg prg_;
    frm_ChangeFilename dialog_;
    LogField& log_;
    PaintGaps paintGaps_;
    QTimer messageWatch_;
    QStringList messages_;
};
