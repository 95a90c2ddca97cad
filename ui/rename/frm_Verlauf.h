#pragma once

#include "core/run/RunWindow.h"

#include <QDialog>
#include <QElapsedTimer>

class InputBlocker;
class MainPrg;
class QPushButton;
class QTreeWidget;

// The history of runs, newest first: when, which operation, which
// directories, how many files and how the run stands. "Rückgängig" undoes
// the selected run; meanwhile this window is the run's window, and the
// names put back go to the log of the parameter dialog beneath it.
class frm_Verlauf final : public QDialog, public RunWindow {
    Q_OBJECT

public:
    frm_Verlauf(MainPrg& mainPrg, RunWindow& parameterDialog, QWidget* parent = nullptr);

    QString fieldText(const QString& control) const override;
    bool isTicked(const QString& control) const override;
    void setText(const QString& control, const QString& text) override;
    void appendText(const QString& control, const QString& text) override;
    MessageAnswer showMessage(const Message& message) override;
    void showProgress(qsizetype done, qsizetype total) override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Lists the runs, the one `chosen` selected, else the newest.
    void fill(const QString& chosen = {});
    void undoSelected();
    void updateUndoButton();

    MainPrg& mainPrg_;
    RunWindow& parameterDialog_;
    QTreeWidget* lst_Verlauf_;
    QPushButton* cmd_VerlaufRueckgaengig_;
    QPushButton* cmd_VerlaufSchliessen_;
    InputBlocker* inputBlocker_ = nullptr; // while an undo is under way
    QElapsedTimer sinceProgress_;
};
