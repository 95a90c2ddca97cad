#pragma once

#include <QByteArray>

// Creates a hidden empty directory ".tessavo-probe<suffix>" in `directory`
// (ending with '/') and removes it at once: a harmless way to learn what a
// file system that says little about itself takes. Its name is always the
// same, so that one left by a kill between the two steps goes with the next
// probe. Returns 0 when it could be created, else the system's error. A
// directory, not a file: FUSE keeps a file removed right after its close
// under a hidden name of its own until the close has reached the driver.
int probeNewName(const QByteArray& directory, const QByteArray& suffix = {});
