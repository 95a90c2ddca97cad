#pragma once

#include <QByteArray>

#include <optional>

#include <sys/types.h>

// A mount as /proc/self/mountinfo lists it.
struct MountEntry {
    QByteArray type;    // "ext4", "tmpfs", "fuse.fusefat", "fuseblk", ...
    QByteArray source;  // the device or what the driver calls it
    QByteArray options; // the file system's own options, comma-separated
};

// The mount of the device `device`; a later mount of the same device hides
// an earlier one. None where the table cannot be read or lacks it.
std::optional<MountEntry> mountOf(dev_t device);
