#include "core/history/FileLocator.h"

#include "core/fs/FileSystem.h"
#include "core/history/FileMatch.h"

#include <QHash>

#include <optional>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

const QString temporaryMark = u".tessavo-"_s;
// The temporary name of a file whose own name is too long for the mark.
const QString shortTemporaryName = u"tessavo.tessavo-"_s;

enum class Place : quint8 { From, To, Aside };

struct Candidate {
    Place place;
    QString name; // in the phase's target directory for To and Aside
};

class Locator {
public:
    Locator(FileSystem& fileSystem, PhaseRecord& phase)
        : fileSystem_(fileSystem), phase_(phase), setup_(phase.setup), count_(phase.intents.size()),
          candidates_(size_t(count_)), assigned_(size_t(count_), false) {}

    void run() {
        gatherCandidates();
        for (qsizetype file = 0; file < count_; ++file) {
            for (const Candidate& candidate : candidates_[size_t(file)])
                wantedBy_[key(candidate)].push_back(file);
            waiting_.push_back(file);
        }
        propagate();
        settleAmbiguities();
        removeUnfinishedTargets();
        phase_.ended = true;
    }

private:
    bool matches(qsizetype file, const QString& path) {
        const FsResult<FileIdentity> found = fileSystem_.identityOf(path);
        return found && isSameFile(setup_, phase_.intents[file].identity, found.value());
    }

    void gatherCandidates() {
        for (qsizetype file = 0; file < count_; ++file) {
            const Intent& intent = phase_.intents[file];
            if (matches(file, setup_.fromDir + intent.from))
                candidates_[size_t(file)].push_back({Place::From, intent.from});
            if (matches(file, setup_.toDir + intent.to))
                candidates_[size_t(file)].push_back({Place::To, intent.to});
        }
        if (!setup_.inPlace)
            return;
        QHash<QString, qsizetype> byName;
        for (qsizetype file = 0; file < count_; ++file)
            byName.insert(phase_.intents[file].from, file);
        const FsResult<QStringList> entries = fileSystem_.listEntries(setup_.toDir);
        if (!entries)
            return;
        for (const QString& entry : entries.value()) {
            const qsizetype mark = entry.lastIndexOf(temporaryMark);
            if (mark <= 0)
                continue;
            const qsizetype owner = byName.value(entry.first(mark), -1);
            if (owner >= 0)
                temporaryNames_[owner].append(entry);
            if (owner >= 0 && matches(owner, setup_.toDir + entry)) {
                candidates_[size_t(owner)].push_back({Place::Aside, entry});
            } else if (entry.startsWith(shortTemporaryName)) {
                for (qsizetype file = 0; file < count_; ++file)
                    if (matches(file, setup_.toDir + entry))
                        candidates_[size_t(file)].push_back({Place::Aside, entry});
            }
        }
    }

    // The candidates of `file` whose names no other file holds.
    std::vector<Candidate> open(qsizetype file) const {
        std::vector<Candidate> left;
        for (const Candidate& candidate : candidates_[size_t(file)])
            if (!holder_.contains(key(candidate)))
                left.push_back(candidate);
        return left;
    }

    // A name as the disk knows it: the old names lie in the source.
    QString key(const Candidate& candidate) const {
        return (candidate.place == Place::From ? setup_.fromDir : setup_.toDir) + candidate.name;
    }

    void assign(qsizetype file, const std::optional<Candidate>& where) {
        assigned_[size_t(file)] = true;
        if (!where) {
            phase_.states[size_t(file)] = FileState::Gone;
            return;
        }
        const QString name = key(*where);
        holder_.insert(name, file);
        // The others that could be there have one place fewer now.
        for (const qsizetype other : wantedBy_.value(name))
            waiting_.push_back(other);
        switch (where->place) {
        case Place::From:
            phase_.states[size_t(file)] = FileState::NotMoved;
            break;
        case Place::To:
            phase_.states[size_t(file)] = FileState::Moved;
            break;
        case Place::Aside:
            phase_.states[size_t(file)] = FileState::Aside;
            phase_.aside.insert(file, where->name);
            break;
        }
    }

    // Files with one place left take it; a file with none has gone.
    void propagate() {
        while (!waiting_.empty()) {
            const qsizetype file = waiting_.back();
            waiting_.pop_back();
            if (assigned_[size_t(file)])
                continue;
            const std::vector<Candidate> left = open(file);
            if (left.size() <= 1)
                assign(file, left.empty() ? std::nullopt : std::optional(left.front()));
        }
    }

    std::optional<Candidate> openAt(qsizetype file, Place place) const {
        for (const Candidate& candidate : open(file))
            if (candidate.place == place)
                return candidate;
        return std::nullopt;
    }

    // The files whose names follow from `file`'s: the one whose old name it
    // wants, and so on; the whole cycle when the names come round.
    std::vector<qsizetype> followers(qsizetype file, bool& cycle) const {
        std::vector<qsizetype> chain{file};
        cycle = false;
        for (qsizetype current = file;;) {
            const qsizetype next = byOldName_.value(phase_.intents[current].to, -1);
            if (next < 0)
                return chain;
            if (next == file) {
                cycle = true;
                return chain;
            }
            chain.push_back(next);
            current = next;
        }
    }

    // Left where names alone cannot tell: a temporary name belongs to the
    // file it was made for; a cycle whose last move was announced is done;
    // anything else stayed, and files that agree in size and time there are
    // alike, so either answer gives back the same bytes under each name.
    void settleAmbiguities() {
        if (setup_.inPlace) {
            for (qsizetype file = 0; file < count_; ++file)
                byOldName_.insert(phase_.intents[file].from, file);
        }
        for (qsizetype file = 0; file < count_; ++file) {
            if (assigned_[size_t(file)])
                continue;
            if (const std::optional<Candidate> aside = openAt(file, Place::Aside)) {
                assign(file, aside);
                propagate();
                continue;
            }
            bool cycle = false;
            const std::vector<qsizetype> members =
                setup_.inPlace ? followers(file, cycle) : std::vector<qsizetype>{file};
            bool done = false;
            if (cycle)
                for (const qsizetype member : members)
                    done = done || phase_.lastCycleSteps.contains(member);
            for (const qsizetype member : members) {
                if (assigned_[size_t(member)])
                    continue;
                std::optional<Candidate> place = openAt(member, done ? Place::To : Place::From);
                if (!place)
                    place = openAt(member, done ? Place::From : Place::To);
                assign(member, place);
            }
            propagate();
        }
    }

    // A move cut short between its two steps left its new name (or, in a
    // cycle, its temporary name) beside the file at its old one. A second
    // link to the file always goes; an empty file that reserved the name
    // only where it is the one such name of the phase, as moves are made one
    // at a time.
    void removeUnfinishedTargets() {
        struct Extra {
            QString kept;
            QString extra;
        };
        std::vector<Extra> extras;
        const auto add = [&](const QString& kept, const QString& name) {
            const QString extra = setup_.toDir + name;
            if (!holder_.contains(extra) && fileSystem_.identityOf(extra))
                extras.push_back({kept, extra});
        };
        for (qsizetype file = 0; file < count_; ++file) {
            const Intent& intent = phase_.intents[file];
            const FileState state = phase_.states[size_t(file)];
            if (state == FileState::NotMoved) {
                const QString kept = setup_.fromDir + intent.from;
                add(kept, intent.to);
                for (const QString& name : temporaryNames_.value(file))
                    add(kept, name);
            } else if (state == FileState::Aside) {
                add(setup_.toDir + phase_.aside.value(file), intent.to);
            }
        }
        for (const Extra& extra : extras) {
            const FsResult<FileIdentity> kept = fileSystem_.identityOf(extra.kept);
            const FsResult<FileIdentity> found = fileSystem_.identityOf(extra.extra);
            const bool secondLink = kept && found && kept.value().inode == found.value().inode &&
                                    setup_.check == IdentityCheck::ByInode;
            if (secondLink || extras.size() == 1)
                (void)fileSystem_.removeUnfinishedTarget(extra.kept, extra.extra);
        }
    }

    FileSystem& fileSystem_;
    PhaseRecord& phase_;
    const PhaseSetup& setup_;
    const qsizetype count_;
    std::vector<std::vector<Candidate>> candidates_;
    std::vector<bool> assigned_;
    QHash<QString, qsizetype> holder_;                // a name on the disk -> the file placed there
    QHash<QString, std::vector<qsizetype>> wantedBy_; // a name -> the files that could be there
    std::vector<qsizetype> waiting_;                  // files to look at again
    QHash<QString, qsizetype> byOldName_;             // in place: old name -> its file
    QHash<qsizetype, QStringList> temporaryNames_;    // in place: file -> names made for it
};

} // namespace

void locateInterruptedPhase(FileSystem& fileSystem, PhaseRecord& phase) {
    Locator(fileSystem, phase).run();
}
