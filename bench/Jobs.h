#pragma once

#include "bench/BenchNames.h"
#include "bench/Measure.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class ScratchDir;

struct BenchOptions {
    int repeat = 5;
    bool quick = false; // a few hundred files, a few MiB: checks the work only
    benchnames::Kind names = benchnames::Kind::Collection; // of the rename jobs' files
};

// One row of the table: the medians of both sides and whether the target
// holds.
struct JobResult {
    QString job;
    QString work;
    QString target;
    double tessavoSeconds = 0;
    std::optional<double> baselineSeconds;
    std::optional<double> ratio;     // what the target bounds
    std::optional<double> peakMiB;   // Tessavo's peak resident size, in its highest run
    std::optional<double> growthMiB; // how far that peak rose above the size before the run
    std::vector<double> paintGaps;   // seconds, one per large run through the dialog
    bool targetMet = false;
    QStringList faults; // what the job found wrong with the work done; empty when all was right
};

// The runs of a job measured against a baseline.
struct PairedRuns {
    std::vector<Sample> ours;
    std::vector<double> theirs; // seconds
};

// Fills in both medians, their ratio and the memory of Tessavo's highest run.
void summarise(JobResult& result, const PairedRuns& runs);

// The longest time without a paint of the dialog over the paint gaps of all
// `results`; none when no job measured them.
std::optional<JobResult> repaintResult(const QList<JobResult>& results);

// Each job works in its own sub-directories of `scratch` and removes them.
JobResult benchRename(const BenchOptions& options, const ScratchDir& scratch);
JobResult benchMoveBack(const BenchOptions& options, const ScratchDir& scratch);
JobResult benchUndo(const BenchOptions& options, const ScratchDir& scratch);
JobResult benchPreview(const BenchOptions& options, const ScratchDir& scratch);
JobResult benchMillion(const BenchOptions& options, const ScratchDir& scratch);
JobResult benchLogGrowth(const BenchOptions& options, const ScratchDir& scratch);
JobResult benchId3(const BenchOptions& options, const ScratchDir& scratch);
JobResult benchConcat(const BenchOptions& options, const ScratchDir& scratch);
JobResult benchStart(const BenchOptions& options, const ScratchDir& scratch);
