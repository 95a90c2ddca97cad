#pragma once

// Makes every block above 128 KiB a mapping of its own, which goes back to
// the system when it is freed. glibc otherwise raises that bound, up to
// 32 MiB, each time such a block is freed; from then on a growing log or
// list leaves holes in the heap that stay resident (a rename over 100,000
// files held 17 MiB more at its peak). Called first thing in main.
void mapLargeAllocationsApart();
