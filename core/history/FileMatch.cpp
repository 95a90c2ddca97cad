#include "core/history/FileMatch.h"

#include <cstdlib>

namespace {

constexpr qint64 nanosecondsPerMs = 1000000;
constexpr qint64 fatTimeStepNs = 2000000000;

} // namespace

bool isSameFile(const PhaseSetup& setup, const FileIdentity& recorded, const FileIdentity& found) {
    const qint64 listedNs = setup.listedMs * nanosecondsPerMs;
    if (setup.check == IdentityCheck::ByInode)
        return recorded.inode == found.inode && (found.bornNs < 0 || found.bornNs <= listedNs);
    return recorded.size >= 0 && recorded.size == found.size &&
           (std::llabs(recorded.modifiedNs - found.modifiedNs) <= fatTimeStepNs ||
            found.modifiedNs >= listedNs - fatTimeStepNs);
}
