#pragma once

#include "bench/Jobs.h"

#include <QList>

// Prints the results as one Markdown table on the standard output.
void printTable(const QList<JobResult>& results, int repeat);
