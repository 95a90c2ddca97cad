#include "core/rename/PlanAhead.h"

#include "core/run/WhileWaiting.h"

#include <algorithm>
#include <utility>

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
    encoded_.emplace(listed.size());
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
        // Handed over in the runs the names are encoded in: small enough that
        // the first move hardly waits, large enough that it costs nothing.
        if ((index + 1) % EncodedAhead::filesPerRun == 0) {
            settled_.store(index + 1, std::memory_order_release);
            settled_.notify_all();
            // Encoded while the names are fresh, unless far ahead of the moves.
            encoded_->encode(plan_.listed, plan_.newNames, index + 1, false);
        }
    }
    if (!plan_.stop)
        moveCount_ = index;
    endState_ = std::move(state);
    settled_.store(ended_, std::memory_order_release);
    settled_.notify_all();
    encoded_->encode(plan_.listed, plan_.newNames, moveCount_, true);
}

void PlanAhead::endMoves() {
    if (encoded_)
        encoded_->endMoves();
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
    return encoded_->names(index);
}
