#include "core/history/RunHistory.h"

#include "core/fs/DirectorySync.h"
#include "core/fs/NameCodec.h"
#include "core/fs/SystemError.h"
#include "core/history/StateDirectory.h"

#include <QDateTime>
#include <QRandomGenerator>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

const QString journalSuffix = u".journal"_s;
const QString unusedSuffix = u".unused"_s;

// Whether another open file description holds a lock on `fd`'s file.
bool isHeldElsewhere(int fd) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        ::flock(fd, LOCK_UN);
        return false;
    }
    return errno == EWOULDBLOCK;
}

qint64 sizeOf(int fd) {
    struct stat info;
    return ::fstat(fd, &info) == 0 ? qint64(info.st_size) : 0;
}

// UTC and milliseconds first, so that the names sort by when runs began.
QString newId() {
    return QDateTime::currentDateTimeUtc().toString(u"yyyyMMdd-HHmmss-zzz"_s) + u'-' +
           QString::number(::getpid()) + u'-' +
           QString::number(QRandomGenerator::global()->generate() & 0xffff, 16);
}

FsStatus writeAll(int fd, QByteArrayView bytes, const QString& path) {
    while (!bytes.isEmpty()) {
        const ssize_t written = ::write(fd, bytes.data(), size_t(bytes.size()));
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return FsStatus::failure(systemError(path));
        bytes = bytes.sliced(written);
    }
    return FsStatus::success();
}

} // namespace

RunHistory::RunHistory(QString directory) : directory_(std::move(directory)) {}

QString RunHistory::pathOf(const QString& id) const {
    return directory_ + id + journalSuffix;
}

FsResult<Descriptor> RunHistory::lockDirectory() const {
    if (directory_.isEmpty())
        return FsError{FsErrorCode::NotFound, directory_, ENOENT};
    if (const FsStatus prepared = prepareHistoryDirectory(directory_); !prepared)
        return prepared.error();
    const QString path = directory_ + u"lock"_s;
    Descriptor lock(
        ::open(encodeFileName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!lock.isOpen())
        return systemError(path);
    while (::flock(lock.get(), LOCK_EX) != 0) {
        if (errno != EINTR)
            return systemError(path);
    }
    return lock;
}

FsResult<std::unique_ptr<JournalFile>> RunHistory::create(const QByteArray& firstBytes) const {
    FsResult<Descriptor> lock = lockDirectory();
    if (!lock)
        return lock.error();
    QString id;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 16; ++attempt) {
        id = newId();
        fd = ::open(encodeFileName(pathOf(id)).constData(),
                    O_RDWR | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0 && errno != EEXIST)
            return systemError(directory_);
    }
    if (fd < 0)
        return systemError(directory_, EEXIST);
    auto file = std::make_unique<JournalFile>(id, fd);
    const QString path = pathOf(id);
    FsStatus written = FsStatus::success();
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        written = FsStatus::failure(systemError(path));
    if (written)
        written = writeAll(fd, firstBytes, path);
    if (written && ::fdatasync(fd) != 0)
        written = FsStatus::failure(systemError(path));
    // The new name must last as the bytes do.
    if (written && !syncDirectory(encodeFileName(directory_)))
        written = FsStatus::failure(systemError(directory_));
    if (!written) {
        ::unlink(encodeFileName(path).constData());
        return written.error();
    }
    return file;
}

FsResult<std::unique_ptr<JournalFile>> RunHistory::open(const QString& id) const {
    const QString path = pathOf(id);
    const int fd =
        ::open(encodeFileName(path).constData(), O_RDWR | O_APPEND | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return systemError(path);
    auto file = std::make_unique<JournalFile>(id, fd);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        return systemError(path, errno == EWOULDBLOCK ? EACCES : errno);
    return file;
}

void RunHistory::remove(const JournalFile& file) const {
    const FsResult<Descriptor> lock = lockDirectory();
    ::unlink(encodeFileName(pathOf(file.id)).constData());
}

FsResult<QString> RunHistory::setAside(const QString& id) const {
    const FsResult<Descriptor> lock = lockDirectory();
    if (!lock)
        return lock.error();
    const QString aside = pathOf(id) + unusedSuffix;
    if (::rename(encodeFileName(pathOf(id)).constData(), encodeFileName(aside).constData()) != 0)
        return systemError(pathOf(id));
    return aside;
}

QStringList RunHistory::journalIds(bool withUnused) const {
    QStringList ids;
    DIR* handle = ::opendir(encodeFileName(directory_).constData());
    if (!handle)
        return ids;
    while (const dirent* entry = ::readdir(handle)) {
        const QString name = decodeFileName(QByteArrayView(entry->d_name));
        if (name.startsWith(u'.'))
            continue;
        if (name.endsWith(journalSuffix))
            ids.append(withUnused ? name : name.chopped(journalSuffix.size()));
        else if (withUnused && name.endsWith(journalSuffix + unusedSuffix))
            ids.append(name);
    }
    ::closedir(handle);
    std::sort(ids.begin(), ids.end());
    return ids;
}

void RunHistory::prune(const QString& newest) const {
    const FsResult<Descriptor> lock = lockDirectory();
    if (!lock)
        return;
    // Journals put aside count as the runs they were, by when they began.
    QStringList files;
    for (const QString& id : journalIds(true))
        files.append(id);
    qsizetype kept = 0;
    qint64 keptSize = 0;
    for (qsizetype index = files.size() - 1; index >= 0; --index) {
        const QString path = directory_ + files[index];
        const Descriptor fd(::open(encodeFileName(path).constData(), O_RDONLY | O_CLOEXEC));
        if (!fd.isOpen())
            continue;
        const qint64 size = sizeOf(fd.get());
        const bool fits = kept < keptRuns && keptSize + size <= keptBytes;
        if (files[index] == newest + journalSuffix || isHeldElsewhere(fd.get()) || fits) {
            ++kept;
            keptSize += size;
            continue;
        }
        ::unlink(encodeFileName(path).constData());
    }
}

QList<HistoryEntry> RunHistory::entries(bool checkEveryRecord) const {
    QList<HistoryEntry> found;
    const QStringList ids = journalIds(false);
    for (auto id = ids.crbegin(); id != ids.crend(); ++id) {
        const Descriptor fd(
            ::open(encodeFileName(pathOf(*id)).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
        if (!fd.isOpen())
            continue; // dropped by another process meanwhile
        HistoryEntry entry;
        entry.id = *id;
        entry.running = isHeldElsewhere(fd.get());
        entry.summary = summarizeJournal(fd.get(), checkEveryRecord);
        entry.bytes = sizeOf(fd.get());
        found.append(entry);
    }
    return found;
}
