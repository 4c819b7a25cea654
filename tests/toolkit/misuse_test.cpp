// Unknown numbers: every build returns 0, a debug build also names the
// number and the operation on standard error; asking whether a number exists
// or freeing an absent one stays quiet in every build.
#include "core_fixture.h"
#include "toolkit/images.h"

#include <algorithm>
#include <string>

namespace {

class MisuseTest : public CoreTest {};

bool debug_build() {
#ifdef NDEBUG
    return false;
#else
    return true;
#endif
}

} // namespace

TEST_F(MisuseTest, UnknownNumbersReturnZeroAndAreReportedInDebugBuilds) {
    ASSERT_NE(tk_window_open(1, 0, 0, 200, 100, L"w", TkWindowNormal), 0);
    ASSERT_NE(make_line_edit(5), 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(tk_gadget_set_text(4711, L"x"), 0);
    EXPECT_EQ(tk_window_width(815), 0);
    EXPECT_EQ(tk_image_width(333), 0);
    const std::string report = testing::internal::GetCapturedStderr();
    if (debug_build()) {
        EXPECT_NE(report.find("gadget 4711"), std::string::npos) << report;
        EXPECT_NE(report.find("tk_gadget_set_text"), std::string::npos) << report;
        EXPECT_NE(report.find("window 815"), std::string::npos) << report;
        EXPECT_NE(report.find("tk_window_width"), std::string::npos) << report;
        EXPECT_NE(report.find("image 333 does not exist (tk_image_width)"), std::string::npos)
            << report;
    } else {
        EXPECT_EQ(report, "");
    }
    EXPECT_EQ(tk_gadget_set_text(5, L"da"), 1); // a known number still works
    EXPECT_EQ(tk_gadget_get_text(5), L"da");
}

TEST_F(MisuseTest, ExistsFreeAndRecreatingAreQuiet) {
    ASSERT_NE(tk_window_open(1, 0, 0, 200, 100, L"w", TkWindowNormal), 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(tk_gadget_exists(4711), 0);
    EXPECT_EQ(tk_gadget_free(4711), 0);
    EXPECT_EQ(tk_window_exists(815), 0);
    EXPECT_EQ(tk_window_close(815), 0);
    EXPECT_EQ(tk_image_exists(333), 0);
    tk_image_free(333);
    ASSERT_NE(make_line_edit(5), 0);
    ASSERT_NE(make_line_edit(5), 0); // the old gadget 5 goes first
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(tk_gadget_exists(5), 1);
}

TEST_F(MisuseTest, NumbersTakenFromElsewhereAreReportedInDebugBuilds) {
    ASSERT_NE(tk_window_open(1, 0, 0, 200, 100, L"eins", TkWindowNormal), 0);
    ASSERT_NE(make_line_edit(5), 0);
    ASSERT_NE(tk_window_open(2, 0, 0, 200, 100, L"zwei", TkWindowNormal), 0);
    testing::internal::CaptureStderr();
    ASSERT_NE(make_line_edit(5), 0); // a dialog's gadget under the number of the main window's
    ASSERT_NE(make_line_edit(5), 0); // re-made in its own window: quiet
    ASSERT_NE(tk_window_open(1, 0, 0, 200, 100, L"noch eins", TkWindowNormal), 0);
    const std::string report = testing::internal::GetCapturedStderr();
    if (debug_build()) {
        EXPECT_NE(report.find("gadget 5 is already in use in window 1"), std::string::npos)
            << report;
        EXPECT_NE(report.find("window 1 is already in use"), std::string::npos) << report;
        EXPECT_NE(report.find("(tk_window_open)"), std::string::npos) << report;
        EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 2) << report;
    } else {
        EXPECT_EQ(report, "");
    }
    // The contract holds in every build: the old record is freed, the new one lives.
    EXPECT_EQ(tk_gadget_exists(5), 1);
    EXPECT_EQ(tk_window_exists(1), 1);
    EXPECT_EQ(tk_window_exists(2), 1);
}
