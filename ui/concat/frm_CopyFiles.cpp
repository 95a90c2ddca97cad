#include "ui/concat/frm_CopyFiles.h"

#include "core/concat/HelpText.h"
#include "ui/widgets/ButtonDescription.h"
#include "ui/widgets/DialogFont.h"
#include "ui/widgets/MessageBox.h"
#include "ui/widgets/Twips.h"

#include <QCloseEvent>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <algorithm>
#include <chrono>

using namespace Qt::StringLiterals;

namespace {

template <typename Control> Control* place(Control* control, const QString& name, QRect twips) {
    control->setObjectName(name);
    control->setGeometry(twips);
    return control;
}

// Verdana where it is installed, otherwise the dialog font's family; the size
// and weight stay 9 point bold whichever face a fallback picks.
QFont progressFont() {
    QFont font = dialogFont();
    font.setFamilies(QStringList{u"Verdana"_s} + font.families());
    font.setPointSize(9);
    font.setBold(true);
    return font;
}

} // namespace

frm_CopyFiles::frm_CopyFiles(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      selection_(state_, *this, fileSystem_), run_(state_, *this, fileSystem_, joiner_),
      CommonDialog1(new QFileDialog(this)) {
    setObjectName(u"frm_CopyFiles"_s);
    setWindowTitle(u"Mehrere Dateien aneinanderkopieren"_s);
    setFont(dialogFont());
    resize(twipsToPixels(7050), twipsToPixels(7275));
    CommonDialog1->setObjectName(u"CommonDialog1"_s);
    CommonDialog1->setFileMode(QFileDialog::ExistingFile);
    buildControls();
    selection_.ShowAutoMode();
}

frm_CopyFiles::~frm_CopyFiles() = default;

void frm_CopyFiles::buildControls() {
    // Focusable controls with their tab indices; the chain follows them.
    QList<std::pair<int, QWidget*>> tabOrder;
    const auto focusable = [&tabOrder](QWidget* widget, int tabIndex) {
        tabOrder.append({tabIndex, widget});
        return widget;
    };
    const auto frame = [this](const QString& name, const QString& title, QRect twips) {
        return place(new QGroupBox(title, this), name, twips);
    };
    const auto label = [](QWidget* parent, const QString& name, const QString& text, QRect twips) {
        place(new QLabel(text, parent), name, twips);
    };
    const auto lineEdit = [&](QWidget* parent, const QString& name, QRect twips, int tabIndex) {
        auto* field = place(new QLineEdit(parent), name, twips);
        focusable(field, tabIndex);
        return field;
    };
    const auto button = [&](QWidget* parent, const QString& name, const QString& text, QRect twips,
                            int tabIndex) {
        auto* pushButton = place(new QPushButton(text, parent), name, twips);
        // No default button: Enter in a field starts nothing.
        pushButton->setAutoDefault(false);
        focusable(pushButton, tabIndex);
        return pushButton;
    };
    const auto option = [&](QWidget* parent, const QString& name, const QString& text, QRect twips,
                            int tabIndex) {
        auto* radio = place(new QRadioButton(text, parent), name, twips);
        focusable(radio, tabIndex);
        return radio;
    };
    const auto displayField = [&](QWidget* parent, const QString& name, QRect twips, int tabIndex) {
        QLineEdit* field = lineEdit(parent, name, twips, tabIndex);
        field->setReadOnly(true);
        setFieldColour(name, FieldColour::ButtonFace);
    };

    QGroupBox* Frame1 = frame(u"Frame1"_s, u"Input"_s, twipsRect(240, 120, 4095, 3615));
    label(Frame1, u"Label1"_s, u"Datei1"_s, twipsRect(120, 240, 1575, 255));
    lineEdit(Frame1, u"txt_Datei1"_s, twipsRect(120, 480, 3015, 350), 3);
    label(Frame1, u"Label2"_s, u"Datei2"_s, twipsRect(120, 960, 1335, 255));
    lineEdit(Frame1, u"txt_Datei2"_s, twipsRect(120, 1200, 3015, 350), 5);
    label(Frame1, u"Label3"_s, u"Datei 3"_s, twipsRect(120, 1680, 1815, 255));
    lineEdit(Frame1, u"txt_Datei3"_s, twipsRect(120, 1920, 3015, 350), 7);
    label(Frame1, u"Label4"_s, u"Datei 4"_s, twipsRect(120, 2400, 1455, 255));
    lineEdit(Frame1, u"txt_Datei4"_s, twipsRect(120, 2640, 3015, 350), 9);
    const int slotTops[] = {480, 1200, 1920, 2640};
    for (int slot = 1; slot <= slotTotal; ++slot) {
        QPushButton* choose =
            button(Frame1, u"cmd_VerzEinlesen"_s + QString::number(slot), QString(),
                   twipsRect(3240, slotTops[slot - 1], 255, 255), 16 + slot);
        describeButton(*choose, u"Datei %1 wählen"_s.arg(slot));
        connect(choose, &QPushButton::clicked, this, [this, slot] { selection_.chooseSlot(slot); });
        runButtons_.append(choose);
    }
    label(Frame1, u"Label9"_s, u"Automatikmodus:"_s, twipsRect(120, 3120, 1455, 255));
    QRadioButton* Option3 =
        option(Frame1, u"Option3"_s, u"ja"_s, twipsRect(1800, 3120, 615, 255), 28);
    QRadioButton* Option4 =
        option(Frame1, u"Option4"_s, u"nein"_s, twipsRect(2640, 3120, 735, 255), 29);
    Option3->setChecked(true);
    connect(Option3, &QRadioButton::clicked, this, [this] { selection_.ShowAutoMode(); });
    connect(Option4, &QRadioButton::clicked, this, [this] { selection_.ShowAutoMode(); });

    QGroupBox* Frame2 = frame(u"Frame2"_s, u"Output"_s, twipsRect(240, 3960, 4095, 2775));
    label(Frame2, u"Label5"_s, u"Hauptverzeichnis:"_s, twipsRect(120, 240, 2055, 255));
    displayField(Frame2, u"txt_MainDir"_s, twipsRect(120, 480, 3015, 350), 13);
    label(Frame2, u"Label6"_s, u"Ausgabeverzeichnis"_s, twipsRect(120, 960, 2655, 255));
    displayField(Frame2, u"txt_OutputDir"_s, twipsRect(120, 1200, 3015, 350), 14);
    label(Frame2, u"Label7"_s, u"Verschiebeverzeichnis"_s, twipsRect(120, 1680, 1935, 255));
    displayField(Frame2, u"txt_MoveDir"_s, twipsRect(120, 1920, 3015, 350), 15);
    label(Frame2, u"Label8"_s, u"Einzeln bestätigen:"_s, twipsRect(120, 2400, 1455, 255));
    option(Frame2, u"Option1"_s, u"ja"_s, twipsRect(1800, 2400, 495, 255), 25);
    option(Frame2, u"Option2"_s, u"nein"_s, twipsRect(2400, 2400, 615, 255), 26)->setChecked(true);

    QPushButton* cmd_Start =
        button(this, u"cmd_Start"_s, u"Start"_s, twipsRect(4800, 240, 1695, 615), 21);
    QPushButton* cmd_Abbrechen =
        button(this, u"cmd_Abbrechen"_s, u"Abbrechen"_s, twipsRect(4800, 1200, 1695, 615), 22);
    QPushButton* cmd_Hilfe =
        button(this, u"cmd_Hilfe"_s, u"Hilfe"_s, twipsRect(4800, 2160, 1695, 615), 23);
    runButtons_.prepend(cmd_Start);
    connect(cmd_Start, &QPushButton::clicked, this, &frm_CopyFiles::start);
    connect(cmd_Abbrechen, &QPushButton::clicked, this, &frm_CopyFiles::abbrechen);
    connect(cmd_Hilfe, &QPushButton::clicked, this, [this] { showMessage(helpMessage()); });

    auto* txt_Progress =
        place(new QPlainTextEdit(this), u"txt_Progress"_s, twipsRect(4800, 4080, 1815, 975));
    focusable(txt_Progress, 24);
    txt_Progress->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    txt_Progress->setFont(progressFont());
    QPalette progressPalette = txt_Progress->palette();
    // Qt has no role for the title bar; the highlight colour is its nearest kin.
    progressPalette.setColor(QPalette::Text,
                             palette().color(QPalette::Active, QPalette::Highlight));
    progressPalette.setColor(QPalette::Base, palette().color(QPalette::Button));
    txt_Progress->setPalette(progressPalette);

    std::stable_sort(tabOrder.begin(), tabOrder.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (qsizetype index = 1; index < tabOrder.size(); ++index)
        setTabOrder(tabOrder[index - 1].second, tabOrder[index].second);
}

void frm_CopyFiles::start() {
    if (state_.running)
        return;
    // Disabling the focused button would move the focus away for good.
    const QPointer<QWidget> focused = focusWidget();
    for (QPushButton* button : std::as_const(runButtons_))
        button->setEnabled(false);
    run_.Start();
    for (QPushButton* button : std::as_const(runButtons_))
        button->setEnabled(true);
    if (focused)
        focused->setFocus();
}

void frm_CopyFiles::abbrechen() {
    Cancelled = true;
    hide();
}

void frm_CopyFiles::closeEvent(QCloseEvent* event) {
    // A run waiting in its pause must not go on behind a closed window.
    if (state_.running)
        Cancelled = true;
    QDialog::closeEvent(event);
}

void frm_CopyFiles::keyPressEvent(QKeyEvent* event) {
    // The window has no cancel button: Escape does not close it.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

QString frm_CopyFiles::fieldText(const QString& control) const {
    if (const auto* field = findChild<QLineEdit*>(control))
        return field->text();
    if (const auto* field = findChild<QPlainTextEdit*>(control))
        return field->toPlainText();
    return {};
}

bool frm_CopyFiles::isSelected(const QString& option) const {
    const auto* radio = findChild<QRadioButton*>(option);
    return radio && radio->isChecked();
}

void frm_CopyFiles::setText(const QString& control, const QString& text) {
    if (auto* field = findChild<QLineEdit*>(control))
        field->setText(text);
    else if (auto* field = findChild<QPlainTextEdit*>(control))
        field->setPlainText(text);
}

void frm_CopyFiles::setFieldColour(const QString& control, FieldColour colour) {
    auto* field = findChild<QLineEdit*>(control);
    if (!field)
        return;
    QPalette fieldPalette = field->palette();
    fieldPalette.setColor(
        QPalette::Base,
        palette().color(colour == FieldColour::ButtonFace ? QPalette::Button : QPalette::Base));
    field->setPalette(fieldPalette);
}

MessageAnswer frm_CopyFiles::showMessage(const Message& message) {
    return showMessageBox(this, message);
}

QString frm_CopyFiles::showOpenDialog() {
    if (CommonDialog1->exec() != QDialog::Accepted)
        return {};
    const QStringList chosen = CommonDialog1->selectedFiles();
    return chosen.isEmpty() ? QString() : QDir::toNativeSeparators(chosen.first());
}

void frm_CopyFiles::Pause(int Dauer) {
    // Waits in the event loop, so clicks and repaints are handled meanwhile.
    QEventLoop loop;
    QTimer::singleShot(std::chrono::seconds(Dauer), &loop, &QEventLoop::quit);
    loop.exec();
}
