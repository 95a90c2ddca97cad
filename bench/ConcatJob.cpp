#include "bench/Baseline.h"
#include "bench/Jobs.h"
#include "bench/Measure.h"
#include "bench/PatternFiles.h"
#include "bench/ScratchDir.h"

#include "core/concat/ConcatMessages.h"
#include "core/concat/ConcatRun.h"
#include "core/concat/ConcatState.h"
#include "core/concat/ControlNames.h"
#include "core/concat/InputSelection.h"
#include "core/fs/LocalFileJoiner.h"
#include "core/fs/LocalFileSystem.h"
#include "core/fs/NameCodec.h"
#include "tests/core/concat/RecordingCopyFilesWindow.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>
#include <vector>

using namespace Qt::StringLiterals;

extern char** environ;

namespace {

constexpr int slotCount = 4;
constexpr int inputCount = 8;
constexpr int passCount = inputCount / slotCount;

QByteArray inputName(int number) {
    return "Take" + QByteArray::number(number).rightJustified(2, '0') + ".mp3";
}

QList<int> inputsOfPass(int pass) {
    QList<int> numbers;
    for (int slot = 1; slot <= slotCount; ++slot)
        numbers.append(pass * slotCount + slot);
    return numbers;
}

// Tessavo names an output after its pass's inputs, each without its
// extension (these names are short enough to be kept whole), joined by "_".
QByteArray outputName(int pass) {
    QList<QByteArray> stems;
    for (const int number : inputsOfPass(pass))
        stems.append(inputName(number).chopped(4));
    return stems.join('_') + ".mp3";
}

// The input directory and, beside it, the two work directories of one side.
struct ConcatDirs {
    QByteArray inputs;
    QByteArray output;
    QByteArray moved;
};

ConcatDirs makeInputs(const ScratchDir& scratch, const QString& side, qint64 inputSize) {
    scratch.makeDir(side);
    const QByteArray sideDir = encodeFileName(scratch.path() + side) + '/';
    const ConcatDirs dirs{encodeFileName(scratch.makeDir(side + u"/MP3"_s)), sideDir + "Out/",
                          sideDir + "Move/"};
    for (int number = 1; number <= inputCount; ++number)
        pattern::writeFile(dirs.inputs + inputName(number), number, inputSize);
    return dirs;
}

// Whether every input was moved and every output holds its inputs' bytes.
bool holdsResult(const ConcatDirs& dirs, qint64 inputSize) {
    QList<QByteArray> inputs;
    QList<QByteArray> outputs;
    for (int number = 1; number <= inputCount; ++number)
        inputs.append(inputName(number));
    for (int pass = 0; pass < passCount; ++pass)
        outputs.append(outputName(pass));
    try {
        if (!baseline::sortedRegularFiles(dirs.inputs).isEmpty() ||
            baseline::sortedRegularFiles(dirs.moved) != inputs ||
            baseline::sortedRegularFiles(dirs.output) != outputs)
            return false;
    } catch (const std::runtime_error&) {
        return false;
    }
    for (int pass = 0; pass < passCount; ++pass)
        if (!pattern::holdsJoined(dirs.output + outputs[pass], inputsOfPass(pass), inputSize))
            return false;
    return true;
}

// Runs a program found on PATH and waits for it; its standard output goes
// to the new file `output` when one is given. Returns whether it exited with 0.
bool runProgram(QList<QByteArray> arguments, const QByteArray& output = {}) {
    std::vector<char*> argv;
    for (QByteArray& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!output.isEmpty())
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.constData(),
                                         O_WRONLY | O_CREAT | O_EXCL, 0666);
    pid_t child;
    const int error = ::posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        return false;
    int status;
    while (::waitpid(child, &status, 0) < 0)
        if (errno != EINTR)
            return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// `cat` of each pass's inputs into its output, `sync` of the output and its
// directory, then `mv` of the inputs. Tessavo moves no input before its
// output is on the disk; a baseline that leaves the output in the page cache
// would time the memory, not the disk, and no durable join can match that.
bool baselineConcat(const ConcatDirs& dirs) {
    for (int pass = 0; pass < passCount; ++pass) {
        QList<QByteArray> inputs;
        for (const int number : inputsOfPass(pass))
            inputs.append(dirs.inputs + inputName(number));
        const QByteArray output = dirs.output + outputName(pass);
        if (!runProgram(QList<QByteArray>{"cat"} + inputs, output) ||
            !runProgram({"sync", output, dirs.output}) ||
            !runProgram(QList<QByteArray>{"mv"} + inputs + QList<QByteArray>{dirs.moved}))
            return false;
    }
    return true;
}

// The run behind "Start" in automatic mode, with the first input chosen as
// in the window; only the run itself is measured. Returns what the run did
// wrong as far as its window can tell.
QStringList tessavoConcat(const ConcatDirs& dirs, Sample& sample) {
    LocalFileSystem fileSystem;
    LocalFileJoiner joiner;
    ConcatState state;
    RecordingCopyFilesWindow window;
    window.options[control::autoModeOption] = true;
    window.options[control::confirmEachOption] = false;
    InputSelection selection(state, window, fileSystem);
    window.dialogPaths.append(decodeFileName(dirs.inputs + inputName(1)));
    selection.chooseSlot(1);
    ConcatRun run(state, window, fileSystem, joiner);
    sample = measure([&] { run.Start(); });

    QStringList faults;
    const QString finished = concatMessages::finished(QString()).text;
    for (const QString& text : window.messageTexts())
        if (text != finished)
            faults.append(u"the concatenation showed \""_s + text + u'"');
    if (window.messages.size() != 1)
        faults.append(u"the concatenation did not report its end once"_s);
    if (window.pauses != QList<int>(passCount, 2))
        faults.append(u"the concatenation did not pause once a pass"_s);
    return faults;
}

} // namespace

JobResult benchConcat(const BenchOptions& options, const ScratchDir& scratch) {
    const qint64 inputSize = options.quick ? 512 * 1024 : 128 * 1024 * 1024;
    JobResult result;
    result.job = u"concatenation"_s;
    result.work = u"automatic, %1 slots, %2 inputs of %3 MiB"_s.arg(slotCount)
                      .arg(inputCount)
                      .arg(double(inputSize) / (1024 * 1024));
    result.target = u"≤ 1.15 x baseline, ≤ 32 MiB above the memory before"_s;

    PairedRuns runs;
    for (int round = 0; round < options.repeat; ++round) {
        // Each side writes its inputs right before it runs: inputs written
        // earlier may have left the page cache meanwhile, and reading them
        // back from the disk would be charged to that side alone.
        const auto runBaseline = [&] {
            const ConcatDirs dirs = makeInputs(scratch, u"concat-baseline"_s, inputSize);
            // Tessavo makes its work directories when the first input is chosen.
            scratch.makeDir(u"concat-baseline/Out"_s);
            scratch.makeDir(u"concat-baseline/Move"_s);
            scratch.settle();
            bool done = false;
            runs.theirs.push_back(measure([&] { done = baselineConcat(dirs); }).seconds);
            scratch.settle();
            if (!done || !holdsResult(dirs, inputSize))
                result.faults.append(u"the baseline did not join and move every input"_s);
            scratch.remove(u"concat-baseline"_s);
        };
        const auto runTessavo = [&] {
            const ConcatDirs dirs = makeInputs(scratch, u"concat-tessavo"_s, inputSize);
            scratch.settle();
            Sample sample;
            result.faults += tessavoConcat(dirs, sample);
            runs.ours.push_back(sample);
            scratch.settle();
            if (!holdsResult(dirs, inputSize))
                result.faults.append(
                    u"the outputs are not the inputs joined, or not every input was moved"_s);
            scratch.remove(u"concat-tessavo"_s);
        };
        inAlternatingOrder(round, runBaseline, runTessavo);
    }
    summarise(result, runs);
    result.targetMet = *result.ratio <= 1.15 && *result.growthMiB <= 32;
    return result;
}
