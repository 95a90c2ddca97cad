#include "core/fs/NameRules.h"

using namespace Qt::StringLiterals;

namespace {

bool isFatControl(char16_t unit) {
    return unit < 0x20 || unit == 0x7f;
}

} // namespace

std::optional<QString> NameRules::refusal(const QString& name) const {
    if (!fatNames || name.isEmpty())
        return std::nullopt;
    static const QString refused = u"\"*/:<>?\\|"_s;
    const QString who = fileSystemName.isEmpty() ? u"Dieses Laufwerk"_s : fileSystemName;
    for (const QChar unit : name) {
        if (refused.contains(unit))
            return u"%1 erlaubt das Zeichen „%2“ in Dateinamen nicht."_s.arg(who, unit);
        if (isFatControl(unit.unicode()))
            return u"%1 erlaubt keine Steuerzeichen in Dateinamen."_s.arg(who);
    }
    if (name.endsWith(u'.'))
        return u"%1 erlaubt keinen Dateinamen, der mit einem Punkt endet."_s.arg(who);
    if (name.endsWith(u' '))
        return u"%1 erlaubt keinen Dateinamen, der mit einem Leerzeichen endet."_s.arg(who);
    return std::nullopt;
}
