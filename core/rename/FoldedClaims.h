#pragma once

#include <QHash>
#include <QSet>
#include <QString>

#include <optional>

struct RenamePlan;

// The new names of a plan whose target ignores case: a name is taken where
// another folds alike (TargetRules::comparisonKey). Kept apart from the
// plan's own bookkeeping, which stays as lean as it was for a target that
// tells case apart.
class FoldedClaims {
public:
    // `entries`: every name in the target directory; both must outlive this.
    FoldedClaims(const RenamePlan& plan, const QSet<QString>& entries);
    ~FoldedClaims();
    FoldedClaims(const FoldedClaims&) = delete;
    FoldedClaims& operator=(const FoldedClaims&) = delete;

    // Gives `newName` to listed file `index`, or tells why it cannot have
    // it. In place, a listed name, a file's own in other case too, is given
    // up when its file moves.
    std::optional<QString> claim(const QString& newName, qsizetype index);

    // In place: the listed file whose name `newName` is, as the target
    // compares them; -1 when none is.
    qsizetype holderOf(const QString& newName) const;

private:
    const RenamePlan& plan_;
    const QSet<QString>& entries_;
    QSet<QString> folded_; // the entries' keys
    // Keys that several entries share: the file system tells those entries
    // apart, so it folds less than we do here, and which of them a new name
    // would meet cannot be told.
    QSet<QString> ambiguous_;
    QHash<QString, qsizetype> listedIndex_; // in place: key -> listed file
    QHash<QString, qsizetype> takenBy_;     // key -> 1 + the file that gets it
};
