#pragma once

#include "platform/RunWindow.h"

#include <QDialog>

class MainPrg;
class frm_Directory;

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

private:
    class Impl;
    Impl* impl_;
};
