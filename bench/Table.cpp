#include "bench/Table.h"

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

QString duration(double seconds) {
    if (seconds < 1e-3)
        return u"%1 µs"_s.arg(seconds * 1e6, 0, 'f', 1);
    if (seconds < 1)
        return u"%1 ms"_s.arg(seconds * 1e3, 0, 'f', 1);
    return u"%1 s"_s.arg(seconds, 0, 'f', 2);
}

QString memory(const JobResult& result) {
    if (!result.peakMiB)
        return u"–"_s;
    const QString peak = u"%1 MiB"_s.arg(*result.peakMiB, 0, 'f', 1);
    return result.growthMiB ? peak + u" (+%1)"_s.arg(*result.growthMiB, 0, 'f', 1) : peak;
}

QString verdict(const JobResult& result) {
    if (!result.faults.isEmpty()) {
        const qsizetype more = result.faults.size() - 1;
        return u"no, wrong work: "_s + result.faults.first() +
               (more > 0 ? u" (and %1 more)"_s.arg(more) : QString());
    }
    return result.targetMet ? u"yes"_s : u"no"_s;
}

void printRow(const QStringList& cells) {
    std::printf("| %s |\n", qPrintable(cells.join(u" | "_s)));
}

} // namespace

void printTable(const QList<JobResult>& results, int repeat) {
    printRow({u"job"_s, u"work"_s, u"Tessavo (median of %1)"_s.arg(repeat),
              u"baseline (median of %1)"_s.arg(repeat), u"ratio"_s,
              u"Tessavo's peak memory (+ rise in the run), highest of the runs"_s, u"target"_s,
              u"met"_s});
    printRow(QStringList(8, u"---"_s));
    for (const JobResult& result : results) {
        printRow({result.job, result.work, duration(result.tessavoSeconds),
                  result.baselineSeconds ? duration(*result.baselineSeconds) : u"–"_s,
                  result.ratio ? u"%1"_s.arg(*result.ratio, 0, 'f', 2) : u"–"_s, memory(result),
                  result.target, verdict(result)});
    }
    std::fflush(stdout);
}
