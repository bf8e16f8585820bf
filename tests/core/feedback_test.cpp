// The feedback services: progress arithmetic and the console.
#include "platform/test/test_platform.h"
#include "ui/feedback.h"

#include <gtest/gtest.h>

namespace {

class Feedback : public ::testing::Test {
  protected:
    void SetUp() override { test_platform::reset(); }
};

TEST_F(Feedback, ProgressRangeIsStepsPlusOneIn16Bits) {
    const struct {
        std::uint32_t steps;
        bool range_set;
        std::uint16_t upper;
    } cases[] = {
        {64, true, 65}, {65535, true, 0}, {65536, true, 1}, {0x10040, true, 0x41}, {0, false, 0}};
    for (const auto& c : cases) {
        test_platform::reset();
        progress_begin(c.steps);
        EXPECT_EQ(test_platform::progress.range_set, c.range_set) << c.steps;
        EXPECT_EQ(test_platform::progress.upper, c.upper) << c.steps;
        EXPECT_EQ(test_platform::progress.position, 0) << c.steps;
    }
}

TEST_F(Feedback, StepsAdvanceByOneAndBeginZeroEmptiesKeepingTheRange) {
    progress_begin(64);
    for (int i = 0; i < 64; ++i) {
        progress_step();
    }
    EXPECT_EQ(test_platform::progress.upper, 65);
    EXPECT_EQ(test_platform::progress.position, 64);
    progress_begin(64);
    for (int i = 0; i < 10; ++i) {
        progress_step();
    }
    progress_begin(0);
    EXPECT_EQ(test_platform::progress.upper, 65);
    EXPECT_EQ(test_platform::progress.position, 0);
}

TEST_F(Feedback, ConsoleKeepsEveryLineInOrderAndItsOwnCopy) {
    char buffer[16] = "same";
    console_log(buffer);
    console_log(buffer);
    buffer[0] = 'x';
    EXPECT_EQ(test_platform::console, (std::vector<std::string>{"same", "same"}));
}

TEST_F(Feedback, WithoutADialogTheScreenOperationsDoNothing) {
    dialog_handle = nullptr;
    console_log("lost");
    progress_begin(64);
    progress_step();
    EXPECT_TRUE(test_platform::console.empty());
    EXPECT_FALSE(test_platform::progress.range_set);
    EXPECT_EQ(test_platform::progress.position, 0);
}

TEST_F(Feedback, AbortFlagIsOneRelaxedByte) {
    static_assert(sizeof(abort_requested) == 1);
    EXPECT_TRUE(abort_requested.is_always_lock_free);
    request_abort();
    EXPECT_TRUE(abort_is_requested());
    clear_abort();
    EXPECT_FALSE(abort_is_requested());
}

} // namespace
