#include "data/settings_file.h"

#include <gtest/gtest.h>

#include "data/file_io.h"
#include "faulty_file_system.h"
#include "test_dir.h"

namespace studyhop {
namespace {

test::FaultyFileSystem fs;

using test::listDirectory;
using test::readBytes;
using test::TestDir;
using test::writeBytes;

TEST(SettingsFileTest, MissingFileGivesDefaultsWrittenQuoted) {
    TestDir dir;
    const SettingsRead s = readSettings(fs);
    EXPECT_EQ(s.rateFilter, "0");
    EXPECT_EQ(s.order, "0");
    EXPECT_TRUE(s.usedDefaults);
    EXPECT_TRUE(s.writeStatus.ok());
    EXPECT_EQ(readBytes("System.sys"), "\"0\",\"0\"\r\n");
}

TEST(SettingsFileTest, GoodFilesAreReadAndLeftAlone) {
    struct Case {
        const char* bytes;
        const char* rate;
        const char* order;
    } cases[] = {
        {"2,1\r\n", "2", "1"},         {"9\r\n0\r\n", "9", "0"}, {"\"3\",\"1\"\r\n", "3", "1"},
        {"4,1,x,y\r\n", "4", "1"},  // slots 3 and 4 are read and ignored
        {" 5 , 0 \r\n\r\n", "5", "0"},
    };
    for (const Case& c : cases) {
        TestDir dir;
        writeBytes("system.sys", c.bytes);
        const SettingsRead s = readSettings(fs);
        EXPECT_EQ(s.rateFilter, c.rate) << c.bytes;
        EXPECT_EQ(s.order, c.order) << c.bytes;
        EXPECT_FALSE(s.usedDefaults) << c.bytes;
        EXPECT_EQ(readBytes("system.sys"), c.bytes);
        EXPECT_EQ(listDirectory(), "system.sys");
    }
}

TEST(SettingsFileTest, UnusableFilesAreNotOursAndLeftAsTheyAre) {
    const char* cases[] = {"1,1,1,1,1\r\n", "",          "5\r\n",    "10,0\r\n", "3,2\r\n",
                           "a,b\r\n",       "1.5,0\r\n", "-1,0\r\n", "\x81",     "\"1,0"};
    for (const char* bytes : cases) {
        TestDir dir;
        writeBytes("SYSTEM.SYS", bytes);
        const SettingsRead s = readSettings(fs);
        EXPECT_TRUE(s.usedDefaults) << bytes;
        EXPECT_TRUE(s.notOurs) << bytes;
        EXPECT_EQ(s.path, "SYSTEM.SYS") << bytes;
        EXPECT_EQ(s.rateFilter, "0");
        EXPECT_EQ(s.order, "0");
        EXPECT_EQ(readBytes("SYSTEM.SYS"), bytes);
        EXPECT_EQ(listDirectory(), "SYSTEM.SYS") << "one file, whatever its case";
    }
}

TEST(SettingsFileTest, WriteUsesBareIntegersInTheExistingFile) {
    TestDir dir;
    writeBytes("system.sys", "\"0\",\"0\"\r\n");
    SettingsRead now;
    ASSERT_TRUE(updateSettings(fs, SettingsChange{4, 1}, now).ok());
    EXPECT_EQ(readBytes("system.sys"), "4,1\r\n");
    EXPECT_EQ(listDirectory(), "system.sys");
}

TEST(SettingsFileTest, FailedCreationKeepsDefaultsInMemory) {
    TestDir dir;
    fs.hook = [](FileOp op) { return op == FileOp::Write ? ENOSPC : 0; };
    const SettingsRead s = readSettings(fs);
    fs.hook = nullptr;
    EXPECT_EQ(s.rateFilter, "0");
    EXPECT_EQ(s.writeStatus.kind(), ErrorKind::Io);
    EXPECT_EQ(listDirectory(), "");
}

}  // namespace
}  // namespace studyhop

namespace studyhop {
namespace {

TEST(SettingsFileTest, StampOfWhatWasReadIsTheFileOnDisk) {
    for (const char* old : {"4,1\r\n", ""}) {  // read as is, or ("") created as the defaults
        test::TestDir dir;
        if (*old != '\0') {
            test::writeBytes("System.sys", old);
        }
        const SettingsRead read = readSettings(fs);
        FileStamp now;
        ASSERT_TRUE(fs.stamp("System.sys", now).ok());
        EXPECT_EQ(read.stamp, now) << old;
        SettingsRead updated;
        ASSERT_TRUE(updateSettings(fs, SettingsChange{2, std::nullopt}, updated).ok()) << old;
        ASSERT_TRUE(fs.stamp("System.sys", now).ok());
        EXPECT_EQ(updated.stamp, now) << old;
    }
}

}  // namespace
}  // namespace studyhop
