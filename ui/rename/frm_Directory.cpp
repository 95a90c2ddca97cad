#include "ui/rename/frm_Directory.h"

#include "core/fs/FileNameRules.h"
#include "core/fs/NameCodec.h"
#include "core/rename/MainPrg.h"
#include "ui/widgets/DialogFont.h"
#include "ui/widgets/DirectoryList.h"
#include "ui/widgets/DriveList.h"
#include "ui/widgets/MessageBox.h"
#include "ui/widgets/Twips.h"

#include <QFontDatabase>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

QFont buttonFont(const QFont& defaultFont) {
    QFont font = defaultFont;
    const QString family = u"MS Sans Serif"_s;
    if (QFontDatabase::hasFamily(family))
        font.setFamily(family);
    font.setPointSizeF(8.25);
    font.setBold(true);
    return font;
}

} // namespace

frm_Directory::frm_Directory(MainPrg& mainPrg, QLineEdit* sourceField, QLineEdit* targetField,
                             QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      mainPrg_(mainPrg), sourceField_(sourceField), targetField_(targetField) {
    setObjectName(u"frm_Directory"_s);
    setWindowTitle(u"Verzeichnis auswählen"_s);
    setFont(dialogFont());
    resize(twipsToPixels(5880), twipsToPixels(5070));

    // Created in focus order: "Abbrechen", "OK", the drive list, the directory list.
    cmd_Abbrechen_ = new QPushButton(u"Abbrechen"_s, this);
    cmd_Abbrechen_->setObjectName(u"cmd_Abbrechen"_s);
    cmd_Abbrechen_->setGeometry(twipsRect(4080, 4200, 1575, 375));

    cmd_OK_ = new QPushButton(u"OK"_s, this);
    cmd_OK_->setObjectName(u"cmd_OK"_s);
    cmd_OK_->setGeometry(twipsRect(4080, 3720, 1575, 375));

    const QFont boldFont = buttonFont(font());
    cmd_Abbrechen_->setFont(boldFont);
    cmd_OK_->setFont(boldFont);

    lstLaufwerksbox_ = new DriveList(this);
    lstLaufwerksbox_->setObjectName(u"lstLaufwerksbox"_s);
    lstLaufwerksbox_->setGeometry(twipsRect(120, 3720, 2775, 315));

    lstVerzeichnisbox_ = new DirectoryList(this);
    lstVerzeichnisbox_->setObjectName(u"lstVerzeichnisbox"_s);
    lstVerzeichnisbox_->setGeometry(twipsRect(120, 0, 5535, 3240));
    lstLaufwerksbox_->showDriveOf(lstVerzeichnisbox_->path());

    cmd_Abbrechen_->setFocus();

    connect(cmd_OK_, &QPushButton::clicked, this, &frm_Directory::storeChoice);
    connect(cmd_Abbrechen_, &QPushButton::clicked, this, &frm_Directory::hide);
    connect(lstLaufwerksbox_, &DriveList::driveChosen, this, &frm_Directory::switchDrive);
    connect(lstVerzeichnisbox_, &DirectoryList::pathChanged, lstLaufwerksbox_,
            &DriveList::showDriveOf);
}

void frm_Directory::showEvent(QShowEvent* event) {
    // The directory may have gone while the picker was hidden.
    lstVerzeichnisbox_->setPath(lstVerzeichnisbox_->path());
    QDialog::showEvent(event);
}

void frm_Directory::storeChoice() {
    const QString chosen = lstVerzeichnisbox_->path() + directorySeparator();
    if (mainPrg_.DirectoryRequest == u"Quelle"_s) {
        sourceField_->setText(displayFileName(chosen));
        mainPrg_.SourceDir = chosen;
    } else if (mainPrg_.DirectoryRequest == u"Ziel"_s) {
        targetField_->setText(displayFileName(chosen));
        mainPrg_.TargetDir = chosen;
    }
    hide();
}

void frm_Directory::switchDrive(const QString& rootPath) {
    // A volume whose root cannot be read counts as not available.
    if (!lstVerzeichnisbox_->changeDirectory(rootPath))
        showMessageBox(
            this, Message{u"Fehler beim Laufwerkzugriff"_s, u"Fehler!"_s, MessageIcon::Critical});
}
