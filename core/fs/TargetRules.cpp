#include "core/fs/TargetRules.h"

#include "core/fs/NameCodec.h"

using namespace Qt::StringLiterals;

namespace {

// A UTF-16 unit takes at most three bytes in UTF-8 (a pair four for two,
// an undecodable byte one), so most names need not be counted.
bool isTooLong(const QString& name, qsizetype longest, bool utf16Units) {
    if (name.size() <= longest / 3)
        return false;
    return (utf16Units ? name.size() : encodedFileNameSize(name)) > longest;
}

} // namespace

std::optional<QString> TargetRules::fullRefusal(const QString& name) const {
    if (name.isEmpty())
        return std::nullopt;
    if (fatNames || asciiOnly || utf8Only) {
        const QString who = fileSystemName.isEmpty() ? u"Dieses Laufwerk"_s : fileSystemName;
        if (utf8Only && !QStringView(name).isValidUtf16())
            return u"%1 erlaubt nur Dateinamen in UTF-8."_s.arg(who);
        static const QString refused = u"\"*/:<>?\\|"_s;
        for (qsizetype at = 0; at < name.size(); ++at) {
            const char16_t unit = name[at].unicode();
            if (fatNames && refused.contains(QChar(unit)))
                return u"%1 erlaubt das Zeichen „%2“ in Dateinamen nicht."_s.arg(who, QChar(unit));
            // exFAT and the kernel's FAT take DEL; fusefat, like everything
            // beyond ASCII, does not.
            if ((fatNames && unit < 0x20) || (asciiOnly && unit == 0x7f))
                return u"%1 erlaubt keine Steuerzeichen in Dateinamen."_s.arg(who);
            if (asciiOnly && unit > 0x7f) {
                const qsizetype length = QChar::isHighSurrogate(unit) && at + 1 < name.size() &&
                                                 name[at + 1].isLowSurrogate()
                                             ? 2
                                             : 1;
                return u"Der Treiber dieses Laufwerks erlaubt das Zeichen „%1“ in Dateinamen nicht."_s
                    .arg(name.mid(at, length));
            }
        }
        if (fatNames && name.endsWith(u'.'))
            return u"%1 erlaubt keinen Dateinamen, der mit einem Punkt endet."_s.arg(who);
        if (fatNames && name.endsWith(u' '))
            return u"%1 erlaubt keinen Dateinamen, der mit einem Leerzeichen endet."_s.arg(who);
    }
    if (isTooLong(name, longestName, countsUtf16Units))
        return u"Der Name ist für dieses Laufwerk zu lang."_s;
    return std::nullopt;
}
