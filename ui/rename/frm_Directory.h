#pragma once

#include <QDialog>

class DirectoryList;
class DriveList;
class MainPrg;
class QLineEdit;
class QPushButton;

// The directory picker. "OK" stores the directory list's path, with one
// separator appended, into the field and the shared string that
// DirectoryRequest names; "Abbrechen" and closing store nothing. It is
// hidden, not destroyed, so the next opening starts where the user left.
class frm_Directory final : public QDialog {
    Q_OBJECT

public:
    frm_Directory(MainPrg& mainPrg, QLineEdit* sourceField, QLineEdit* targetField,
                  QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void storeChoice();
    void switchDrive(const QString& rootPath);

    MainPrg& mainPrg_;
    QLineEdit* sourceField_;
    QLineEdit* targetField_;
    DirectoryList* lstVerzeichnisbox_;
    DriveList* lstLaufwerksbox_;
    QPushButton* cmd_OK_;
    QPushButton* cmd_Abbrechen_;
};
