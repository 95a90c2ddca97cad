#pragma once

#include "core/fs/LocalFileSystem.h"
#include "core/rename/MainPrg.h"
#include "tests/support/RecordingWindow.h"

#include <unistd.h>

#include <functional>

// For a forked child: lets `work` drive a MainPrg on the real file system
// with a recording window, ends both, so that the threads MainPrg started
// are joined, and exits with 0 when no message was shown, else 1.
[[noreturn]] inline void runInChild(const std::function<void(MainPrg&, RecordingWindow&)>& work) {
    bool quiet = false;
    {
        LocalFileSystem fileSystem;
        RecordingWindow window;
        MainPrg prg(fileSystem);
        prg.setWindow(&window);
        work(prg, window);
        quiet = window.messages.isEmpty();
    }
    ::_exit(quiet ? 0 : 1);
}
