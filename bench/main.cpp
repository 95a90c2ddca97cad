// Measures Tessavo's jobs against the plain system calls doing the same work
// and prints one Markdown table.

#include "bench/Jobs.h"
#include "bench/ScratchDir.h"
#include "bench/Table.h"

#include "core/run/LargeAllocations.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>

#include <cstdio>
#include <exception>

using namespace Qt::StringLiterals;

namespace {

enum ExitCode { Success = 0, TargetMissed = 1, WrongWork = 2 };

struct Job {
    QString key; // for --job
    JobResult (*run)(const BenchOptions&, const ScratchDir&);
};

const QList<Job>& allJobs() {
    static const QList<Job> jobs = {
        {u"rename"_s, benchRename},   {u"moveback"_s, benchMoveBack}, {u"undo"_s, benchUndo},
        {u"preview"_s, benchPreview}, {u"log"_s, benchLogGrowth},     {u"id3"_s, benchId3},
        {u"concat"_s, benchConcat},   {u"start"_s, benchStart},
    };
    return jobs;
}

// Jobs run only when asked for by name.
const QList<Job>& jobsOnRequest() {
    static const QList<Job> jobs = {{u"million"_s, benchMillion}};
    return jobs;
}

JobResult runJob(const Job& job, const BenchOptions& options, const ScratchDir& scratch) {
    std::fprintf(stderr, "tessavo_bench: %s\n", qPrintable(job.key));
    JobResult result = job.run(options, scratch);
    for (const QString& fault : std::as_const(result.faults))
        std::fprintf(stderr, "tessavo_bench: %s: %s\n", qPrintable(job.key), qPrintable(fault));
    return result;
}

} // namespace

int main(int argc, char* argv[]) {
    // The rename and ID3 jobs run the program's own dialog in this process,
    // headless, so that every run draws the same way on every machine; it
    // allocates as the program does.
    mapLargeAllocationsApart();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Measures Tessavo's jobs against plain system calls doing the same work and prints "
        u"one Markdown table. Exits with 2 when a job did its work wrongly or could not run, "
        u"with 1 when --check is given and a target was missed, and with 0 otherwise."_s);
    parser.addHelpOption();
    const QCommandLineOption dirOption(
        u"dir"_s, u"Where to make the scratch directory (default: $TMPDIR or /tmp)."_s, u"dir"_s,
        QDir::tempPath());
    const QCommandLineOption repeatOption(u"repeat"_s, u"Runs of each side of a job (default 5)."_s,
                                          u"n"_s, u"5"_s);
    const QCommandLineOption quickOption(
        u"quick"_s, u"A few hundred files and a few MiB, one run: checks the work only."_s);
    const QCommandLineOption checkOption(u"check"_s, u"Exit with 1 when a target is missed."_s);
    QStringList jobKeys;
    for (const Job& job : allJobs() + jobsOnRequest())
        jobKeys.append(job.key);
    const QCommandLineOption jobOption(
        u"job"_s,
        u"Runs only this job (%1); may be given more than once. million runs only when "
        u"named."_s.arg(jobKeys.join(u", "_s)),
        u"job"_s);
    const QCommandLineOption namesOption(
        u"names"_s,
        u"The names of the rename jobs' files: collection (default; 20 to 120 bytes, umlauts, "
        u"some decomposed, a few in Latin-1) or short (\"Artist - Title 000001.mp3\"); million "
        u"always has the short ones."_s,
        u"kind"_s, u"collection"_s);
    parser.addOptions({dirOption, repeatOption, quickOption, checkOption, jobOption, namesOption});
    parser.process(application);

    BenchOptions options;
    options.quick = parser.isSet(quickOption);
    bool repeatValid = false;
    options.repeat = options.quick ? 1 : parser.value(repeatOption).toInt(&repeatValid);
    if (!options.quick && (!repeatValid || options.repeat < 1)) {
        std::fprintf(stderr, "tessavo_bench: --repeat needs a whole number of at least 1\n");
        return WrongWork;
    }
    const QString names = parser.value(namesOption);
    if (names != u"collection"_s && names != u"short"_s) {
        std::fprintf(stderr, "tessavo_bench: --names is collection or short\n");
        return WrongWork;
    }
    options.names = names == u"short"_s ? benchnames::Kind::Short : benchnames::Kind::Collection;
    const QStringList chosen = parser.values(jobOption);
    for (const QString& key : chosen) {
        if (!jobKeys.contains(key)) {
            std::fprintf(stderr, "tessavo_bench: no job %s\n", qPrintable(key));
            return WrongWork;
        }
    }

    QList<JobResult> results;
    try {
        const ScratchDir scratch(parser.value(dirOption));
        // The runs' history goes into the scratch directory, never the user's.
        qputenv("XDG_STATE_HOME", QFile::encodeName(scratch.makeDir(u"state"_s)));
        for (const Job& job : allJobs())
            if (chosen.isEmpty() || chosen.contains(job.key))
                results.append(runJob(job, options, scratch));
        for (const Job& job : jobsOnRequest())
            if (chosen.contains(job.key))
                results.append(runJob(job, options, scratch));
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tessavo_bench: %s\n", error.what());
        return WrongWork;
    }
    if (const std::optional<JobResult> repaint = repaintResult(results))
        results.append(*repaint);
    printTable(results, options.repeat);

    bool allRight = true;
    bool allMet = true;
    for (const JobResult& result : std::as_const(results)) {
        allRight = allRight && result.faults.isEmpty();
        allMet = allMet && result.targetMet;
    }
    if (!allRight)
        return WrongWork;
    return parser.isSet(checkOption) && !allMet ? TargetMissed : Success;
}
