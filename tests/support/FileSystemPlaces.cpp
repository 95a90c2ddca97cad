#include "tests/support/FileSystemPlaces.h"

namespace {

QString rootOfMount(std::unique_ptr<FuseMount>& mount, FuseKind kind, QString& skipReason) {
    if (!mount)
        mount = std::make_unique<FuseMount>(kind);
    skipReason = mount->skipReason();
    return mount->isMounted() ? mount->root() : QString();
}

} // namespace

const char* nameOf(Place place) {
    switch (place) {
    case Place::Disk:
        return "disk";
    case Place::Tmpfs:
        return "tmpfs";
    case Place::Fat:
        return "FAT";
    case Place::ExFat:
        return "exFAT";
    case Place::CaseFoldedExt4:
        return "caseFoldedExt4";
    }
    return "?";
}

QString FileSystemPlaces::root(Place place, QString& skipReason) {
    skipReason.clear();
    switch (place) {
    case Place::Disk:
        return disk_.isValid() ? disk_.path() + u'/' : QString();
    case Place::Tmpfs:
        if (!tmpfs_)
            tmpfs_ = std::make_unique<TmpfsDir>();
        skipReason = tmpfs_->skipReason();
        return tmpfs_->root();
    case Place::Fat:
        return rootOfMount(fat_, FuseKind::Fat, skipReason);
    case Place::ExFat:
        return rootOfMount(exFat_, FuseKind::ExFat, skipReason);
    case Place::CaseFoldedExt4:
        if (!caseFolded_)
            caseFolded_ = std::make_unique<CaseFoldedDir>();
        skipReason = caseFolded_->skipReason();
        return caseFolded_->root();
    }
    return {};
}
