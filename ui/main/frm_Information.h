#pragma once

#include <QWidget>

// The information window: a few sentences about the toolbox, closed through
// its title bar.
class frm_Information final : public QWidget {
    Q_OBJECT

public:
    explicit frm_Information(QWidget* parent = nullptr);

    // The label's caption: four sentences, runs of blanks between them.
    static QString caption();
};
