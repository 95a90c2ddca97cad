#pragma once

#include <QIcon>

// The program's own icon, 32 x 32 in 16 colours with larger renderings.
QIcon tessavoIcon();
