#include "core/rename/FoldedClaims.h"

#include "core/rename/RenameFaults.h"
#include "core/rename/RenamePlan.h"

FoldedClaims::FoldedClaims(const RenamePlan& plan, const QSet<QString>& entries)
    : plan_(plan), entries_(entries) {
    const TargetRules& rules = plan_.targetRules;
    for (const QString& entry : entries_) {
        const QString key = rules.comparisonKey(entry);
        if (folded_.contains(key))
            ambiguous_.insert(key);
        else
            folded_.insert(key);
    }
    if (plan_.inPlace) {
        for (qsizetype index = 0; index < plan_.listed.size(); ++index)
            listedIndex_.insert(rules.comparisonKey(plan_.listed[index]), index);
    }
}

// Here, so that a plan for a target that tells case apart makes none of this.
FoldedClaims::~FoldedClaims() = default;

std::optional<QString> FoldedClaims::claim(const QString& newName, qsizetype index) {
    const QString key = plan_.targetRules.comparisonKey(newName);
    qsizetype& taker = takenBy_[key];
    if (taker != 0) {
        const QString& otherFile = plan_.listed[taker - 1];
        return plan_.newNames[taker - 1] == newName ? sameNewNameFault(otherFile)
                                                    : sameNewNameInOtherCaseFault(otherFile);
    }
    taker = index + 1;
    if (plan_.inPlace && listedIndex_.contains(key) && !ambiguous_.contains(key))
        return std::nullopt;
    if (!folded_.contains(key))
        return std::nullopt;
    return entries_.contains(newName) ? takenFault() : takenInOtherCaseFault();
}

qsizetype FoldedClaims::holderOf(const QString& newName) const {
    return listedIndex_.value(plan_.targetRules.comparisonKey(newName), -1);
}
