#include "core/rename/RenameOperation.h"

#include "core/rename/NameTransforms.h"

#include <QList>

using namespace Qt::StringLiterals;

namespace {

const QList<RenameOperation>& operations() {
    static const QList<RenameOperation> all = {
        {u"ChangeFilename"_s, RenameParameters::SearchTextOnly, transform::ChangeFilename,
         u"Fehler im Modul Dateinamen_Tauschen, vermutlich wurde der Suchstring nicht gefunden "_s},
        {u"CutandNumber"_s, RenameParameters::Numbering, transform::CutandNumber,
         u"Fehler im Modul CutandNumber"_s},
        {u"ChangeString"_s, RenameParameters::Replacement, transform::ChangeString,
         u"Fehler im Modul Dateinamen_Tauschen, vermutlich wurde String1 nicht gefunden "_s},
        {u"AddNumber"_s, RenameParameters::Numbering, transform::AddNumber,
         u"Fehler im Modul AddNumber"_s},
        {u"CutNameFirst"_s, RenameParameters::CharacterCount, transform::CutNameFirst,
         u"Fehler im Modul CutNameFirst"_s},
        {u"CutNameLast"_s, RenameParameters::CharacterCount, transform::CutNameLast,
         u"Fehler im Modul CutNameLast"_s},
        {u"CutNameStringLast"_s, RenameParameters::SearchTextOnly, transform::CutNameStringLast,
         u"Fehler im Modul CutNameStringLast, vermutlich wurde der Suchstring nicht gefunden "_s},
        {u"AddText"_s, RenameParameters::SearchTextOnly, transform::AddText,
         u"Fehler im Modul AddText"_s},
    };
    return all;
}

} // namespace

const RenameOperation* findRenameOperation(const QString& key) {
    for (const RenameOperation& operation : operations())
        if (operation.key == key)
            return &operation;
    return nullptr;
}

const RenameOperation& renameOperation(const QString& key) {
    const RenameOperation* operation = findRenameOperation(key);
    Q_ASSERT(operation);
    return *operation;
}
