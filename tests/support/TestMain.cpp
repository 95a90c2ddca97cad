#include "tests/support/StateHome.h"

#include <gtest/gtest.h>

// main() for tests without windows.
int main(int argc, char** argv) {
    const TemporaryStateHome stateHome;
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
