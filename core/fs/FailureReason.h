#pragma once

#include "core/fs/FsResult.h"

// Why a file operation failed, in one German sentence for the user.
QString failureReason(const FsError& error);
