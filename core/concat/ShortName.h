#pragma once

#include <QString>

// The part of an input's name that stands for it in an output name: the name
// without its last four characters, cut before the first blank from the
// eleventh character on and marked with "..".
QString shortNameOf(const QString& passName);
