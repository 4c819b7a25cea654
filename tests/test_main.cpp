// Test entry: every test program runs with a private runtime folder and a
// Qt application object when the toolkit is linked (offscreen platform).
#include <gtest/gtest.h>

#include "test_support.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    test_support_init(argc, argv);
    return RUN_ALL_TESTS();
}
