#pragma once

#include "core/fs/NameFolding.h"

#include <QString>

#include <optional>

// What the file system of a directory takes as a new name there, how it
// compares names, and whether anything can be written there: what a plan
// finds out once about each directory it gives names in, before the first
// move (see DirectoryTargetRules.h). The defaults are those of a Linux file
// system that could not be examined.
struct TargetRules {
    // Whether the directory could be examined; the rest is a guess otherwise.
    bool known = false;
    // The file system as the user knows it ("ext4", "FAT32", "exFAT"); empty
    // when it is only known to follow the rules below.
    QString fileSystemName;

    // The longest name: bytes on Linux file systems, UTF-16 units on FAT and exFAT.
    qsizetype longestName = 255;
    bool countsUtf16Units = false;
    // FAT and exFAT refuse the characters " * / : < > ? \ | and control
    // characters; a trailing dot or blank is dropped by some of their
    // drivers and kept by others, so it is refused too, lest a file end up
    // under another name than the one planned.
    bool fatNames = false;
    // The names must be valid UTF-8: FAT and exFAT keep UTF-16, and their
    // Linux drivers convert.
    bool utf8Only = false;
    // The driver takes no character beyond ASCII (fusefat).
    bool asciiOnly = false;

    NameFolding folding = NameFolding::Exact;

    // Why no entry can be made or renamed in the directory (EROFS, EACCES,
    // EPERM); 0 when one can.
    int unwritable = 0;

    // Why the file system would refuse `name`, as one German sentence; none
    // when it takes it. A plan asks for every name: most are settled here.
    std::optional<QString> refusal(const QString& name) const {
        // A UTF-16 unit takes at most three bytes in UTF-8.
        if (!fatNames && !asciiOnly && !utf8Only && name.size() <= longestName / 3)
            return std::nullopt;
        return fullRefusal(name);
    }

    bool ignoresCase() const { return folding != NameFolding::Exact; }
    // The name as the file system compares it: names with equal keys are
    // one entry there.
    QString comparisonKey(const QString& name) const {
        return ignoresCase() ? foldedName(name, folding) : name;
    }

private:
    std::optional<QString> fullRefusal(const QString& name) const;
};
