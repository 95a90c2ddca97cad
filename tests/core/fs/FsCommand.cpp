#include "core/fs/LocalFileJoiner.h"
#include "core/fs/LocalFileSystem.h"

#include <QStringList>

#include <cerrno>
#include <cstdio>
#include <cstring>

// Runs one move or join and prints its outcome, for tests that run it as
// another user: "ok", or the error's code and path; or tells whether the
// user can write in a directory: "writable", or "unwritable" and why.
//   tessavo_fs_command move FROM TO
//   tessavo_fs_command join OUTPUT INPUT...
//   tessavo_fs_command rules DIRECTORY

namespace {

const char* codeName(FsErrorCode code) {
    switch (code) {
    case FsErrorCode::NotFound:
        return "NotFound";
    case FsErrorCode::AlreadyExists:
        return "AlreadyExists";
    case FsErrorCode::AccessDenied:
        return "AccessDenied";
    case FsErrorCode::NotAFile:
        return "NotAFile";
    case FsErrorCode::InvalidName:
        return "InvalidName";
    case FsErrorCode::NoSpace:
        return "NoSpace";
    case FsErrorCode::TooShort:
        return "TooShort";
    case FsErrorCode::VerifyFailed:
        return "VerifyFailed";
    case FsErrorCode::NotFlushed:
        return "NotFlushed";
    case FsErrorCode::Other:
        break;
    }
    return "Other";
}

int report(const FsStatus& status) {
    if (status) {
        std::printf("ok\n");
        return 0;
    }
    std::printf("%s %s\n", codeName(status.error().code), qPrintable(status.error().path));
    return 1;
}

int reportWritable(const TargetRules& rules) {
    if (rules.unwritable == 0)
        std::printf("writable\n");
    else
        std::printf("unwritable %s\n", rules.unwritable == EROFS ? "EROFS" : "EACCES or EPERM");
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QStringList arguments;
    for (int index = 2; index < argc; ++index)
        arguments.append(QString::fromLocal8Bit(argv[index]));
    if (argc == 4 && std::strcmp(argv[1], "move") == 0)
        return report(LocalFileSystem().moveFile(arguments[0], arguments[1]));
    if (argc >= 4 && std::strcmp(argv[1], "join") == 0)
        return report(LocalFileJoiner().joinFiles(arguments.mid(1), arguments[0]));
    if (argc == 3 && std::strcmp(argv[1], "rules") == 0)
        return reportWritable(LocalFileSystem().targetRules(arguments[0]));
    std::fprintf(stderr, "usage: %s move FROM TO | join OUTPUT INPUT... | rules DIRECTORY\n",
                 argv[0]);
    return 2;
}
