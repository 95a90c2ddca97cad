#pragma once

#include <QByteArray>

// Creates a hidden empty file ".tessavo-probe-<random><suffix>" in
// `directory` (ending with '/') and removes it at once: a harmless way to
// learn what a file system without a word about itself takes. Returns 0 when
// the file could be created, else the system's error.
int probeNewName(const QByteArray& directory, const QByteArray& suffix = {});
