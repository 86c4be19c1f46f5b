#include "window/shared_state.h"

#include <gtest/gtest.h>

#include <QSignalSpy>

namespace studyhop {
namespace {

TEST(SharedStateTest, WholeNumbersInRangeAndEverythingElse) {
    struct Case {
        const char* text;
        std::optional<int> inZeroToNine;
        int number;
    } cases[] = {
        {"0", 0, 0},
        {"9", 9, 9},
        {" 3 ", 3, 3},
        {"10", std::nullopt, 10},
        {"-1", std::nullopt, -1},
        {"2.5", std::nullopt, 0},
        {"", std::nullopt, 0},
        {"abc", std::nullopt, 0},
        {"1e3", std::nullopt, 0},
        {"3.0", 3, 3},
        {"99999999999", std::nullopt, 0},
    };
    for (const Case& c : cases) {
        const QString text = QString::fromLatin1(c.text);
        EXPECT_EQ(SharedState::wholeNumber(text, 0, 9), c.inZeroToNine) << c.text;
        EXPECT_EQ(SharedState::number(text), c.number) << c.text;
    }
}

TEST(SharedStateTest, FileStateShowsItsDigitAndAnnouncesOnlyChanges) {
    SharedState state;
    QSignalSpy changes(&state, &SharedState::changed);
    EXPECT_EQ(state.Text4(), QString());
    const std::pair<FileState, const char*> shown[] = {
        {FileState::NewFile, "0"}, {FileState::Legacy, "1"}, {FileState::Current, "2"},
        {FileState::Retest, "3"},  {FileState::NoData, "5"}, {FileState::None, ""},
    };
    for (const auto& [fileState, digit] : shown) {
        state.setFileState(fileState);
        EXPECT_EQ(state.Text4(), QString::fromLatin1(digit));
    }
    EXPECT_EQ(changes.count(), 6);
    state.setFileState(FileState::None);
    EXPECT_EQ(changes.count(), 6);
}

TEST(SharedStateTest, NewFileRequestIsTakenOnce) {
    SharedState state;
    EXPECT_EQ(state.takeNewFileRequest(), std::nullopt);
    state.requestNewFile(QStringLiteral("a.qz2"));
    EXPECT_EQ(state.takeNewFileRequest(), QStringLiteral("a.qz2"));
    EXPECT_EQ(state.takeNewFileRequest(), std::nullopt);
    EXPECT_EQ(state.Text1(), QString());
}

}  // namespace
}  // namespace studyhop
