#include "core/rename/PlanDirectories.h"

#include "core/fs/FileSystem.h"
#include "core/run/WhileWaiting.h"

PlanDirectories planDirectories(const FileSystem& fileSystem, const QString& sourceDir,
                                const QString& targetDir, bool inPlace,
                                const std::function<void()>& stillWorking) {
    return whileWaiting(
        [&] {
            TargetRules target = fileSystem.targetRules(targetDir);
            TargetRules source = inPlace ? target : fileSystem.targetRules(sourceDir);
            return PlanDirectories{std::move(target), std::move(source)};
        },
        stillWorking);
}
