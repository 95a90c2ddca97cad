#pragma once

#include <QString>

// How a file system compares names: two names that fold alike are one entry.
enum class NameFolding {
    // Byte for byte, as Linux file systems compare.
    Exact,
    // Letter case ignored, one UTF-16 unit at a time (FAT, exFAT). Each
    // unit folds by Unicode's simple case folding, which joins every pair
    // that exFAT's recommended up-case table joins, and a few dozen rare
    // pairs more (the micro sign and mu, dotless i and I): the plan then
    // calls such a name taken where the drive might take it, never the
    // other way round.
    SimpleCase,
    // Letter case and Unicode normalisation ignored, as in an ext4 directory
    // with case folding: full case folding of the canonical decomposition.
    // A name that is not valid UTF-8 compares byte for byte there.
    CaseAndNormalisation,
};

// The name as a file system with `folding` compares it.
QString foldedName(const QString& name, NameFolding folding);
