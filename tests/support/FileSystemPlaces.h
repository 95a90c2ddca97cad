#pragma once

#include "tests/support/CaseFoldedDir.h"
#include "tests/support/FuseMount.h"
#include "tests/support/TempTree.h"
#include "tests/support/TmpfsDir.h"

#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <ostream>

enum class Place { Disk, Tmpfs, Fat, ExFat, CaseFoldedExt4 };

const char* nameOf(Place place);

inline void PrintTo(Place place, std::ostream* out) {
    *out << nameOf(place);
}

// The file systems a test can put files on, each made on first use and kept
// until the object goes: the disk of the temporary directory, a tmpfs apart
// from it, FAT and exFAT through FUSE, and an ext4 directory with case folding.
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
    std::unique_ptr<CaseFoldedDir> caseFolded_;
};

// A fixture whose tests share the places of their suite, made before its
// first test and unmounted after its last.
class PlacesSuite : public testing::Test {
protected:
    static void SetUpTestSuite() { places_ = std::make_unique<FileSystemPlaces>(); }
    static void TearDownTestSuite() { places_.reset(); }

    // See FileSystemPlaces::root().
    static QString placeRoot(Place place, QString& skipReason) {
        return places_->root(place, skipReason);
    }

private:
    static inline std::unique_ptr<FileSystemPlaces> places_;
};

// A test run once for each place, with a temporary tree on it; skipped
// where the machine cannot have the place.
class TreeOnPlace : public PlacesSuite, public testing::WithParamInterface<Place> {
protected:
    void SetUp() override {
        QString skipReason;
        const QString root = placeRoot(GetParam(), skipReason);
        if (root.isEmpty())
            GTEST_SKIP() << skipReason.toStdString();
        tree.emplace(root);
    }

    // A path inside the tree.
    QString at(const QString& relative) const { return tree->root() + relative; }

    std::optional<TempTree> tree;
};
