#include "bench/Baseline.h"
#include "bench/DialogRun.h"
#include "bench/Jobs.h"
#include "bench/Measure.h"
#include "bench/RunLog.h"
#include "bench/ScratchDir.h"

#include "core/fs/Descriptor.h"
#include "core/fs/NameCodec.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <stdexcept>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr off_t fileSize = 4 * 1024 * 1024;
constexpr int trailerSize = 128;

// Zero-padded, so that the natural order is the byte order.
QByteArray fileName(int number) {
    return "Track " + QByteArray::number(number).rightJustified(5, '0') + ".mp3";
}

// The title field of a file's trailer: its own name, so the tag that the run
// keeps tells which file it read last.
QByteArray titleOf(const QByteArray& name) {
    return name.leftJustified(30, '\0', true);
}

QByteArray trailerOf(const QByteArray& name) {
    return ("TAG" + titleOf(name)).leftJustified(trailerSize, '\0');
}

// Sparse files of 4 MiB, each ending in an ID3v1 trailer.
QList<QByteArray> createTaggedFiles(const QByteArray& directory, int count) {
    QList<QByteArray> names;
    for (int number = 1; number <= count; ++number) {
        const QByteArray name = fileName(number);
        const QByteArray path = directory + name;
        const QByteArray trailer = trailerOf(name);
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        const bool written =
            fd >= 0 && ::ftruncate(fd, fileSize) == 0 &&
            ::pwrite(fd, trailer.constData(), trailerSize, fileSize - trailerSize) == trailerSize;
        if (fd >= 0)
            ::close(fd);
        if (!written)
            throw std::runtime_error("cannot create " + path.toStdString());
        names.append(name);
    }
    return names;
}

// readdir and sort, then per file what any reader of a trailer must do.
int baselineTagged(const QByteArray& directory) {
    const Descriptor directoryFd = baseline::openDirectory(directory);
    return baseline::countTagged(directoryFd.get(),
                                 baseline::sortedRegularFiles(directoryFd.get()));
}

} // namespace

JobResult benchId3(const BenchOptions& options, const ScratchDir& scratch) {
    const int files = options.quick ? 300 : 20000;
    JobResult result;
    result.job = u"ID3 check"_s;
    result.work = u"%L1 sparse files of 4 MiB, all tagged"_s.arg(files);
    result.target = u"≤ 1.10 x baseline"_s;

    const QString directory = scratch.makeDir(u"id3"_s);
    const QByteArray directoryBytes = encodeFileName(directory);
    const QList<QByteArray> names = createTaggedFiles(directoryBytes, files);
    // The first read of each file updates its access time; neither side
    // should pay for that alone.
    baselineTagged(directoryBytes);
    scratch.settle();

    PairedRuns runs;
    for (int round = 0; round < options.repeat; ++round) {
        const auto runBaseline = [&] {
            int tagged = 0;
            runs.theirs.push_back(
                measure([&] { tagged = baselineTagged(directoryBytes); }).seconds);
            if (tagged != files)
                result.faults.append(u"the baseline found %1 tags"_s.arg(tagged));
        };
        const auto runTessavo = [&] {
            DialogRun run({.operation = u"ReadID3"_s, .source = directory});
            runs.ours.push_back(run.run());
            result.faults += run.faults(runLogOf(names));
            const ID3TagRecord& tag = run.state().ID3Tag;
            if (tag.Tag != "TAG" || tag.Title != titleOf(names.last()))
                result.faults.append(u"ReadID3 did not keep the last file's tag"_s);
        };
        inAlternatingOrder(round, runBaseline, runTessavo);
    }
    scratch.remove(u"id3"_s);

    summarise(result, runs);
    result.targetMet = *result.ratio <= 1.10;
    return result;
}
