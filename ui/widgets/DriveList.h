#pragma once

#include <QComboBox>
#include <QList>

// The drive list: the mounted file systems a user would pick from, the
// root "/" first. Choosing another entry emits driveChosen; showing the
// drive of a path from the program emits nothing.
class DriveList final : public QComboBox {
    Q_OBJECT

public:
    struct Drive {
        QString rootPath;
        QString label; // the volume's name, empty when it has none
    };

    // Fills the list with mountedDrives().
    explicit DriveList(QWidget* parent = nullptr);

    static QList<Drive> mountedDrives();

    void setDrives(const QList<Drive>& drives);
    QString currentDrive() const;
    // Selects the drive that holds the path: the longest root that is a prefix.
    void showDriveOf(const QString& path);

    // Reads the mounts again, so that newly mounted media show up.
    void showPopup() override;

signals:
    void driveChosen(const QString& rootPath);
};
