#pragma once

#include <QFont>

// The font every window is laid out for: an 8 pt face with Arial's metrics.
// The fixed label boxes hold their captions (the main window's descriptions
// in two lines), and the runs of blanks in the information text break its
// lines, only at these metrics.
QFont dialogFont();
