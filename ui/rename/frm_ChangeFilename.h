#pragma once

#include "core/run/RunWindow.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QList>

#include <functional>

class InputBlocker;
class LogField;
class MainPrg;
class frm_Directory;
class frm_Verlauf;
class QLineEdit;
class QPushButton;

// The parameter dialog through which every rename operation and the ID3
// check run. Created once and hidden by "Ende", so what it holds carries
// over from one opening to the next. It is the window of every run: runs
// read its fields and write its log through RunWindow.
class frm_ChangeFilename final : public QDialog, public RunWindow {
    Q_OBJECT

public:
    explicit frm_ChangeFilename(MainPrg& mainPrg, QWidget* parent = nullptr);
    ~frm_ChangeFilename() override;

    QString fieldText(const QString& control) const override;
    bool isTicked(const QString& control) const override;
    void setText(const QString& control, const QString& text) override;
    void appendText(const QString& control, const QString& text) override;
    MessageAnswer showMessage(const Message& message) override;
    void showProgress(qsizetype done, qsizetype total) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // Runs `work` (a run, a preview or an undo) to its end with the buttons
    // disabled and the user's input dropped, repainting as it reports progress.
    void runBlocking(const std::function<void()>& work);
    void updateUndoButton();
    void chooseDirectory(const QString& request);
    void showHistory();
    void setButtonsEnabled(bool enabled);
    bool isLog(const QString& control) const;

    MainPrg& mainPrg_;
    frm_Directory* picker_ = nullptr;
    frm_Verlauf* history_ = nullptr;
    QLineEdit* txt_Quellverzeichnis_;
    QLineEdit* txt_Zielverzeichnis_;
    LogField* txt_Filename_;
    QPushButton* cmd_Rueckgaengig_;
    QList<QPushButton*> buttons_;

    bool running_ = false;
    InputBlocker* inputBlocker_ = nullptr; // while a run is under way
    QString captionBeforeRun_;
    QElapsedTimer sinceProgress_;
};
