#pragma once

#include "core/concat/ConcatRun.h"
#include "core/concat/ConcatState.h"
#include "core/concat/CopyFilesWindow.h"
#include "core/concat/InputSelection.h"
#include "core/fs/LocalFileJoiner.h"
#include "core/fs/LocalFileSystem.h"

#include <QDialog>
#include <QList>

class QFileDialog;
class QPushButton;

// The concatenation window. Created once and hidden by "Abbrechen", so what
// it holds carries over to the next opening.
class frm_CopyFiles final : public QDialog, public CopyFilesWindow {
    Q_OBJECT

public:
    explicit frm_CopyFiles(QWidget* parent = nullptr);
    ~frm_CopyFiles() override;

    QString fieldText(const QString& control) const override;
    bool isSelected(const QString& option) const override;
    void setText(const QString& control, const QString& text) override;
    void setFieldColour(const QString& control, FieldColour colour) override;
    MessageAnswer showMessage(const Message& message) override;
    QString showOpenDialog() override;
    void Pause(int Dauer) override;
    bool isCancelled() const override { return Cancelled; }
    void setCancelled(bool cancelled) override { Cancelled = cancelled; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();
    void start();
    void abbrechen();

    ConcatState state_;
    LocalFileSystem fileSystem_;
    LocalFileJoiner joiner_;
    InputSelection selection_;
    ConcatRun run_;
    bool Cancelled = false;

    QFileDialog* CommonDialog1;
    // Refused while a run is under way: "Start" and the four file buttons.
    QList<QPushButton*> runButtons_;
};
