#include "bench/ScratchDir.h"

#include "core/fs/NameCodec.h"

#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace {

[[noreturn]] void fail(const char* what, const QByteArray& path) {
    throw std::runtime_error(std::string(what) + ' ' + path.toStdString() + ": " +
                             std::strerror(errno));
}

void removeTree(const QByteArray& path) {
    const auto removeEntry = [](const char* entry, const struct stat*, int, struct FTW*) {
        return ::remove(entry) == 0 || errno == ENOENT ? 0 : -1;
    };
    if (::nftw(path.constData(), removeEntry, 64, FTW_DEPTH | FTW_PHYS) != 0 && errno != ENOENT)
        fail("cannot remove", path);
}

} // namespace

ScratchDir::ScratchDir(const QString& parent) {
    QByteArray pattern = encodeFileName(parent) + "/tessavo-bench-XXXXXX";
    if (!::mkdtemp(pattern.data()))
        fail("cannot create a scratch directory in", encodeFileName(parent));
    path_ = decodeFileName(pattern) + u'/';
}

ScratchDir::~ScratchDir() {
    try {
        removeTree(encodeFileName(path_));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
    }
}

QString ScratchDir::makeDir(const QString& relative) const {
    const QString directory = path_ + relative;
    if (::mkdir(encodeFileName(directory).constData(), 0755) != 0)
        fail("cannot create", encodeFileName(directory));
    return directory + u'/';
}

void ScratchDir::remove(const QString& relative) const {
    removeTree(encodeFileName(path_ + relative));
}

void ScratchDir::settle() const {
    const int fd = ::open(encodeFileName(path_).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0 || ::syncfs(fd) != 0)
        fail("cannot sync", encodeFileName(path_));
    ::close(fd);
}
