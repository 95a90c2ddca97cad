#include "core/rename/RunParameters.h"

#include "core/rename/NameTransforms.h"
#include "core/rename/NumericField.h"
#include "core/rename/RenameOperation.h"
#include "core/run/RunWindow.h"

using namespace Qt::StringLiterals;

namespace {

ParameterFault outOfRange(const RenameOperation& operation) {
    return {operation.failureMessage,
            u"Eine eingegebene Zahl liegt außerhalb von -32768 bis 32767."_s};
}

} // namespace

RunParameters readRunParameters(const RenameOperation& operation, const RunWindow& window,
                                RenameState& state) {
    RunParameters read;
    state.SearchText = window.fieldText(u"txt_Suchstring"_s);
    switch (operation.parameters) {
    case RenameParameters::SearchTextOnly:
        break;
    case RenameParameters::CharacterCount: {
        const std::optional<qint16> count = numericFieldValue(state.SearchText);
        if (!count) {
            read.fault = outOfRange(operation);
            break;
        }
        state.CharCount = *count;
        if (state.CharCount == 0)
            read.notices.append(u"Keine verwendbare Zeichenzahl angegeben"_s);
        break;
    }
    case RenameParameters::Replacement:
        state.ReplaceText = window.fieldText(u"txt_Step"_s);
        state.RepeatReplace = window.isTicked(u"chk_Leerz"_s);
        if (state.RepeatReplace &&
            transform::repeatReplaceCannotEnd(state.SearchText, state.ReplaceText))
            read.fault = ParameterFault{u"Mehrfaches Ersetzen ist so nicht möglich: String 1 ist "
                                        u"leer oder in String 2 enthalten. Es wurde nichts "
                                        u"umbenannt."_s,
                                        {}};
        break;
    case RenameParameters::Numbering: {
        const std::optional<qint16> step = numericFieldValue(window.fieldText(u"txt_Step"_s));
        read.startNumber = numericFieldValue(state.SearchText);
        if (!step || !read.startNumber) {
            read.fault = outOfRange(operation);
            break;
        }
        state.NumberStep = *step;
        state.BlankAfterNumber = window.isTicked(u"chk_Leerz"_s);
        break;
    }
    }
    return read;
}
