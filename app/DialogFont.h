#pragma once

#include <QFont>

// The font the main window and the information window are laid out for: an
// 8 pt face with Arial's metrics. Their fixed label boxes hold each
// description in two lines, and the runs of blanks in the information text
// break its lines, only at these metrics.
QFont dialogFont();
