#pragma once

#include <QString>

#include <optional>
#include <utility>

// What went wrong in a file operation. The caller decides what the user sees.
enum class FsErrorCode {
    NotFound,      // the path or one of its directories does not exist
    AlreadyExists, // the destination is taken; nothing was replaced
    AccessDenied,
    NotAFile,     // the path names a directory or another non-ordinary entry
    InvalidName,  // too long, or not allowed by the file system
    NoSpace,      // disk or quota full
    TooShort,     // fewer bytes than asked for
    VerifyFailed, // a copy's size did not match its source
    NotFlushed,   // the file is complete under its name, but its directory was not flushed
    Other,
};

struct FsError {
    FsError() = default;
    FsError(FsErrorCode code, QString path, int systemError = 0, QString cause = {})
        : code(code), path(std::move(path)), systemError(systemError), cause(std::move(cause)) {}

    FsErrorCode code = FsErrorCode::Other;
    QString path;        // the path the failure concerns
    int systemError = 0; // errno (or GetLastError on Windows), 0 when none
    QString cause;       // a German sentence more exact than the code; empty when none
};

// Outcome of an operation without a value.
class [[nodiscard]] FsStatus {
public:
    static FsStatus success() { return FsStatus(); }
    static FsStatus failure(FsError error) { return FsStatus(std::move(error)); }

    bool isOk() const { return !error_.has_value(); }
    explicit operator bool() const { return isOk(); }
    const FsError& error() const { return *error_; }

private:
    FsStatus() = default;
    explicit FsStatus(FsError error) : error_(std::move(error)) {}

    std::optional<FsError> error_;
};

// Outcome of an operation that yields a value on success.
template <typename T> class [[nodiscard]] FsResult {
public:
    FsResult(T value) : value_(std::move(value)) {}
    FsResult(FsError error) : error_(std::move(error)) {}
    FsResult(const FsStatus& failed) : error_(failed.error()) {}

    bool isOk() const { return value_.has_value(); }
    explicit operator bool() const { return isOk(); }
    const T& value() const& { return *value_; }
    T&& value() && { return std::move(*value_); }
    const FsError& error() const { return error_; }

private:
    std::optional<T> value_;
    FsError error_;
};
