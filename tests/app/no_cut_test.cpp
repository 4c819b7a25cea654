// Nothing the panes show is cut at the sizes people use: with sizes in
// bytes, the date and size columns and the disk information line get the
// width their texts need, at the smallest window and at the default one;
// from the first start's width on, long type names and the names too.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include "app/config/drive_bar.h"
#include "app/core/app_state.h"
#include "app/core/ids.h"
#include "app/panes/pane.h"
#include "app/panes/pane_location.h"
#include "app/panes/pane_sides.h"
#include "app/panes/panes.h"
#include "app/shell/main_window.h"
#include "runtime/text.h"
#include "test_support.h"
#include "toolkit/events.h"
#include "toolkit/gadgets.h"
#include "toolkit/list.h"

namespace {

std::vector<PfVolume> RootOnly() {
    return {PfVolume{L"/", L"/dev/root", L"ext4", L"Hard Disk", L"/", L"/"}};
}

struct WindowSize {
    int64_t width, height;
};

class NoCutTest : public testing::TestWithParam<WindowSize> {
  protected:
    void SetUp() override {
        tk_init();
        AppStateReset();
        ResetPanes();
        DriveVolumes = RootOnly;
        App.settings.FileSizeUnit = 0;  // Byte
        App.settings.DriveSizeUnit = 0; // Byte
        const int fd = open((dir / "big.iso").c_str(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(ftruncate(fd, 5'000'000'000LL), 0); // sparse: no disk space used
        close(fd);
        dir.write("klein.txt", "x");
        BuildMainWindow(MainWindowTitle, MainWindowFlags, 0, 0, GetParam().width, GetParam().height,
                        60);
    }
    void TearDown() override {
        tk_window_close(-1);
        AppStateReset();
        ResetPanes();
    }
    TempDir dir;
};

TEST_P(NoCutTest, DateAndSizeColumnsAndDiskLineShowTheirWholeTexts) {
    const std::wstring folder = rt_text_from_os(dir.path()) + L"/";
    SetPaneLocation(GadLeftPane, folder);
    ShowPath(GadLeftPane, L"", ShowRefresh);
    RelayoutMainWindow();
    ASSERT_EQ(tk_gadget_count_items(GadLeftPane), 3); // "..", big.iso, klein.txt
    tk_gadget_set_item_text(GadLeftPane, 2, L"Einfaches Textdokument", 2);
    RelayoutMainWindow();

    int64_t sum = 0;
    for (int64_t column = 0; column < 4; ++column) sum += tk_list_column_width(GadLeftPane, column);
    for (int64_t column : {1, 3})
        EXPECT_GE(tk_list_column_width(GadLeftPane, column),
                  tk_list_column_fit_width(GadLeftPane, column))
            << "column " << column;
    // At the smallest window the name and type columns keep the list's
    // minimum and a horizontal scroll bar appears; at the default size all fits.
    if (GetParam().width >= 1020) {
        EXPECT_LE(sum, tk_gadget_width(GadLeftPane)) << "the columns overflow the list";
    }
    // From the first start's width on, long type names show whole too.
    if (GetParam().width >= 1120) {
        EXPECT_GE(tk_list_column_width(GadLeftPane, 2), tk_list_column_fit_width(GadLeftPane, 2));
        EXPECT_GE(tk_list_column_width(GadLeftPane, 0), tk_list_column_fit_width(GadLeftPane, 0));
    }
    EXPECT_GT(tk_list_column_width(GadLeftPane, 0), 0) << "the name column vanished";

    const std::wstring line = tk_gadget_get_text(GadLeftDiskInfo);
    EXPECT_NE(line.find(L"Byte von"), std::wstring::npos) << rt_text_to_os(line);
    EXPECT_GE(tk_gadget_width(GadLeftDiskInfo), tk_gadget_text_width(GadLeftDiskInfo));
}

INSTANTIATE_TEST_SUITE_P(Sizes, NoCutTest,
                         testing::Values(WindowSize{640, 480}, WindowSize{1020, 630},
                                         WindowSize{1120, 682}));

} // namespace
