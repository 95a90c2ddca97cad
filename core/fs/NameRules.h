#pragma once

#include <QString>

#include <optional>

// What the file system of a directory refuses in a new name beyond what
// every Linux file system refuses (a separator, a NUL).
struct NameRules {
    // FAT and exFAT, through the kernel or FUSE, refuse the characters
    // " * / : < > ? \ | and control characters; a trailing dot or blank is
    // dropped by some of their drivers and kept by others, so it is refused
    // too, lest a file end up under another name than the one planned.
    bool fatNames = false;
    // The file system as the user knows it ("FAT", "exFAT"); empty when it
    // is only known to follow those rules.
    QString fileSystemName;

    // Why the file system would refuse `name`, as one German sentence; none
    // when it takes it.
    std::optional<QString> refusal(const QString& name) const;
};
