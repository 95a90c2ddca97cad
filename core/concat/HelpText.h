#pragma once

#include "core/run/RunWindow.h"

// The message of "Hilfe": how the two modes are used.
Message helpMessage();
