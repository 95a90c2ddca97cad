#pragma once

#include "platform/FsResult.h"

// Why a file operation failed, in one German sentence for the user.
QString failureReason(const FsError& error);
