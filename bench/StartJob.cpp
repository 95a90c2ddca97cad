#include "bench/Jobs.h"
#include "bench/Measure.h"
#include "bench/ScratchDir.h"
#include "bench/ShownReport.h"

#include "core/fs/NameCodec.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <stdexcept>
#include <vector>

using namespace Qt::StringLiterals;

extern char** environ;

namespace {

constexpr int reportTimeoutMs = 60000;

// One start of `tessavo`: the time until its main window was shown, its peak
// resident size, and what went wrong, if anything.
struct StartRun {
    double seconds = 0;
    double peakMiB = 0;
    QString fault;
};

// The environment of `tessavo`: ours, headless, with the probe loaded and a
// runtime directory of its own in the scratch directory, so that Qt leaves
// nothing behind. An AddressSanitizer build would refuse a library loaded
// before its runtime.
QList<QByteArray> childEnvironment(const QByteArray& runtimeDirectory) {
    QByteArray preload = TESSAVO_START_PROBE;
    QByteArray sanitizerOptions = "verify_asan_link_order=0";
    QList<QByteArray> environment;
    for (char** entry = environ; *entry; ++entry) {
        const QByteArray variable(*entry);
        if (variable.startsWith("LD_PRELOAD="))
            preload += ' ' + variable.mid(11);
        else if (variable.startsWith("ASAN_OPTIONS="))
            sanitizerOptions = variable.mid(13) + ':' + sanitizerOptions;
        else if (!variable.startsWith("QT_QPA_PLATFORM=") &&
                 !variable.startsWith("XDG_RUNTIME_DIR="))
            environment.append(variable);
    }
    environment.append("QT_QPA_PLATFORM=offscreen");
    environment.append("XDG_RUNTIME_DIR=" + runtimeDirectory);
    environment.append("LD_PRELOAD=" + preload);
    environment.append("ASAN_OPTIONS=" + sanitizerOptions);
    return environment;
}

std::vector<char*> pointersTo(QList<QByteArray>& texts) {
    std::vector<char*> pointers;
    for (QByteArray& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// Reads from `fd` until a line ends, the pipe closes or the time is up.
QByteArray readLine(int fd, std::chrono::steady_clock::time_point deadline) {
    QByteArray line;
    while (!line.endsWith('\n')) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd wait{fd, POLLIN, 0};
        if (left.count() <= 0 || ::poll(&wait, 1, int(left.count())) == 0)
            break;
        char buffer[256];
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        line.append(buffer, got);
    }
    return line;
}

StartRun startOnce(const QByteArray& runtimeDirectory) {
    StartRun run;
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) {
        run.fault = u"no pipe: "_s + QString::fromLocal8Bit(std::strerror(errno));
        return run;
    }
    QList<QByteArray> arguments{TESSAVO_PROGRAM};
    QList<QByteArray> environment = childEnvironment(runtimeDirectory);
    const std::vector<char*> argv = pointersTo(arguments);
    const std::vector<char*> envp = pointersTo(environment);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, report[1], STDOUT_FILENO);

    const auto start = std::chrono::steady_clock::now();
    pid_t child;
    const int spawnError =
        ::posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(report[1]);
    if (spawnError != 0) {
        ::close(report[0]);
        run.fault = u"cannot start %1: %2"_s.arg(QString::fromLocal8Bit(arguments.first()),
                                                 QString::fromLocal8Bit(std::strerror(spawnError)));
        return run;
    }
    const QByteArray line = readLine(report[0], start + std::chrono::milliseconds(reportTimeoutMs));
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (line != shownReport) {
        ::kill(child, SIGKILL);
        run.fault = u"tessavo did not show its main window"_s;
    }
    ::close(report[0]);

    int status = 0;
    struct rusage usage {};
    while (::wait4(child, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    run.peakMiB = double(usage.ru_maxrss) / 1024;
    if (run.fault.isEmpty() && !(WIFEXITED(status) && WEXITSTATUS(status) == 0))
        run.fault = WIFEXITED(status) ? u"tessavo ended with status %1"_s.arg(WEXITSTATUS(status))
                                      : u"tessavo ended by signal %1"_s.arg(WTERMSIG(status));
    return run;
}

} // namespace

JobResult benchStart(const BenchOptions& options, const ScratchDir& scratch) {
    JobResult result;
    result.job = u"start"_s;
    result.work = u"tessavo (offscreen) until frm_Main is shown"_s;
    result.target = u"median ≤ 250 ms"_s;

    const QByteArray runtimeDirectory = encodeFileName(scratch.makeDir(u"xdg-runtime"_s));
    // Qt accepts a runtime directory only when no one else may enter it.
    if (::chmod(runtimeDirectory.constData(), 0700) != 0)
        throw std::runtime_error("cannot restrict " + runtimeDirectory.toStdString());
    std::vector<double> times, peaks;
    for (int round = 0; round < options.repeat; ++round) {
        const StartRun run = startOnce(runtimeDirectory);
        if (!run.fault.isEmpty())
            result.faults.append(run.fault);
        times.push_back(run.seconds);
        peaks.push_back(run.peakMiB);
    }
    scratch.remove(u"xdg-runtime"_s);
    result.tessavoSeconds = median(times);
    result.peakMiB = highest(peaks);
    result.targetMet = result.tessavoSeconds <= 0.25;
    return result;
}
