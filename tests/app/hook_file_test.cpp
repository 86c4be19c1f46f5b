#include "app/hook_file.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include "app/journal_file.h"
#include "test_dir.h"

namespace studyhop {
namespace {

// The heartbeat and the window report were written through a symbolic link
// and cut the file it named; the journal appended to it.
TEST(HookFileTest, HooksLeaveALinkAndItsTargetAlone) {
    test::TestDir dir;
    test::writeBytes("precious", "precious\n");
    ASSERT_EQ(::symlink("precious", "link"), 0);
    ASSERT_EQ(::link("precious", "second-name"), 0);
    for (const char* hook : {"link", "second-name"}) {
        EXPECT_FALSE(replaceHookFile(hook, "1\n")) << hook;
        JournalFile(hook).record(JournalChange::FileDeleted, "a.qz2");
    }
    EXPECT_EQ(test::readBytes("precious"), "precious\n");
    EXPECT_TRUE(replaceHookFile("beat", "10\n") && replaceHookFile("beat", "9\n"));
    EXPECT_EQ(test::readBytes("beat"), "9\n");
}

}  // namespace
}  // namespace studyhop
