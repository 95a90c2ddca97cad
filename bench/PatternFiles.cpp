#include "bench/PatternFiles.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace pattern {
namespace {

constexpr qint64 chunkSize = 1024 * 1024;

// The words of `fileNumber`'s pattern from byte `offset` on.
void fill(std::vector<quint64>& words, int fileNumber, qint64 offset) {
    for (size_t i = 0; i < words.size(); ++i)
        words[i] = (quint64(fileNumber) << 40) | quint64(offset + qint64(i * sizeof(quint64)));
}

// Reads exactly `length` bytes unless the file ends first.
qint64 readFully(int fd, char* data, qint64 length) {
    qint64 done = 0;
    while (done < length) {
        const ssize_t got = ::read(fd, data + done, size_t(length - done));
        if (got <= 0)
            break;
        done += got;
    }
    return done;
}

} // namespace

void writeFile(const QByteArray& path, int fileNumber, qint64 size) {
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        throw std::runtime_error("cannot create " + path.toStdString());
    std::vector<quint64> words;
    bool written = true;
    for (qint64 offset = 0; written && offset < size; offset += chunkSize) {
        const qint64 length = std::min(chunkSize, size - offset);
        words.resize(size_t(length) / sizeof(quint64));
        fill(words, fileNumber, offset);
        written = ::write(fd, words.data(), size_t(length)) == length;
    }
    if (::close(fd) != 0 || !written)
        throw std::runtime_error("cannot write " + path.toStdString());
}

bool holdsJoined(const QByteArray& path, const QList<int>& fileNumbers, qint64 size) {
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    std::vector<quint64> expected;
    std::vector<quint64> actual;
    bool same = true;
    for (const int fileNumber : fileNumbers) {
        for (qint64 offset = 0; same && offset < size; offset += chunkSize) {
            const qint64 length = std::min(chunkSize, size - offset);
            expected.resize(size_t(length) / sizeof(quint64));
            actual.resize(expected.size());
            fill(expected, fileNumber, offset);
            same = readFully(fd, reinterpret_cast<char*>(actual.data()), length) == length &&
                   std::memcmp(expected.data(), actual.data(), size_t(length)) == 0;
        }
    }
    char extra;
    same = same && ::read(fd, &extra, 1) == 0;
    ::close(fd);
    return same;
}

} // namespace pattern
