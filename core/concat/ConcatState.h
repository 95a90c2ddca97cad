#pragma once

#include <QList>
#include <QString>

#include <array>

// Slots are numbered 1 to 4; arrays below hold slot s at index s - 1.
constexpr int slotTotal = 4;
using SlotTexts = std::array<QString, slotTotal>;

// What the concatenation window keeps for as long as it exists.
struct ConcatState {
    // Input selection: the dialog's path, its name and directory part.
    SlotTexts InputPath;
    SlotTexts InputName;
    SlotTexts InputDir;
    QString FileExt;

    // Work directories beside the first input's directory.
    QString MainDir;
    QString OutputDir;
    QString MoveDir;

    // The passes of the latest run: one row per pass, one text per slot;
    // an empty text means the slot has no file in that pass.
    QList<SlotTexts> PassName;
    QList<SlotTexts> PassPath;
    qint32 PassNo = 0;
    bool AutoMode = false;
    QString OutputName;

    // A run is under way (waiting in its pause, or in one of its messages).
    bool running = false;
};
