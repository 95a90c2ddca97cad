#pragma once

#include <QByteArray>

// Creates a hidden empty directory ".tessavo-probe-<random><suffix>" in
// `directory` (ending with '/') and removes it at once: a harmless way to
// learn what a file system that says little about itself takes. Returns 0
// when it could be created, else the system's error. A directory, not a
// file: FUSE keeps a file removed right after its close under a hidden name
// of its own until the close has reached the driver.
int probeNewName(const QByteArray& directory, const QByteArray& suffix = {});
