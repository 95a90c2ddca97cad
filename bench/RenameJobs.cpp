#include "bench/Baseline.h"
#include "bench/DialogRun.h"
#include "bench/Jobs.h"
#include "bench/Measure.h"
#include "bench/RunLog.h"
#include "bench/ScratchDir.h"

#include "core/fs/Descriptor.h"
#include "core/fs/NameCodec.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// AddNumber with start 1, a blank, and a step of 0: every file gets "01 ",
// since numbers beyond 32767 end a run and 100,000 files would reach them.
const QByteArray numberPrefix = "01 ";
// What the dialog may hold more with a 100,000-line log than before the run.
constexpr int logGrowthLimitMiB = 64;
const QString addedText = u"_x"_s;
// The most a run over a million files may hold at once.
constexpr int millionPeakLimitMiB = 512;
constexpr benchnames::Kind millionNames = benchnames::Kind::Short;

QList<QByteArray> fileNames(const BenchOptions& options, int count) {
    return benchnames::fileNames(options.names, count);
}

// What the work column says about the files.
QString filesWork(const BenchOptions& options, int count) {
    return options.names == benchnames::Kind::Short
               ? u"%L1 empty files, short names"_s.arg(count)
               : u"%L1 empty files, collection-like names"_s.arg(count);
}

QList<QByteArray> withPrefix(const QByteArray& prefix, const QList<QByteArray>& names) {
    QList<QByteArray> prefixed;
    prefixed.reserve(names.size());
    for (const QByteArray& name : names)
        prefixed.append(prefix + name);
    return prefixed;
}

// AddText puts the text before the last four characters, which are ASCII in
// every name here.
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

    // Whether the directories hold exactly the names given, in any order.
    bool hold(QList<QByteArray> inSource, QList<QByteArray> inTarget) const {
        std::sort(inSource.begin(), inSource.end());
        std::sort(inTarget.begin(), inTarget.end());
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

// AddNumber as the jobs type it: start 1, step 0, a blank.
DialogInput numbering(const RenameDirs& dirs, bool moveBack) {
    return {.operation = u"AddNumber"_s,
            .source = dirs.source,
            .target = dirs.target,
            .search = u"1"_s,
            .step = u"0"_s,
            .blank = true,
            .moveBack = moveBack};
}

// AddNumber through the dialog; with MoveBack ticked, the baseline runs its
// loop a second time to move the files back.
JobResult renameJob(const BenchOptions& options, const ScratchDir& scratch, bool moveBack) {
    const int files = options.quick ? 300 : 100000;
    JobResult result;
    result.job = moveBack ? u"rename, MoveBack"_s : u"rename"_s;
    result.work = u"AddNumber, "_s + filesWork(options, files);
    result.target = u"≤ 1.10 x baseline"_s;

    const QList<QByteArray> names = fileNames(options, files);
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
            const QByteArray sourcePath = encodeFileName(baselineDirs.source);
            const QByteArray targetPath = encodeFileName(baselineDirs.target);
            runs.theirs.push_back(
                measure([&] {
                    const Descriptor source = baseline::openDirectory(sourcePath);
                    const Descriptor target = baseline::openDirectory(targetPath);
                    baselineDone = baseline::renameAll(source.get(), target.get(),
                                                       baseline::sortedRegularFiles(source.get()),
                                                       numberPrefix);
                    if (moveBack)
                        baselineDone =
                            baselineDone &&
                            baseline::renameAll(target.get(), source.get(),
                                                baseline::sortedRegularFiles(target.get()));
                }).seconds);
            scratch.settle();
        };
        const auto runTessavo = [&] {
            DialogRun run(numbering(tessavoDirs, moveBack));
            runs.ours.push_back(run.run());
            result.faults += run.faults(runLogOf(names));
            result.paintGaps.push_back(run.longestPaintGap());
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
    result.targetMet = *result.ratio <= 1.10;
    return result;
}

} // namespace

JobResult benchRename(const BenchOptions& options, const ScratchDir& scratch) {
    return renameJob(options, scratch, false);
}

JobResult benchMoveBack(const BenchOptions& options, const ScratchDir& scratch) {
    return renameJob(options, scratch, true);
}

// AddNumber through the dialog, then "Rückgängig" measured against the raw
// loop moving the files back.
JobResult benchUndo(const BenchOptions& options, const ScratchDir& scratch) {
    const int files = options.quick ? 300 : 100000;
    JobResult result;
    result.job = u"undo"_s;
    result.work = u"Rückgängig after AddNumber, "_s + filesWork(options, files);
    result.target = u"≤ 1.15 x baseline"_s;

    const QList<QByteArray> names = fileNames(options, files);
    const QList<QByteArray> renamed = withPrefix(numberPrefix, names);
    PairedRuns runs;
    for (int round = 0; round < options.repeat; ++round) {
        const RenameDirs baselineDirs = makeRenameDirs(scratch, u"undo-baseline"_s, names);
        const RenameDirs tessavoDirs = makeRenameDirs(scratch, u"undo-tessavo"_s, names);
        {
            const Descriptor source = baseline::openDirectory(encodeFileName(baselineDirs.source));
            const Descriptor target = baseline::openDirectory(encodeFileName(baselineDirs.target));
            if (!baseline::renameAll(source.get(), target.get(), names, numberPrefix))
                result.faults.append(u"the baseline did not rename every file"_s);
        }
        DialogRun run(numbering(tessavoDirs, false));
        run.run();
        if (!tessavoDirs.hold({}, renamed))
            result.faults.append(u"not every file was renamed before the undo"_s);
        scratch.settle();

        bool baselineDone = false;
        const auto runBaseline = [&] {
            const QByteArray sourcePath = encodeFileName(baselineDirs.source);
            const QByteArray targetPath = encodeFileName(baselineDirs.target);
            runs.theirs.push_back(measure([&] {
                                      const Descriptor source = baseline::openDirectory(sourcePath);
                                      const Descriptor target = baseline::openDirectory(targetPath);
                                      baselineDone = baseline::renameAllBack(
                                          target.get(), source.get(),
                                          baseline::sortedRegularFiles(target.get()),
                                          numberPrefix.size());
                                  }).seconds);
            scratch.settle();
        };
        const auto runTessavo = [&] {
            runs.ours.push_back(run.run(DialogButton::Undo));
            result.faults += run.faults(undoLogOf(names));
            result.paintGaps.push_back(run.longestPaintGap());
            scratch.settle();
        };
        inAlternatingOrder(round, runBaseline, runTessavo);

        if (!baselineDone || !baselineDirs.hold(names, {}))
            result.faults.append(u"the baseline did not move every file back"_s);
        if (!tessavoDirs.hold(names, {}))
            result.faults.append(u"not every file was moved back"_s);
        scratch.remove(u"undo-baseline"_s);
        scratch.remove(u"undo-tessavo"_s);
    }
    summarise(result, runs);
    result.targetMet = *result.ratio <= 1.15;
    return result;
}

// The preview of AddNumber, and then the run itself over the same files: the
// preview moves nothing, so the run finds them as the preview did.
JobResult benchPreview(const BenchOptions& options, const ScratchDir& scratch) {
    const int files = options.quick ? 300 : 100000;
    JobResult result;
    result.job = u"preview"_s;
    result.work = u"AddNumber, "_s + filesWork(options, files) +
                  u"; the baseline is the rename run over them"_s;
    result.target = u"≤ 0.50 x the rename run"_s;

    const QList<QByteArray> names = fileNames(options, files);
    const QList<QByteArray> renamed = withPrefix(numberPrefix, names);
    PairedRuns runs;
    for (int round = 0; round < options.repeat; ++round) {
        const RenameDirs dirs = makeRenameDirs(scratch, u"preview"_s, names);
        scratch.settle();
        {
            DialogRun preview(numbering(dirs, false));
            runs.ours.push_back(preview.run(DialogButton::Preview));
            result.faults +=
                preview.faults(previewLogOf(dirs.source, dirs.target, names, numberPrefix));
        }
        if (!dirs.hold(names, {}))
            result.faults.append(u"the preview moved files"_s);
        {
            DialogRun run(numbering(dirs, false));
            runs.theirs.push_back(run.run().seconds);
            result.faults += run.faults(runLogOf(names));
        }
        if (!dirs.hold({}, renamed))
            result.faults.append(u"not every file was renamed after the preview"_s);
        scratch.remove(u"preview"_s);
    }
    summarise(result, runs);
    result.targetMet = *result.ratio <= 0.5;
    return result;
}

// AddNumber over a million files: the time against the raw loop, and the
// peak memory. Its files keep the short names for which the bound on memory
// was set; a file with one of the collection's takes about twice as much.
// The names are made again after the runs, so that the benchmark's own list
// of them is not part of either side's memory.
JobResult benchMillion(const BenchOptions& options, const ScratchDir& scratch) {
    const int files = options.quick ? 2000 : 1000000;
    JobResult result;
    result.job = u"million"_s;
    result.work = u"AddNumber, %L1 empty files, short names"_s.arg(files);
    result.target = u"≤ 1.10 x baseline, peak ≤ %1 MiB"_s.arg(millionPeakLimitMiB);

    PairedRuns runs;
    for (int round = 0; round < options.repeat; ++round) {
        RenameDirs baselineDirs;
        RenameDirs tessavoDirs;
        {
            const QList<QByteArray> names = benchnames::fileNames(millionNames, files);
            baselineDirs = makeRenameDirs(scratch, u"million-baseline"_s, names);
            tessavoDirs = makeRenameDirs(scratch, u"million-tessavo"_s, names);
        }
        scratch.settle();

        bool baselineDone = false;
        const auto runBaseline = [&] {
            const Descriptor source = baseline::openDirectory(encodeFileName(baselineDirs.source));
            const Descriptor target = baseline::openDirectory(encodeFileName(baselineDirs.target));
            runs.theirs.push_back(measure([&] {
                                      baselineDone = baseline::renameAll(
                                          source.get(), target.get(),
                                          baseline::sortedRegularFiles(source.get()), numberPrefix);
                                  }).seconds);
            scratch.settle();
        };
        QStringList runFaults;
        const auto runTessavo = [&] {
            DialogRun run(numbering(tessavoDirs, false));
            runs.ours.push_back(run.run());
            runFaults = run.faults(runLogOf(benchnames::fileNames(millionNames, files)));
            scratch.settle();
        };
        inAlternatingOrder(round, runBaseline, runTessavo);
        result.faults += runFaults;

        const QList<QByteArray> renamed =
            withPrefix(numberPrefix, benchnames::fileNames(millionNames, files));
        if (!baselineDone || !baselineDirs.hold({}, renamed))
            result.faults.append(u"the baseline did not rename every file"_s);
        if (!tessavoDirs.hold({}, renamed))
            result.faults.append(u"not every file was renamed"_s);
        scratch.remove(u"million-baseline"_s);
        scratch.remove(u"million-tessavo"_s);
    }
    summarise(result, runs);
    result.targetMet = *result.ratio <= 1.10 && *result.peakMiB <= millionPeakLimitMiB;
    return result;
}

JobResult benchLogGrowth(const BenchOptions& options, const ScratchDir& scratch) {
    const int small = options.quick ? 100 : 10000;
    const int large = options.quick ? 1000 : 100000;
    JobResult result;
    result.job = u"log growth"_s;
    result.work = u"AddText over "_s + filesWork(options, large) + u", time per file"_s;

    std::vector<double> perFileSmall, perFileLarge, peaks, growths;
    const auto runOnce = [&](int files) {
        const QList<QByteArray> names = fileNames(options, files);
        const RenameDirs dirs = makeRenameDirs(scratch, u"log-growth"_s, names);
        scratch.settle();
        DialogRun run({.operation = u"AddText"_s,
                       .source = dirs.source,
                       .target = dirs.target,
                       .search = addedText});
        const Sample sample = run.run();
        result.faults += run.faults(runLogOf(names));
        scratch.settle();
        (files == small ? perFileSmall : perFileLarge).push_back(sample.seconds / files);
        if (files == large) {
            peaks.push_back(sample.peakMiB);
            growths.push_back(sample.growthMiB);
            result.paintGaps.push_back(run.longestPaintGap());
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
    result.target = u"per file ≤ 1.5 x that at %L1 files (%2 µs); ≤ %3 MiB above the memory "
                    u"before"_s.arg(small)
                        .arg(smallPerFile * 1e6, 0, 'f', 1)
                        .arg(logGrowthLimitMiB);
    result.targetMet = *result.ratio <= 1.5 && *result.growthMiB <= logGrowthLimitMiB;
    return result;
}
