#include "core/run/LargeAllocations.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

void mapLargeAllocationsApart() {
#ifdef __GLIBC__
    // Setting the bound also stops glibc from moving it.
    ::mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif
}
