#include "ui/main/frm_Main.h"

#include "ui/concat/frm_CopyFiles.h"
#include "ui/id3/Id3Setup.h"
#include "ui/main/RecoveryWindow.h"
#include "ui/main/TessavoIcon.h"
#include "ui/main/frm_Information.h"
#include "ui/rename/frm_ChangeFilename.h"
#include "ui/widgets/ButtonDescription.h"
#include "ui/widgets/DialogFont.h"
#include "ui/widgets/InputBlocker.h"
#include "ui/widgets/NamedControl.h"
#include "ui/widgets/Twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>

using namespace Qt::StringLiterals;

// How a rename button adapts the parameter dialog to its operation. An empty
// label caption hides that optional field.
struct RenameSetup {
    QString button;
    QString key;
    QString caption;
    QString firstLabel;
    int searchWidthTwips;
    QString secondLabel;
    QString optionLabel;
};

namespace {

const QList<RenameSetup>& renameSetups() {
    static const QList<RenameSetup> setups = {
        {u"cmd_ChangeFilename"_s,
         u"ChangeFilename"_s,
         u"Tausche Teil 1 und Teil 2"_s,
         u"Suchstring"_s,
         855,
         {},
         {}},
        {u"cmd_CutandNumber"_s, u"CutandNumber"_s, u"Lfd. Nummer ersetzen"_s, u"Neue Startnummer"_s,
         855, u"Step"_s, u"Leerz"_s},
        {u"cmd_ChangeString"_s, u"ChangeString"_s, u"Tausche String 1 gegen String 2"_s,
         u"String 1"_s, 855, u"String 2"_s, u"Mehrfach"_s},
        {u"cmd_AddNumber"_s, u"AddNumber"_s, u"Nummer hinzufügen"_s, u"Startnummer"_s, 855,
         u"Step"_s, u"Leerz"_s},
        {u"cmd_CutNameFirst"_s,
         u"CutNameFirst"_s,
         u"Namen am Anfang kürzen"_s,
         u"Zahl der Stellen"_s,
         855,
         {},
         {}},
        {u"cmd_CutNameLast"_s,
         u"CutNameLast"_s,
         u"Namen am Ende kürzen"_s,
         u"Zahl der Stellen"_s,
         855,
         {},
         {}},
        {u"cmd_CutNameStringLast"_s,
         u"CutNameStringLast"_s,
         u"Namen hinter dem Suchstring kürzen"_s,
         u"Suchstring"_s,
         855,
         {},
         {}},
        {u"cmd_AddText"_s,
         u"AddText"_s,
         u"Dem Namen am Ende Text hinzufügen"_s,
         u"hinzuzufügender Text"_s,
         2655,
         {},
         {}},
    };
    return setups;
}

const RenameSetup& renameSetup(const QString& button) {
    for (const RenameSetup& setup : renameSetups()) {
        if (setup.button == button)
            return setup;
    }
    qFatal("No rename set-up for %s", qPrintable(button));
}

// Shows a label and its field with the label's new caption, or hides both
// and leaves the caption alone.
void showOptional(QWidget& dialog, const QString& labelName, const QString& fieldName,
                  const QString& caption) {
    auto& label = namedControl<QLabel>(dialog, labelName);
    if (!caption.isEmpty())
        label.setText(caption);
    label.setVisible(!caption.isEmpty());
    namedControl<QWidget>(dialog, fieldName).setVisible(!caption.isEmpty());
}

struct Row {
    QString description;
    QString button;
};

struct Frame {
    QString title;
    int heightTwips;
    QList<Row> rows;
};

QList<Frame> frames() {
    return {
        {u"Tauschen"_s,
         1815,
         {{u"Anhand eines Suchstrings den Dateinamen in zwei Teile splitten und die Teile "
           u"vertauschen"_s,
           u"cmd_ChangeFilename"_s},
          {u"Die ersten 3 Stellen des Dateinamens entfernen und durch lfd. Nummern ersetzen"_s,
           u"cmd_CutandNumber"_s},
          {u"Einen Suchstring im Dateinamen durch einen anderen ersetzen"_s,
           u"cmd_ChangeString"_s}}},
        {u"Hinzufügen"_s,
         1335,
         {{u"Füge dem Dateinamen zu Beginn laufende Nummern hinzu"_s, u"cmd_AddNumber"_s},
          {u"Füge dem Dateinamen am Ende einen definierten Text hinzu"_s, u"cmd_AddText"_s}}},
        {u"Kürzen"_s,
         1815,
         {{u"Den Dateinamen am Anfang um eine oder mehrere Stellen kürzen"_s,
           u"cmd_CutNameFirst"_s},
          {u"Den Dateinamen am Ende um eine oder mehrere Stellen kürzen"_s, u"cmd_CutNameLast"_s},
          {u"Anhand eines Suchstrings den Dateinamen um den Teil hinter dem Suchstring kürzen"_s,
           u"cmd_CutNameStringLast"_s}}},
        {u"Sonstiges"_s,
         1335,
         {{u"ID3-Tag von mp3-Dateien auslesen"_s, u"cmd_ReadID3"_s},
          {u"MP3-Dateien zusammenkopieren"_s, u"cmd_CopyFiles"_s}}},
    };
}

// Layout in twips: frames one below the other, rows inside a frame.
constexpr int clientWidth = 4785;
constexpr int clientHeight = 7830;
constexpr int frameLeft = 240;
constexpr int frameTop = 420;
constexpr int frameWidth = 3975;
constexpr int frameGap = 225;
constexpr int rowTop = 300;
constexpr int rowPitch = 480;
constexpr int labelLeft = 120;
constexpr int labelWidth = 3375;
constexpr int labelHeight = 450;
constexpr int buttonSize = 255;
constexpr int buttonLeft = frameWidth - labelLeft - buttonSize;

} // namespace

frm_Main::frm_Main()
    : QMainWindow(nullptr, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      mainPrg_(fileSystem_) {
    setObjectName(u"frm_Main"_s);
    setWindowTitle(u"Brenk's Toolbox für Tessavo"_s);
    setWindowIcon(tessavoIcon());
    setFont(dialogFont());

    buildMenus();
    buildFrames();

    // The menu bar sits above the client area, so the window grows by its height.
    setFixedSize(twipsToPixels(clientWidth),
                 twipsToPixels(clientHeight) + menuBar()->sizeHint().height());
}

frm_Main::~frm_Main() = default;

void frm_Main::buildMenus() {
    QMenu* menueDatei = menuBar()->addMenu(u"Datei"_s);
    menueDatei->setObjectName(u"menueDatei"_s);
    QAction* menueBeenden = menueDatei->addAction(u"Beenden"_s);
    menueBeenden->setObjectName(u"menueBeenden"_s);
    connect(menueBeenden, &QAction::triggered, this, &frm_Main::close);

    QMenu* menueHilfe = menuBar()->addMenu(u"Hilfe"_s);
    menueHilfe->setObjectName(u"menueHilfe"_s);
    QAction* menueInformation = menueHilfe->addAction(u"Über ..."_s);
    menueInformation->setObjectName(u"menueInformation"_s);
    connect(menueInformation, &QAction::triggered, this, &frm_Main::showInformation);
}

void frm_Main::buildFrames() {
    auto* client = new QWidget(this);
    setCentralWidget(client);

    int top = frameTop;
    int frameNumber = 1;
    for (const Frame& frame : frames()) {
        auto* box = new QGroupBox(frame.title, client);
        box->setObjectName(u"Frame%1"_s.arg(frameNumber++));
        box->setGeometry(twipsRect(frameLeft, top, frameWidth, frame.heightTwips));
        top += frame.heightTwips + frameGap;

        int rowY = rowTop;
        for (const Row& row : frame.rows) {
            auto* label = new QLabel(row.description, box);
            label->setWordWrap(true);
            label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            label->setGeometry(twipsRect(labelLeft, rowY, labelWidth, labelHeight));

            auto* button = new QPushButton(box);
            button->setObjectName(row.button);
            describeButton(*button, row.description);
            button->setGeometry(twipsRect(buttonLeft, rowY + (labelHeight - buttonSize) / 2,
                                          buttonSize, buttonSize));
            rowY += rowPitch;

            if (row.button == u"cmd_ReadID3"_s)
                connect(button, &QPushButton::clicked, this, &frm_Main::openReadID3Dialog);
            else if (row.button == u"cmd_CopyFiles"_s)
                connect(button, &QPushButton::clicked, this, &frm_Main::openCopyFiles);
            else
                connect(button, &QPushButton::clicked, this,
                        [this, name = row.button] { openRenameDialog(renameSetup(name)); });
        }
    }
}

frm_ChangeFilename& frm_Main::changeFilenameDialog() {
    if (!changeFilename_)
        changeFilename_ = std::make_unique<frm_ChangeFilename>(mainPrg_, this);
    return *changeFilename_;
}

void frm_Main::openRenameDialog(const RenameSetup& setup) {
    if (mainPrg_.CurrentOperation != setup.key)
        mainPrg_.forgetLastRun();
    mainPrg_.CurrentOperation = setup.key;
    frm_ChangeFilename& dialog = changeFilenameDialog();
    dialog.setWindowTitle(setup.caption);
    namedControl<QLabel>(dialog, u"Label1"_s).setText(setup.firstLabel);
    auto& search = namedControl<QLineEdit>(dialog, u"txt_Suchstring"_s);
    search.resize(twipsToPixels(setup.searchWidthTwips), search.height());
    showOptional(dialog, u"Label5"_s, u"txt_Step"_s, setup.secondLabel);
    showOptional(dialog, u"Label6"_s, u"chk_Leerz"_s, setup.optionLabel);
    dialog.exec();
}

void frm_Main::openReadID3Dialog() {
    showReadID3Dialog(changeFilenameDialog(), mainPrg_);
}

void frm_Main::openCopyFiles() {
    if (!copyFiles_)
        copyFiles_ = std::make_unique<frm_CopyFiles>(this);
    copyFiles_->exec();
}

void frm_Main::showInformation() {
    if (!information_)
        information_ = std::make_unique<frm_Information>();
    information_->show();
    information_->raise();
    information_->activateWindow();
}

void frm_Main::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!recoveryAsked_) {
        recoveryAsked_ = true;
        // From the event loop, so that the window is up before the question.
        QTimer::singleShot(0, this, &frm_Main::recoverInterruptedRuns);
    }
}

void frm_Main::recoverInterruptedRuns() {
    // Most starts find nothing: no input is held back for them.
    if (!mainPrg_.anyInterruptedRuns())
        return;
    InputBlocker blocker;
    RecoveryWindow window(*this, blocker);
    mainPrg_.recoverInterruptedRuns(window);
}

void frm_Main::closeEvent(QCloseEvent* event) {
    event->accept();
    // The program ends with its main window; hidden dialogs must not keep it
    // running, and an open information window goes too.
    QApplication::closeAllWindows();
    QApplication::quit();
}
