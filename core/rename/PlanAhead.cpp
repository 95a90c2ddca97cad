#include "core/rename/PlanAhead.h"

#include "core/fs/NameCodec.h"
#include "core/run/WhileWaiting.h"

#include <algorithm>
#include <utility>

namespace {

// The plan is handed to the moves in runs of this many files: small enough
// that the first move hardly waits, large enough that handing over costs
// nothing.
constexpr qsizetype filesPerChunk = 256;

} // namespace

PlanAhead::PlanAhead(const RenameOperation& operation, RenameState& state,
                     const QStringList& listed, const FileSystem& fileSystem, bool moveBack,
                     RenamePlan& plan, const std::function<void()>& stillWorking)
    : plan_(plan), runState_(state),
      planner_(operation, state, listed, fileSystem, moveBack, plan, stillWorking),
      ended_(listed.size() + 1) {
    if (plan_.inPlace) {
        planner_.planEveryFile(state, stillWorking);
        planner_.stopWhereNamesStayTaken();
        moveCount_ = plan_.moveCount();
        settled_.store(ended_, std::memory_order_release);
        return;
    }
    // Sized now, so that the plan's thread writes each name in its place and
    // the list itself never changes while the moves read it.
    plan_.newNames.resize(listed.size());
    encoded_.resize(size_t((listed.size() + filesPerChunk - 1) / filesPerChunk));
    thread_ =
        std::jthread([this, newNames = plan_.newNames.data(), state](const std::stop_token& stop) {
            planInOrder(stop, newNames, state);
        });
}

void PlanAhead::planInOrder(const std::stop_token& stop, QString* newNames, RenameState state) {
    const QStringList& listed = plan_.listed;
    const qsizetype count = listed.size();
    EncodedChunk chunk;
    qsizetype chunkBegin = 0;
    QByteArray encoding;
    const auto encode = [&](const QString& name) {
        encodeFileNameInto(name, encoding);
        chunk.starts.push_back(chunk.bytes.size());
        chunk.bytes += encoding;
        chunk.bytes += '\0';
    };
    qsizetype index = 0;
    for (; index < count && !stop.stop_requested(); ++index) {
        std::optional<PlanStop> planStop = planner_.planFile(state, index, newNames[index]);
        if (!planStop || planStop->afterMove) {
            encode(listed[index]);
            encode(newNames[index]);
        }
        if (planStop) {
            moveCount_ = planStop->afterMove ? index + 1 : index;
            plan_.stop = std::move(planStop);
            break;
        }
        if ((index + 1) % filesPerChunk == 0) {
            publish(chunkBegin, chunk);
            chunkBegin = index + 1;
            settled_.store(index + 1, std::memory_order_release);
            settled_.notify_all();
        }
    }
    if (!plan_.stop)
        moveCount_ = index;
    if (!chunk.starts.empty())
        publish(chunkBegin, chunk);
    endState_ = std::move(state);
    settled_.store(ended_, std::memory_order_release);
    settled_.notify_all();
}

void PlanAhead::publish(qsizetype begin, EncodedChunk& chunk) {
    encoded_[size_t(begin / filesPerChunk)] = std::exchange(chunk, {});
}

qsizetype PlanAhead::settledUpTo(qsizetype count) const {
    qsizetype settled = settled_.load(std::memory_order_acquire);
    while (settled < count) {
        settled_.wait(settled, std::memory_order_acquire);
        settled = settled_.load(std::memory_order_acquire);
    }
    return settled;
}

const PlanStop* PlanAhead::stopAt(qsizetype index) const {
    if (settledUpTo(index + 1) != ended_ || !plan_.stop || plan_.stop->index != index)
        return nullptr;
    return &*plan_.stop;
}

qsizetype PlanAhead::plannedUpTo(qsizetype end) const {
    return settledUpTo(end) == ended_ ? std::min(end, moveCount_) : end;
}

void PlanAhead::finish(const std::function<void()>& stillWorking) {
    if (!thread_.joinable())
        return;
    if (settled_.load(std::memory_order_acquire) != ended_)
        whileWaiting([this] { settledUpTo(ended_); }, stillWorking);
    thread_.join();
    plan_.newNames.resize(moveCount_);
    runState_ = std::move(endState_);
}

EncodedNames PlanAhead::encodedNames(qsizetype index) {
    const qsizetype chunkIndex = index / filesPerChunk;
    for (; freedChunks_ < chunkIndex; ++freedChunks_)
        encoded_[size_t(freedChunks_)] = {};
    const EncodedChunk& chunk = encoded_[size_t(chunkIndex)];
    const size_t from = 2 * size_t(index % filesPerChunk);
    const qsizetype toStart = chunk.starts[from + 1];
    const qsizetype toEnd =
        from + 2 < chunk.starts.size() ? chunk.starts[from + 2] : chunk.bytes.size();
    const char* bytes = chunk.bytes.constData();
    return {QByteArrayView(bytes + chunk.starts[from], toStart - chunk.starts[from] - 1),
            QByteArrayView(bytes + toStart, toEnd - toStart - 1)};
}
