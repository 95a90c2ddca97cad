#pragma once

#include "core/concat/ConcatState.h"

#include <QString>

// Object names of the concatenation window's controls that the logic uses.
namespace control {

inline QString datei(int slot) {
    return QStringLiteral("txt_Datei") + QString::number(slot);
}

inline const QString confirmEachOption = QStringLiteral("Option1");
inline const QString autoModeOption = QStringLiteral("Option3");
inline const QString progress = QStringLiteral("txt_Progress");
inline const QString mainDir = QStringLiteral("txt_MainDir");
inline const QString outputDir = QStringLiteral("txt_OutputDir");
inline const QString moveDir = QStringLiteral("txt_MoveDir");

} // namespace control
