#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>

// Values handed from one thread to another, in order, until the giver ends.
template <typename T> class HandOver {
public:
    void give(T value) {
        {
            const std::lock_guard lock(mutex_);
            waiting_.push_back(std::move(value));
        }
        changed_.notify_one();
    }

    void end() {
        {
            const std::lock_guard lock(mutex_);
            ended_ = true;
        }
        changed_.notify_one();
    }

    // The next value; waits for it. None once the giver has ended and every
    // value was taken.
    std::optional<T> take() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !waiting_.empty() || ended_; });
        if (waiting_.empty())
            return std::nullopt;
        T value = std::move(waiting_.front());
        waiting_.pop_front();
        return value;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<T> waiting_;
    bool ended_ = false;
};
