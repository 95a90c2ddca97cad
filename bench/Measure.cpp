#include "bench/Measure.h"

#include <QByteArray>
#include <QFile>

#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>

namespace {

// A field of /proc/self/status, in KiB.
double statusKiB(const QByteArray& field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read /proc/self/status");
    const QByteArray prefix = field + ':';
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toDouble();
    throw std::runtime_error("/proc/self/status has no " + field.toStdString());
}

void resetPeak() {
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    if (!clearRefs.open(QIODevice::WriteOnly) || clearRefs.write("5") != 1)
        throw std::runtime_error("cannot reset the peak resident size");
}

} // namespace

Sample measure(const std::function<void()>& work) {
    ::malloc_trim(0);
    resetPeak();
    const double before = statusKiB("VmRSS");
    const auto start = std::chrono::steady_clock::now();
    work();
    const auto end = std::chrono::steady_clock::now();
    const double peak = statusKiB("VmHWM");
    return {std::chrono::duration<double>(end - start).count(), peak / 1024,
            std::max(0.0, peak - before) / 1024};
}

double median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double highest(const std::vector<double>& values) {
    return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

void inAlternatingOrder(int round, const std::function<void()>& first,
                        const std::function<void()>& second) {
    if (round % 2 == 0) {
        first();
        second();
    } else {
        second();
        first();
    }
}
