#include "bench/Baseline.h"
#include "bench/Jobs.h"
#include "bench/Measure.h"
#include "bench/RunLog.h"
#include "bench/ScratchDir.h"

#include "platform/LocalFileSystem.h"
#include "platform/NameCodec.h"
#include "rename/MainPrg.h"
#include "tests/support/RecordingWindow.h"

#include <fcntl.h>
#include <unistd.h>

#include <stdexcept>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// AddNumber with start 1, a blank, and a step of 0: every file gets "01 ",
// since numbers beyond 32767 end a run and 100,000 files would reach them.
const QByteArray numberPrefix = "01 ";
const QString addedText = u"_x"_s;

// Zero-padded numbers make the natural order the byte order, so Tessavo and
// the baseline move the files in the same order.
QList<QByteArray> fileNames(int count) {
    QList<QByteArray> names;
    names.reserve(count);
    for (int number = 1; number <= count; ++number)
        names.append("Artist - Title " + QByteArray::number(number).rightJustified(6, '0') +
                     ".mp3");
    return names;
}

QList<QByteArray> withPrefix(const QByteArray& prefix, const QList<QByteArray>& names) {
    QList<QByteArray> prefixed;
    prefixed.reserve(names.size());
    for (const QByteArray& name : names)
        prefixed.append(prefix + name);
    return prefixed;
}

QList<QByteArray> withAddedText(const QList<QByteArray>& names) {
    QList<QByteArray> changed;
    changed.reserve(names.size());
    for (const QByteArray& name : names)
        changed.append(name.chopped(4) + encodeFileName(addedText) + name.right(4));
    return changed;
}

// The source and target directory of one side of a round.
struct RenameDirs {
    QString source;
    QString target;

    // Whether the directories hold exactly the names given.
    bool hold(const QList<QByteArray>& inSource, const QList<QByteArray>& inTarget) const {
        return baseline::sortedRegularFiles(encodeFileName(source)) == inSource &&
               baseline::sortedRegularFiles(encodeFileName(target)) == inTarget;
    }
};

// A source directory with an empty file for each name, and an empty target.
RenameDirs makeRenameDirs(const ScratchDir& scratch, const QString& side,
                          const QList<QByteArray>& names) {
    scratch.makeDir(side);
    const RenameDirs dirs{scratch.makeDir(side + u"/src"_s), scratch.makeDir(side + u"/dst"_s)};
    const QByteArray directory = encodeFileName(dirs.source);
    for (const QByteArray& name : names) {
        const QByteArray path = directory + name;
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0)
            throw std::runtime_error("cannot create " + path.toStdString());
        ::close(fd);
    }
    return dirs;
}

// One rename operation through the real code path, log included.
class RenameRunner {
public:
    RenameRunner(const QString& key, const RenameDirs& dirs, const QString& search,
                 const QString& step, bool moveBack)
        : key_(key), prg_(fileSystem_) {
        prg_.setWindow(&window_);
        prg_.SourceDir = dirs.source;
        prg_.TargetDir = dirs.target;
        window_.fields[u"txt_Suchstring"_s] = search;
        window_.fields[u"txt_Step"_s] = step;
        window_.ticks[u"chk_Leerz"_s] = true;
        window_.ticks[u"chk_MoveBack"_s] = moveBack;
    }

    void run() { prg_.runOperation(key_); }

    // What the run did wrong: any message it showed, or a log that is not
    // the list of the names it was given.
    QStringList faults(const QList<QByteArray>& names) const {
        QStringList found;
        for (const QString& text : window_.messageTexts())
            found.append(key_ + u" showed \""_s + text + u'"');
        if (window_.fields.value(u"txt_Filename"_s) != runLogOf(names))
            found.append(key_ + u" did not log every name"_s);
        return found;
    }

private:
    QString key_;
    LocalFileSystem fileSystem_;
    RecordingWindow window_;
    MainPrg prg_;
};

// AddNumber through the rename run; with MoveBack ticked, the baseline runs
// its loop a second time to move the files back.
JobResult renameJob(const BenchOptions& options, const ScratchDir& scratch, bool moveBack) {
    const int files = options.quick ? 300 : 100000;
    JobResult result;
    result.job = moveBack ? u"rename, MoveBack"_s : u"rename"_s;
    result.work = u"AddNumber, %L1 empty files"_s.arg(files);
    result.target = u"≤ 1.25 x baseline"_s;

    const QList<QByteArray> names = fileNames(files);
    const QList<QByteArray> renamed = withPrefix(numberPrefix, names);
    const QList<QByteArray> expectedInSource = moveBack ? renamed : QList<QByteArray>();
    const QList<QByteArray> expectedInTarget = moveBack ? QList<QByteArray>() : renamed;

    PairedRuns runs;
    for (int round = 0; round < options.repeat; ++round) {
        const RenameDirs baselineDirs = makeRenameDirs(scratch, u"rename-baseline"_s, names);
        const RenameDirs tessavoDirs = makeRenameDirs(scratch, u"rename-tessavo"_s, names);
        scratch.settle();

        bool baselineDone = false;
        const auto runBaseline = [&] {
            const QByteArray source = encodeFileName(baselineDirs.source);
            const QByteArray target = encodeFileName(baselineDirs.target);
            runs.theirs.push_back(
                measure([&] {
                    baselineDone = baseline::renameAll(
                        source, target, baseline::sortedRegularFiles(source), numberPrefix);
                    if (moveBack)
                        baselineDone = baselineDone &&
                                       baseline::renameAll(target, source,
                                                           baseline::sortedRegularFiles(target));
                }).seconds);
            scratch.settle();
        };
        const auto runTessavo = [&] {
            RenameRunner runner(u"AddNumber"_s, tessavoDirs, u"1"_s, u"0"_s, moveBack);
            const Sample sample = measure([&] { runner.run(); });
            result.faults += runner.faults(names);
            runs.ours.push_back(sample);
            scratch.settle();
        };
        inAlternatingOrder(round, runBaseline, runTessavo);

        if (!baselineDone || !baselineDirs.hold(expectedInSource, expectedInTarget))
            result.faults.append(u"the baseline did not rename every file"_s);
        if (!tessavoDirs.hold(expectedInSource, expectedInTarget))
            result.faults.append(moveBack ? u"not every file was renamed and moved back"_s
                                          : u"not every file was renamed"_s);
        scratch.remove(u"rename-baseline"_s);
        scratch.remove(u"rename-tessavo"_s);
    }
    summarise(result, runs);
    result.targetMet = *result.ratio <= 1.25;
    return result;
}

} // namespace

JobResult benchRename(const BenchOptions& options, const ScratchDir& scratch) {
    return renameJob(options, scratch, false);
}

JobResult benchMoveBack(const BenchOptions& options, const ScratchDir& scratch) {
    return renameJob(options, scratch, true);
}

JobResult benchLogGrowth(const BenchOptions& options, const ScratchDir& scratch) {
    const int small = options.quick ? 100 : 10000;
    const int large = options.quick ? 1000 : 100000;
    JobResult result;
    result.job = u"log growth"_s;
    result.work = u"AddText over %L1 files, time per file"_s.arg(large);

    std::vector<double> perFileSmall, perFileLarge, peaks, growths;
    const auto runOnce = [&](int files) {
        const QList<QByteArray> names = fileNames(files);
        const RenameDirs dirs = makeRenameDirs(scratch, u"log-growth"_s, names);
        scratch.settle();
        RenameRunner runner(u"AddText"_s, dirs, addedText, QString(), false);
        const Sample sample = measure([&] { runner.run(); });
        result.faults += runner.faults(names);
        scratch.settle();
        (files == small ? perFileSmall : perFileLarge).push_back(sample.seconds / files);
        if (files == large) {
            peaks.push_back(sample.peakMiB);
            growths.push_back(sample.growthMiB);
        }
        if (!dirs.hold({}, withAddedText(names)))
            result.faults.append(u"AddText over %1 files did not rename them all"_s.arg(files));
        scratch.remove(u"log-growth"_s);
    };
    for (int round = 0; round < options.repeat; ++round)
        inAlternatingOrder(
            round, [&] { runOnce(small); }, [&] { runOnce(large); });

    const double smallPerFile = median(perFileSmall);
    result.tessavoSeconds = median(perFileLarge);
    result.ratio = result.tessavoSeconds / smallPerFile;
    result.peakMiB = highest(peaks);
    result.growthMiB = highest(growths);
    result.target = u"per file ≤ 1.5 x that at %L1 files (%2 µs)"_s.arg(small).arg(
        smallPerFile * 1e6, 0, 'f', 1);
    result.targetMet = *result.ratio <= 1.5;
    return result;
}
