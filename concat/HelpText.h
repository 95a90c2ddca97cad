#pragma once

#include "platform/RunWindow.h"

// The message of "Hilfe": how the two modes are used.
Message helpMessage();
