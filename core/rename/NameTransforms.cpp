#include "core/rename/NameTransforms.h"

#include "core/fs/NameCodec.h"
#include "core/text/CharText.h"

#include <algorithm>
#include <cstdlib>
#include <initializer_list>

namespace transform {
namespace {

constexpr qsizetype extensionLength = 4;

// The parts one after another, in one allocation: a run makes a new name for
// every file, and QString's + copies the first part and then grows it.
QString joined(std::initializer_list<QStringView> parts) {
    qsizetype size = 0;
    for (const QStringView part : parts)
        size += part.size();
    QString whole(size, Qt::Uninitialized);
    QChar* out = whole.data();
    for (const QStringView part : parts)
        out = std::copy(part.begin(), part.end(), out);
    return whole;
}

// A file name longer than this many bytes cannot exist on common file
// systems, so a working name beyond it can only be a runaway replacement.
constexpr qsizetype maxNameBytes = 255;

// Splits `name` at the match of `search` at `position`: the text before the
// match, the rest of the base after it, and the last four characters.
void split(RenameState& state, const CharText& name, qsizetype position, const QString& search) {
    const qsizetype base = name.length() - extensionLength;
    const qsizetype searchLength = CharText(search).length();
    state.NamePart1 = name.left(position - 1);
    state.NamePart2 = name.chars(position + searchLength, base);
    state.Extension = name.right(extensionLength);
}

// Position of `search` in `name` stored the way the module keeps it.
qsizetype match(RenameState& state, const CharText& name, const QString& search) {
    const qsizetype position = name.find(search);
    state.MatchPosition = qint16(std::min<qsizetype>(position, 32767));
    return position;
}

// One replacement of the first occurrence of SearchText in WorkName. Returns
// false when the working name is too short; sets `replaced` when a match was
// found.
bool replaceFirst(RenameState& state, bool& replaced) {
    const CharText work(state.WorkName);
    const qsizetype position = match(state, work, state.SearchText);
    replaced = position != 0;
    if (!replaced)
        return true;
    if (work.length() < extensionLength)
        return false;
    split(state, work, position, state.SearchText);
    state.NewName = joined({state.NamePart1, state.ReplaceText, state.NamePart2, state.Extension});
    state.WorkName = state.NewName;
    return true;
}

} // namespace

bool ChangeFilename(RenameState& state) {
    const CharText name(state.CurrentName);
    const qsizetype position = match(state, name, state.SearchText);
    if (position == 0 || name.length() < extensionLength)
        return false;
    split(state, name, position, state.SearchText);
    state.NewName = joined({state.NamePart2, state.SearchText, state.NamePart1, state.Extension});
    return true;
}

bool repeatReplaceCannotEnd(const QString& searchText, const QString& replaceText) {
    return searchText.isEmpty() || CharText(replaceText).contains(searchText);
}

// In repeat mode every pass replaces the first occurrence and searches the
// new working name from its start again. Empty String 1 and a String 2 that
// contains String 1 are refused before the run; what remains can still grow
// without end when a match lies in the last four characters, which each pass
// carries over and appends once more. A working name that outgrows the
// longest possible file name, or a replacement that takes more passes than
// the name could ever need, therefore fails the run for that file, before it
// is touched.
bool ChangeString(RenameState& state) {
    state.WorkName = state.CurrentName;
    state.NewName = state.CurrentName;
    bool replaced = false;
    if (!replaceFirst(state, replaced))
        return false;
    if (!state.RepeatReplace)
        return true;
    const qsizetype maxPasses = 4 * maxNameBytes;
    for (qsizetype pass = 1; replaced; ++pass) {
        if (pass > maxPasses || encodeFileName(state.WorkName).size() > maxNameBytes)
            return false;
        if (!replaceFirst(state, replaced))
            return false;
    }
    return true;
}

bool CutNameFirst(RenameState& state) {
    const CharText name(state.CurrentName);
    const qsizetype count = state.CharCount;
    if (count < 0 || count > name.length() + 1)
        return false;
    state.NewName = name.chars(count + 1, name.length());
    return true;
}

bool CutNameLast(RenameState& state) {
    const CharText name(state.CurrentName);
    const qsizetype keep = name.length() - extensionLength - state.CharCount;
    if (keep < 0 || name.length() < extensionLength)
        return false;
    state.NamePart1 = name.left(keep);
    state.Extension = name.right(extensionLength);
    state.NewName = joined({state.NamePart1, state.Extension});
    return true;
}

bool CutNameStringLast(RenameState& state) {
    const CharText name(state.CurrentName);
    const qsizetype position = match(state, name, state.SearchText);
    if (position == 0 || name.length() < extensionLength)
        return false;
    state.NamePart1 = name.left(position - 1);
    state.Extension = name.right(extensionLength);
    state.NewName = joined({state.NamePart1, state.Extension});
    return true;
}

bool AddText(RenameState& state) {
    const CharText name(state.CurrentName);
    if (name.length() < extensionLength)
        return false;
    state.NamePart1 = name.left(name.length() - extensionLength);
    state.NamePart2 = state.SearchText;
    state.Extension = name.right(extensionLength);
    state.NewName = joined({state.NamePart1, state.NamePart2, state.Extension});
    return true;
}

QString numberText(qint16 number, bool blankAfterNumber, const QString& typedStartNumber) {
    // Written unit by unit: a run calls this for every file.
    char16_t units[8];
    char16_t* end = units;
    // Three characters take three units at least: a shorter start number
    // needs no count of its characters.
    if (number < 100 && typedStartNumber.size() >= 3 && CharText(typedStartNumber).length() == 3)
        *end++ = u'0';
    if (number > 9) {
        char16_t digits[5];
        int count = 0;
        for (int rest = number; rest > 0; rest /= 10)
            digits[count++] = char16_t(u'0' + rest % 10);
        while (count > 0)
            *end++ = digits[--count];
    } else {
        // Below ten only the last digit is kept, also of a negative number.
        *end++ = u'0';
        *end++ = char16_t(u'0' + std::abs(number % 10));
    }
    if (blankAfterNumber)
        *end++ = u' ';
    return QString(reinterpret_cast<const QChar*>(units), end - units);
}

bool CutandNumber(RenameState& state) {
    state.NumberText = numberText(state.RunningNumber, state.BlankAfterNumber, state.SearchText);
    state.NamePart1 = state.NumberText;
    const CharText name(state.CurrentName);
    if (name.length() < 3)
        return false;
    state.NamePart2 = name.chars(4, name.length());
    state.NewName = joined({state.NamePart1, state.NamePart2});
    return true;
}

bool AddNumber(RenameState& state) {
    state.NumberText = numberText(state.RunningNumber, state.BlankAfterNumber, state.SearchText);
    state.NamePart1 = state.NumberText;
    state.NamePart2 = state.CurrentName;
    state.NewName = joined({state.NamePart1, state.NamePart2});
    return true;
}

} // namespace transform
