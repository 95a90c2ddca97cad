#include "ui/rename/frm_ChangeFilename.h"

#include "core/rename/MainPrg.h"
#include "ui/rename/frm_Directory.h"
#include "ui/rename/frm_Verlauf.h"
#include "ui/widgets/ButtonDescription.h"
#include "ui/widgets/DialogFont.h"
#include "ui/widgets/InputBlocker.h"
#include "ui/widgets/LogField.h"
#include "ui/widgets/MessageBox.h"
#include "ui/widgets/Twips.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

const QString logName = u"txt_Filename"_s;

// How often a long run repaints the dialog.
constexpr qint64 progressIntervalMs = 30;

template <typename Control> Control* place(Control* control, const QString& name, QRect twips) {
    control->setObjectName(name);
    control->setGeometry(twips);
    return control;
}

QFont logFont() {
    QFont font(u"Courier New"_s);
    font.setPointSizeF(8.25);
    font.setStyleHint(QFont::TypeWriter);
    if (!QFontInfo(font).fixedPitch()) {
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        font.setPointSizeF(8.25);
    }
    return font;
}

} // namespace

frm_ChangeFilename::frm_ChangeFilename(MainPrg& mainPrg, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      mainPrg_(mainPrg) {
    setObjectName(u"frm_ChangeFilename"_s);
    setFont(dialogFont());
    resize(twipsToPixels(5940), twipsToPixels(5085));

    const auto label = [this](const QString& name, const QString& text, QRect twips) {
        place(new QLabel(text, this), name, twips);
    };
    const auto lineEdit = [this](const QString& name, QRect twips) {
        return place(new QLineEdit(this), name, twips);
    };
    const auto checkBox = [this](const QString& name, QRect twips) {
        place(new QCheckBox(this), name, twips);
    };
    const auto button = [this](const QString& name, const QString& text, QRect twips) {
        QPushButton* pushButton = place(new QPushButton(text, this), name, twips);
        // Enter in a field must not start a run.
        pushButton->setAutoDefault(false);
        buttons_.append(pushButton);
        return pushButton;
    };

    label(u"Label1"_s, u"Suchstring"_s, twipsRect(240, 240, 1575, 255));
    lineEdit(u"txt_Suchstring"_s, twipsRect(240, 480, 975, 285));
    label(u"Label5"_s, u"Step"_s, twipsRect(1800, 240, 855, 255));
    lineEdit(u"txt_Step"_s, twipsRect(1800, 480, 975, 285));
    label(u"Label6"_s, u"Leerz."_s, twipsRect(3000, 240, 975, 255));
    checkBox(u"chk_Leerz"_s, twipsRect(3000, 480, 255, 255));
    QPushButton* cmd_Start = button(u"cmd_Start"_s, u"Start"_s, twipsRect(4680, 240, 1095, 375));
    QPushButton* cmd_Ende = button(u"cmd_Ende"_s, u"Ende"_s, twipsRect(4680, 720, 1095, 375));
    QPushButton* cmd_Vorschau =
        button(u"cmd_Vorschau"_s, u"Vorschau"_s, twipsRect(4680, 1200, 1095, 375));
    cmd_Rueckgaengig_ =
        button(u"cmd_Rueckgaengig"_s, u"Rückgängig"_s, twipsRect(4680, 1680, 1095, 375));
    cmd_Rueckgaengig_->setEnabled(false);
    QPushButton* cmd_Verlauf =
        button(u"cmd_Verlauf"_s, u"Verlauf…"_s, twipsRect(4680, 2160, 1095, 375));
    label(u"Label2"_s, u"Quellverzeichnis"_s, twipsRect(240, 960, 1335, 255));
    txt_Quellverzeichnis_ = lineEdit(u"txt_Quellverzeichnis"_s, twipsRect(240, 1200, 2655, 285));
    QPushButton* cmd_Quellverzeichnis =
        button(u"cmd_Quellverzeichnis"_s, QString(), twipsRect(3000, 1200, 255, 255));
    describeButton(*cmd_Quellverzeichnis, u"Quellverzeichnis wählen"_s);
    label(u"Label3"_s, u"Zielverzeichnis"_s, twipsRect(240, 1680, 1335, 255));
    txt_Zielverzeichnis_ = lineEdit(u"txt_Zielverzeichnis"_s, twipsRect(240, 1920, 2655, 285));
    QPushButton* cmd_Zielverzeichnis =
        button(u"cmd_Zielverzeichnis"_s, QString(), twipsRect(3000, 1920, 255, 255));
    describeButton(*cmd_Zielverzeichnis, u"Zielverzeichnis wählen"_s);
    // The fields show the directories chosen in the picker; a typed path
    // would never reach a run, so they take none.
    txt_Quellverzeichnis_->setReadOnly(true);
    txt_Zielverzeichnis_->setReadOnly(true);
    label(u"Label7"_s, u"MoveBack"_s, twipsRect(3720, 1680, 855, 255));
    checkBox(u"chk_MoveBack"_s, twipsRect(3720, 1920, 255, 255));
    label(u"Label4"_s, u"Dateinamen"_s, twipsRect(240, 2400, 3015, 255));

    txt_Filename_ = place(new LogField(this), logName, twipsRect(240, 2640, 5175, 2055));
    txt_Filename_->setFont(logFont());
    txt_Filename_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txt_Filename_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    connect(cmd_Start, &QPushButton::clicked, this,
            [this] { runBlocking([this] { mainPrg_.runOperation(mainPrg_.CurrentOperation); }); });
    connect(cmd_Vorschau, &QPushButton::clicked, this, [this] {
        runBlocking([this] { mainPrg_.previewOperation(mainPrg_.CurrentOperation); });
    });
    connect(cmd_Rueckgaengig_, &QPushButton::clicked, this,
            [this] { runBlocking([this] { mainPrg_.undoLastRun(); }); });
    connect(cmd_Verlauf, &QPushButton::clicked, this, &frm_ChangeFilename::showHistory);
    connect(cmd_Ende, &QPushButton::clicked, this, &frm_ChangeFilename::hide);
    connect(cmd_Quellverzeichnis, &QPushButton::clicked, this,
            [this] { chooseDirectory(u"Quelle"_s); });
    connect(cmd_Zielverzeichnis, &QPushButton::clicked, this,
            [this] { chooseDirectory(u"Ziel"_s); });

    mainPrg_.setWindow(this);
}

frm_ChangeFilename::~frm_ChangeFilename() {
    mainPrg_.setWindow(nullptr);
}

void frm_ChangeFilename::runBlocking(const std::function<void()>& work) {
    if (running_)
        return;
    running_ = true;
    mainPrg_.setWindow(this);
    captionBeforeRun_ = windowTitle();
    sinceProgress_.invalidate();
    // Disabling the focused button would move the focus away for good.
    const QPointer<QWidget> focused = focusWidget();
    setButtonsEnabled(false);
    // The greyed buttons are the first sign that the work has begun, before
    // a large directory has been read; only they are painted.
    QCoreApplication::sendPostedEvents(this, QEvent::UpdateRequest);
    {
        InputBlocker blocker;
        inputBlocker_ = &blocker;
        work();
        inputBlocker_ = nullptr;
    }
    setWindowTitle(captionBeforeRun_);
    setButtonsEnabled(true);
    if (focused)
        focused->setFocus();
    running_ = false;
}

void frm_ChangeFilename::chooseDirectory(const QString& request) {
    mainPrg_.DirectoryRequest = request;
    if (!picker_)
        picker_ = new frm_Directory(mainPrg_, txt_Quellverzeichnis_, txt_Zielverzeichnis_, this);
    picker_->exec();
}

void frm_ChangeFilename::showHistory() {
    if (!history_)
        history_ = new frm_Verlauf(mainPrg_, *this, this);
    history_->exec();
    // The last run may have been undone from there.
    updateUndoButton();
}

void frm_ChangeFilename::setButtonsEnabled(bool enabled) {
    for (QPushButton* button : std::as_const(buttons_))
        button->setEnabled(enabled);
    if (enabled)
        updateUndoButton();
}

void frm_ChangeFilename::updateUndoButton() {
    cmd_Rueckgaengig_->setEnabled(mainPrg_.canUndo());
}

void frm_ChangeFilename::showEvent(QShowEvent* event) {
    // The set-up for another operation may have dropped the last run's undo.
    // During a run (restored from the task bar) the button stays disabled,
    // and what canUndo reads is the run's thread's until runBlocking ends.
    if (!running_)
        updateUndoButton();
    QDialog::showEvent(event);
}

void frm_ChangeFilename::closeEvent(QCloseEvent* event) {
    if (running_) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

bool frm_ChangeFilename::isLog(const QString& control) const {
    return control == logName;
}

QString frm_ChangeFilename::fieldText(const QString& control) const {
    if (isLog(control))
        return txt_Filename_->text();
    if (const auto* field = findChild<QLineEdit*>(control, Qt::FindDirectChildrenOnly))
        return field->text();
    if (const auto* label = findChild<QLabel*>(control, Qt::FindDirectChildrenOnly))
        return label->text();
    return {};
}

bool frm_ChangeFilename::isTicked(const QString& control) const {
    const auto* box = findChild<QCheckBox*>(control, Qt::FindDirectChildrenOnly);
    return box && box->isChecked();
}

void frm_ChangeFilename::setText(const QString& control, const QString& text) {
    if (isLog(control)) {
        txt_Filename_->setText(text);
    } else if (auto* field = findChild<QLineEdit*>(control, Qt::FindDirectChildrenOnly)) {
        field->setText(text);
    } else if (auto* label = findChild<QLabel*>(control, Qt::FindDirectChildrenOnly)) {
        label->setText(text);
    }
}

void frm_ChangeFilename::appendText(const QString& control, const QString& text) {
    if (!isLog(control)) {
        if (auto* field = findChild<QLineEdit*>(control, Qt::FindDirectChildrenOnly))
            field->setText(field->text() + text);
        return;
    }
    txt_Filename_->appendText(text);
}

MessageAnswer frm_ChangeFilename::showMessage(const Message& message) {
    if (inputBlocker_)
        inputBlocker_->setBlocking(false);
    const MessageAnswer answer = showMessageBox(this, message);
    if (inputBlocker_)
        inputBlocker_->setBlocking(true);
    return answer;
}

void frm_ChangeFilename::showProgress(qsizetype done, qsizetype total) {
    if (sinceProgress_.isValid() && sinceProgress_.elapsed() < progressIntervalMs)
        return;
    sinceProgress_.start();
    // The field takes the lines appended since the last report before the
    // events below are processed, so that it and its scroll bar paint now
    // and not a report later. Without new lines (while a directory is read
    // or planned, during MoveBack) only the caption would change.
    if (!txt_Filename_->showAppended())
        txt_Filename_->viewport()->update();
    if (running_)
        setWindowTitle(captionBeforeRun_ + (total == 0 ? u" – Verzeichnis wird gelesen …"_s
                                                       : u" – %1 von %2"_s.arg(done).arg(total)));
    QCoreApplication::processEvents();
}
