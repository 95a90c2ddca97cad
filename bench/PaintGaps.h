#pragma once

#include <QElapsedTimer>
#include <QObject>

#include <vector>

// How long a window went without painting while a run was under way: an
// event filter on the widgets watched notes every paint, and the longest
// stretch between the run's start, its paints and its end is what a user
// waited for a sign of life.
class PaintGaps final : public QObject {
public:
    // Notes the paints of `widget` from now on.
    void watch(QObject* widget);

    // The run starts: paints are noted from here, and the first gap begins.
    void begin();
    // The run has ended: the last gap ends here, later paints are ignored.
    void end();

    qsizetype paints() const { return paints_; }
    // In seconds.
    double longest() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QElapsedTimer clock_;
    std::vector<double> instants_; // seconds: the start, every paint, the end
    qsizetype paints_ = 0;
    bool running_ = false;
};

// The longest difference between successive instants; 0 for fewer than two.
double longestGap(const std::vector<double>& instants);
