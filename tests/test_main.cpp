// Test entry: every test program runs with a private runtime folder and a
// Qt application object when the toolkit is linked (offscreen platform).
#include <gtest/gtest.h>

#include "app/core/answers.h"
#include "app/panes/pane_workers.h"
#include "app/panes/panes.h"
#include "test_support.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    test_support_init(argc, argv);
    // Listings start no background threads unless a test releases them, so
    // tests read the rows a listing made, and no worker outlives its window.
    PaneThreadsHeld = true;
    // File-system questions of the panes are answered before the asking call
    // returns, however loaded the machine; tests of slow answers shorten it.
    AnswerWaitMs = 10000;
    PaneStartWaitMs = 10000;
    return RUN_ALL_TESTS();
}
