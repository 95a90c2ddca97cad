#include "core/rename/PlanAhead.h"

#include "core/fs/NameCodec.h"
#include "core/run/WhileWaiting.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace {

// The plan is handed to the moves in runs of this many files: small enough
// that the first move hardly waits, large enough that handing over costs
// nothing.
constexpr qsizetype filesPerChunk = 256;
// How many chunks of encoded names may wait for the moves (some 16,000
// files): far enough ahead that the moves do not wait for them, near enough
// that their memory stays small.
constexpr qsizetype chunksAhead = 64;
// What the count of chunks the moves passed holds once they have ended.
constexpr qsizetype movesEnded = std::numeric_limits<qsizetype>::max();

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

PlanAhead::~PlanAhead() {
    endMoves();
}

void PlanAhead::planInOrder(const std::stop_token& stop, QString* newNames, RenameState state) {
    const qsizetype count = plan_.listed.size();
    qsizetype index = 0;
    for (; index < count && !stop.stop_requested(); ++index) {
        if (std::optional<PlanStop> planStop = planner_.planFile(state, index, newNames[index])) {
            moveCount_ = planStop->afterMove ? index + 1 : index;
            plan_.stop = std::move(planStop);
            break;
        }
        if ((index + 1) % filesPerChunk == 0) {
            settled_.store(index + 1, std::memory_order_release);
            settled_.notify_all();
            // Encoded while the names are fresh, unless far ahead of the moves.
            encodeChunks(index + 1, false);
        }
    }
    if (!plan_.stop)
        moveCount_ = index;
    endState_ = std::move(state);
    settled_.store(ended_, std::memory_order_release);
    settled_.notify_all();
    encodeChunks(moveCount_, true);
}

void PlanAhead::encodeChunks(qsizetype planned, bool waiting) {
    const qsizetype chunks = (planned + filesPerChunk - 1) / filesPerChunk;
    // Read only: the listing is shared, and a write would copy it.
    const QStringList& listed = plan_.listed;
    const QStringList& newNames = plan_.newNames;
    QByteArray encoding;
    while (encodingChunk_ < chunks) {
        const qsizetype passed = passedChunks_.load(std::memory_order_acquire);
        if (passed == movesEnded)
            return;
        if (encodingChunk_ >= passed + chunksAhead) {
            if (!waiting)
                return;
            passedChunks_.wait(passed, std::memory_order_acquire);
            continue;
        }
        EncodedChunk& chunk = encoded_[size_t(encodingChunk_)];
        const qsizetype begin = encodingChunk_ * filesPerChunk;
        const qsizetype end = std::min(begin + filesPerChunk, planned);
        for (qsizetype index = begin; index < end; ++index) {
            for (const QString* name : {&listed[index], &newNames[index]}) {
                encodeFileNameInto(*name, encoding);
                chunk.starts.push_back(quint32(chunk.bytes.size()));
                chunk.bytes += encoding;
                chunk.bytes += '\0';
            }
        }
        encodedChunks_.store(++encodingChunk_, std::memory_order_release);
        encodedChunks_.notify_all();
    }
}

void PlanAhead::endMoves() {
    passedChunks_.store(movesEnded, std::memory_order_release);
    passedChunks_.notify_all();
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
    endMoves();
    thread_.join();
    plan_.newNames.resize(moveCount_);
    runState_ = std::move(endState_);
}

EncodedNames PlanAhead::encodedNames(qsizetype index) {
    const qsizetype chunkIndex = index / filesPerChunk;
    if (freedChunks_ < chunkIndex) {
        for (; freedChunks_ < chunkIndex; ++freedChunks_)
            encoded_[size_t(freedChunks_)] = {};
        passedChunks_.store(chunkIndex, std::memory_order_release);
        passedChunks_.notify_all();
    }
    for (qsizetype encoded = encodedChunks_.load(std::memory_order_acquire); encoded <= chunkIndex;
         encoded = encodedChunks_.load(std::memory_order_acquire))
        encodedChunks_.wait(encoded, std::memory_order_acquire);
    const EncodedChunk& chunk = encoded_[size_t(chunkIndex)];
    const size_t from = 2 * size_t(index % filesPerChunk);
    const qsizetype toStart = chunk.starts[from + 1];
    const qsizetype toEnd =
        from + 2 < chunk.starts.size() ? qsizetype(chunk.starts[from + 2]) : chunk.bytes.size();
    const char* bytes = chunk.bytes.constData();
    return {QByteArrayView(bytes + chunk.starts[from], toStart - chunk.starts[from] - 1),
            QByteArrayView(bytes + toStart, toEnd - toStart - 1)};
}
