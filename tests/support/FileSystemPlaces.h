#pragma once

#include "tests/support/FuseMount.h"
#include "tests/support/TmpfsDir.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>

enum class Place { Disk, Tmpfs, Fat, ExFat };

const char* nameOf(Place place);

// The file systems a test can put files on, each made on first use and kept
// until the object goes: the disk of the temporary directory, a tmpfs apart
// from it, and FAT and exFAT through FUSE.
class FileSystemPlaces {
public:
    // A directory on the place for trees of the test (see TempTree), ending
    // with '/'. Empty where the machine cannot have the place, with the
    // reason in `skipReason`, and where making it failed, which fails the test.
    QString root(Place place, QString& skipReason);

private:
    QTemporaryDir disk_;
    std::unique_ptr<TmpfsDir> tmpfs_;
    std::unique_ptr<FuseMount> fat_;
    std::unique_ptr<FuseMount> exFat_;
};
