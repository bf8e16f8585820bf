// The screen operations on the real dialog: console, progress bar, Delay constant field,
// option buttons, combos, and the worker's synchronous requests to them.
#include "platform/platform.h"
#include "tests/win32/dialog_fixture.h"
#include "ui/dialog_template.h"
#include "ui/feedback.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>

namespace {

using Screen = RealDialog;

TEST_F(Screen, ConsoleKeepsEveryLineInCallOrderAsACopy) {
    char buffer[32];
    std::strcpy(buffer, "first");
    console_log(buffer);
    std::strcpy(buffer, "second"); // the caller reuses its buffer at once
    console_log(buffer);
    console_log("second");
    ASSERT_EQ(console_count(), 3);
    EXPECT_EQ(console_line(0), "first");
    EXPECT_EQ(console_line(1), "second");
    EXPECT_EQ(console_line(2), "second");
}

TEST_F(Screen, ConsoleFollowsItsNewestLineUnlessScrolledBack) {
    for (int i = 0; i < 60; ++i) {
        char line[32];
        std::snprintf(line, sizeof line, "line %d", i);
        console_log(line);
    }
    const HWND console = GetDlgItem(dialog_, id_console);
    RECT client{};
    GetClientRect(console, &client);
    const LRESULT item_height = SendMessageA(console, LB_GETITEMHEIGHT, 0, 0);
    const LRESULT top = SendMessageA(console, LB_GETTOPINDEX, 0, 0);
    ASSERT_GT(item_height, 0);
    const LRESULT visible = client.bottom / item_height;
    EXPECT_GT(top, 0);
    EXPECT_LE(top, 59);
    EXPECT_GE(top + visible - 1, 59) << "the newest line is in view";

    // Scrolled back by the operator, the console stays where it is.
    SendMessageA(console, LB_SETTOPINDEX, 0, 0);
    console_log("line 60");
    EXPECT_EQ(SendMessageA(console, LB_GETTOPINDEX, 0, 0), 0);
}

struct Range {
    int low, high, position;
};

Range progress_of(HWND dialog) {
    PBRANGE range{};
    SendDlgItemMessageA(dialog, id_progress, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
    const int position =
        static_cast<int>(SendDlgItemMessageA(dialog, id_progress, PBM_GETPOS, 0, 0));
    return {range.iLow, range.iHigh, position};
}

TEST_F(Screen, ProgressRunsFromZeroToOneShortOfItsRangeAndEmptiesKeepingIt) {
    progress_begin(64);
    Range range = progress_of(dialog_);
    EXPECT_EQ(range.low, 0);
    EXPECT_EQ(range.high, 65);
    EXPECT_EQ(range.position, 0);
    for (int i = 0; i < 64; ++i) {
        progress_step();
    }
    EXPECT_EQ(progress_of(dialog_).position, 64);
    progress_begin(0);
    range = progress_of(dialog_);
    EXPECT_EQ(range.high, 65) << "the range stays";
    EXPECT_EQ(range.position, 0);
    progress_begin(65536); // non-zero: the range becomes 0 to 1
    EXPECT_EQ(progress_of(dialog_).high, 1);
}

TEST_F(Screen, DelayConstantFieldIsAnUnsignedDecimalNumberOrNothing) {
    struct Case {
        const char* text;
        bool valid;
        std::uint32_t value;
    };
    const Case cases[] = {
        {"0", true, 0},           {"1", true, 1},
        {"250", true, 250},       {"4294967295", true, 0xFFFFFFFFu},
        {"4294967296", false, 0}, {"", false, 0},
        {"abc", false, 0},        {"12x", false, 0},
        {"-1", false, 0},         {" 7", true, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        SetDlgItemTextA(dialog_, id_delay, c.text);
        std::uint32_t value = 0xDEADBEEF;
        const bool valid = screen_read_delay(dialog_, &value);
        EXPECT_EQ(valid, c.valid);
        if (c.valid) {
            EXPECT_EQ(value, c.value);
        }
    }
}

TEST_F(Screen, OptionButtonCountsAsCheckedWhateverElseItReports) {
    screen_option_check(dialog_, id_from_end);
    EXPECT_TRUE(screen_option_checked(dialog_, id_from_end));
    EXPECT_FALSE(screen_option_checked(dialog_, id_from_start));

    // Checked and focused: BM_GETSTATE reports more than the checked state alone.
    SendDlgItemMessageA(dialog_, id_from_start, BM_SETCHECK, BST_CHECKED, 0);
    SendDlgItemMessageA(dialog_, id_from_start, BM_SETSTATE, TRUE, 0); // pushed as well
    const LRESULT raw = SendDlgItemMessageA(dialog_, id_from_start, BM_GETSTATE, 0, 0);
    ASSERT_NE(raw, BST_CHECKED) << "the button reports another state bit";
    EXPECT_TRUE(screen_option_checked(dialog_, id_from_start));
}

TEST_F(Screen, ComboEntriesKeepTheirIndexesInASortedCombo) {
    // Combo 102 has CBS_SORT; the entries are inserted in anti-alphabetical order.
    screen_combo_insert(dialog_, id_cable_type, 0, "b second in the alphabet");
    screen_combo_insert(dialog_, id_cable_type, 1, "a first in the alphabet");
    screen_combo_select(dialog_, id_cable_type, 1);
    char text[64] = {};
    SendDlgItemMessageA(dialog_, id_cable_type, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "b second in the alphabet");
    EXPECT_EQ(SendDlgItemMessageA(dialog_, id_cable_type, CB_GETCURSEL, 0, 0), 1);
}

// ---- The worker's requests, carried out by the dialog thread ----------------------------

constexpr int worker_lines = 200;

void log_many_lines() {
    for (int i = 0; i < worker_lines; ++i) {
        char line[32];
        std::snprintf(line, sizeof line, "worker %d", i);
        console_log(line);
        progress_step();
    }
}

TEST_F(Screen, WorkerRequestsAreCarriedOutInOrderWhileStopWaits) {
    progress_begin(worker_lines);
    ASSERT_TRUE(worker_thread_start(log_many_lines));
    // The worker's requests are sent to this thread, which serves them while it waits.
    worker_thread_stop();
    ASSERT_EQ(console_count(), worker_lines);
    for (int i = 0; i < worker_lines; i += 37) {
        EXPECT_EQ(console_line(i), "worker " + std::to_string(i));
    }
    EXPECT_EQ(progress_of(dialog_).position, worker_lines);
}

} // namespace
