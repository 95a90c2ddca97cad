#include "core/history/FileMatch.h"

#include <cstdlib>

namespace {

constexpr qint64 nanosecondsPerMs = 1000000;
constexpr qint64 fatTimeStepNs = 2000000000;

} // namespace

bool isSameFile(const PhaseSpec& spec, const FileIdentity& recorded, const FileIdentity& found) {
    switch (spec.check) {
    case IdentityCheck::ByInode:
        return recorded.inode == found.inode &&
               (found.bornNs < 0 || found.bornNs <= spec.listedMs * nanosecondsPerMs);
    case IdentityCheck::ByStamp:
        return recorded.size >= 0 && recorded.size == found.size &&
               recorded.modifiedNs == found.modifiedNs;
    case IdentityCheck::ByStampAcrossVolumes:
        return recorded.size >= 0 && recorded.size == found.size &&
               std::llabs(recorded.modifiedNs - found.modifiedNs) <= fatTimeStepNs;
    }
    return false;
}
