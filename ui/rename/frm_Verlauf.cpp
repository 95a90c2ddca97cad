#include "ui/rename/frm_Verlauf.h"

#include "core/history/HistoryActions.h"
#include "core/rename/MainPrg.h"
#include "ui/widgets/DialogFont.h"
#include "ui/widgets/InputBlocker.h"
#include "ui/widgets/MessageBox.h"
#include "ui/widgets/Twips.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace {

const QString title = u"Verlauf"_s;
constexpr qint64 progressIntervalMs = 30;
// Where a row keeps the id of its run, and whether it can be undone.
constexpr int idRole = Qt::UserRole;
constexpr int undoableRole = Qt::UserRole + 1;

} // namespace

frm_Verlauf::frm_Verlauf(MainPrg& mainPrg, RunWindow& parameterDialog, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      mainPrg_(mainPrg), parameterDialog_(parameterDialog) {
    setObjectName(u"frm_Verlauf"_s);
    setWindowTitle(title);
    setFont(dialogFont());
    resize(twipsToPixels(10800), twipsToPixels(4320));

    lst_Verlauf_ = new QTreeWidget(this);
    lst_Verlauf_->setObjectName(u"lst_Verlauf"_s);
    lst_Verlauf_->setGeometry(twipsRect(120, 120, 10560, 3480));
    // Directories keep their ends, which tell them apart.
    lst_Verlauf_->setTextElideMode(Qt::ElideMiddle);
    lst_Verlauf_->setRootIsDecorated(false);
    lst_Verlauf_->setUniformRowHeights(true);
    lst_Verlauf_->setAllColumnsShowFocus(true);
    lst_Verlauf_->setSelectionMode(QAbstractItemView::SingleSelection);
    lst_Verlauf_->setHeaderLabels({u"Datum"_s, u"Vorgang"_s, u"Quellverzeichnis"_s,
                                   u"Zielverzeichnis"_s, u"Dateien"_s, u"Zustand"_s});
    for (const auto& [column, twips] : {std::pair{0, 1680}, std::pair{1, 1740}, std::pair{2, 2190},
                                        std::pair{3, 2190}, std::pair{4, 660}, std::pair{5, 2040}})
        lst_Verlauf_->setColumnWidth(column, twipsToPixels(twips));

    cmd_VerlaufRueckgaengig_ = new QPushButton(u"Rückgängig"_s, this);
    cmd_VerlaufRueckgaengig_->setObjectName(u"cmd_VerlaufRueckgaengig"_s);
    cmd_VerlaufRueckgaengig_->setGeometry(twipsRect(8370, 3720, 1095, 375));
    cmd_VerlaufRueckgaengig_->setAutoDefault(false);
    cmd_VerlaufSchliessen_ = new QPushButton(u"Schließen"_s, this);
    cmd_VerlaufSchliessen_->setObjectName(u"cmd_VerlaufSchliessen"_s);
    cmd_VerlaufSchliessen_->setGeometry(twipsRect(9585, 3720, 1095, 375));
    cmd_VerlaufSchliessen_->setAutoDefault(false);

    connect(lst_Verlauf_, &QTreeWidget::itemSelectionChanged, this, &frm_Verlauf::updateUndoButton);
    connect(cmd_VerlaufRueckgaengig_, &QPushButton::clicked, this, &frm_Verlauf::undoSelected);
    connect(cmd_VerlaufSchliessen_, &QPushButton::clicked, this, &frm_Verlauf::hide);
}

void frm_Verlauf::showEvent(QShowEvent* event) {
    fill();
    QDialog::showEvent(event);
}

void frm_Verlauf::closeEvent(QCloseEvent* event) {
    if (inputBlocker_) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void frm_Verlauf::fill(const QString& chosen) {
    lst_Verlauf_->clear();
    QTreeWidgetItem* current = nullptr;
    for (const HistoryRow& row : mainPrg_.historyRows()) {
        auto* item = new QTreeWidgetItem(lst_Verlauf_, row.cells);
        item->setData(0, idRole, row.id);
        item->setData(0, undoableRole, row.undoable);
        item->setTextAlignment(4, Qt::AlignRight | Qt::AlignVCenter);
        item->setToolTip(2, row.cells.value(2));
        item->setToolTip(3, row.cells.value(3));
        if (row.id == chosen || !current)
            current = item;
    }
    if (current)
        lst_Verlauf_->setCurrentItem(current);
    updateUndoButton();
}

void frm_Verlauf::updateUndoButton() {
    const QTreeWidgetItem* item = lst_Verlauf_->currentItem();
    cmd_VerlaufRueckgaengig_->setEnabled(!inputBlocker_ && item && item->isSelected() &&
                                         item->data(0, undoableRole).toBool());
}

void frm_Verlauf::undoSelected() {
    const QTreeWidgetItem* item = lst_Verlauf_->currentItem();
    if (!item || inputBlocker_)
        return;
    const QString id = item->data(0, idRole).toString();
    cmd_VerlaufRueckgaengig_->setEnabled(false);
    cmd_VerlaufSchliessen_->setEnabled(false);
    sinceProgress_.invalidate();
    {
        InputBlocker blocker;
        inputBlocker_ = &blocker;
        mainPrg_.setWindow(this);
        mainPrg_.undoRun(id);
        mainPrg_.setWindow(&parameterDialog_);
        inputBlocker_ = nullptr;
    }
    setWindowTitle(title);
    cmd_VerlaufSchliessen_->setEnabled(true);
    fill(id);
}

QString frm_Verlauf::fieldText(const QString& control) const {
    return parameterDialog_.fieldText(control);
}

bool frm_Verlauf::isTicked(const QString& control) const {
    return parameterDialog_.isTicked(control);
}

void frm_Verlauf::setText(const QString& control, const QString& text) {
    parameterDialog_.setText(control, text);
}

void frm_Verlauf::appendText(const QString& control, const QString& text) {
    parameterDialog_.appendText(control, text);
}

MessageAnswer frm_Verlauf::showMessage(const Message& message) {
    if (inputBlocker_)
        inputBlocker_->setBlocking(false);
    const MessageAnswer answer = showMessageBox(this, message);
    if (inputBlocker_)
        inputBlocker_->setBlocking(true);
    return answer;
}

void frm_Verlauf::showProgress(qsizetype done, qsizetype total) {
    if (sinceProgress_.isValid() && sinceProgress_.elapsed() < progressIntervalMs)
        return;
    sinceProgress_.start();
    setWindowTitle(total == 0 ? title + u" – Verzeichnis wird gelesen …"_s
                              : title + u" – %1 von %2"_s.arg(done).arg(total));
    QCoreApplication::processEvents();
}
