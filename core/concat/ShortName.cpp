#include "core/concat/ShortName.h"

#include "core/text/CharText.h"

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype extensionLength = 4;
constexpr qsizetype keptLength = 10;

} // namespace

QString shortNameOf(const QString& passName) {
    const CharText name(passName);
    const CharText stem(name.left(name.length() - extensionLength));
    if (stem.length() <= keptLength)
        return stem.text();
    for (qsizetype position = keptLength + 1; position <= stem.length(); ++position) {
        if (stem.chars(position, position) == u" "_s)
            return stem.left(position - 1) + u".."_s;
    }
    return stem.text();
}
