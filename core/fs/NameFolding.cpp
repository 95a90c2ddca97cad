#include "core/fs/NameFolding.h"

QString foldedName(const QString& name, NameFolding folding) {
    switch (folding) {
    case NameFolding::Exact:
        break;
    case NameFolding::SimpleCase:
        return name.toCaseFolded();
    case NameFolding::CaseAndNormalisation:
        if (!QStringView(name).isValidUtf16())
            break;
        // Upper case first gives the full folding ("ß" and "SS" alike), which
        // Qt's per-character folding alone does not.
        return name.normalized(QString::NormalizationForm_D)
            .toUpper()
            .toCaseFolded()
            .normalized(QString::NormalizationForm_D);
    }
    return name;
}
