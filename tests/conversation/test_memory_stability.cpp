// Two hundred thousand Enter clicks, matching and not matching by turns, leave resident memory
// where the first ten thousand put it.

#include "Driver.h"
#include "shell/Program.h"

#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

long ResidentKiB() {
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

TEST(ConversationWindow, ManyClicksDoNotGrowMemory) {
    TestDriver::Driver& d = TestDriver::Current();
    long afterWarmUp = 0, atEnd = 0;
    d.Run(QuiblyProgram, [&] {
        const std::string_view phrases[] = {"how are you?", "how are you"};
        for (int click = 1; click <= 200'000; ++click) {
            d.Paste("frmMain", "Text1", phrases[click % 2]);
            d.Click("frmMain", "Command1");
            if (click == 10'000)
                afterWarmUp = ResidentKiB();
        }
        atEnd = ResidentKiB();
    });
    std::printf("resident after 10,000 clicks: %ld KiB; after 200,000: %ld KiB\n", afterWarmUp,
                atEnd);
    EXPECT_GT(afterWarmUp, 0);
    EXPECT_LT(atEnd * 100, afterWarmUp * 101) << "memory grew by 1% or more";
}

} // namespace
