#include "bench/PaintGaps.h"

#include <QEvent>

#include <algorithm>

void PaintGaps::watch(QObject* widget) {
    widget->installEventFilter(this);
}

void PaintGaps::begin() {
    instants_.clear();
    paints_ = 0;
    clock_.start();
    instants_.push_back(0);
    running_ = true;
}

void PaintGaps::end() {
    instants_.push_back(double(clock_.nsecsElapsed()) / 1e9);
    running_ = false;
}

double PaintGaps::longest() const {
    return longestGap(instants_);
}

bool PaintGaps::eventFilter(QObject* watched, QEvent* event) {
    if (running_ && event->type() == QEvent::Paint) {
        instants_.push_back(double(clock_.nsecsElapsed()) / 1e9);
        ++paints_;
    }
    return QObject::eventFilter(watched, event);
}

double longestGap(const std::vector<double>& instants) {
    double longest = 0;
    for (size_t i = 1; i < instants.size(); ++i)
        longest = std::max(longest, instants[i] - instants[i - 1]);
    return longest;
}
