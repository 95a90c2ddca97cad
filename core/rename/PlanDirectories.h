#pragma once

#include "core/fs/TargetRules.h"

#include <QString>

#include <functional>

class FileSystem;

// What the two directories of a plan take as names: the target's rules for
// the run, the source's for MoveBack.
struct PlanDirectories {
    TargetRules target;
    TargetRules source;
};

// Finds both out once (one directory in place), on another thread while
// `stillWorking`, when given, lets a window paint: a slow drive may take its
// time to answer a probe.
PlanDirectories planDirectories(const FileSystem& fileSystem, const QString& sourceDir,
                                const QString& targetDir, bool inPlace,
                                const std::function<void()>& stillWorking);
