#include "ui/window_placement.h"

#include <gtest/gtest.h>

namespace studyhop {
namespace {

const QRect kScreen(0, 0, 1280, 1024);

TEST(WindowPlacementTest, CentredOnTheAvailableAreaAndKeptOnIt) {
    struct {
        const char* name;
        QRect available;
        QSize size;
        QPoint expected;
    } const cases[] = {
        {"plain screen", kScreen, {400, 300}, {440, 362}},
        {"panel on top", QRect(0, 40, 1280, 984), {400, 300}, {440, 382}},
        {"second screen to the right", QRect(1280, 0, 1920, 1080), {400, 300}, {2040, 390}},
        {"larger than the screen keeps its corner on it", QRect(0, 0, 640, 480), {800, 600}, {0, 0}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(centredPosition(c.available, c.size), c.expected) << c.name;
    }
}

TEST(WindowPlacementTest, BesideTheAnchorWithoutCoveringIt) {
    struct {
        const char* name;
        QRect anchor;
        QSize size;
        QPoint expected;
    } const cases[] = {
        {"room on the right", QRect(100, 100, 430, 300), {180, 180}, {538, 100}},
        {"no room on the right: left", QRect(900, 100, 370, 300), {180, 180}, {712, 100}},
        {"anchor low: top kept on the screen", QRect(100, 900, 430, 300), {180, 180}, {538, 844}},
        {"no room on either side: the wider side", QRect(150, 100, 1000, 300), {180, 180},
         {0, 100}},
    };
    for (const auto& c : cases) {
        const QPoint pos = besidePosition(kScreen, c.anchor, c.size);
        EXPECT_EQ(pos, c.expected) << c.name;
        const QRect placed(pos, c.size);
        EXPECT_TRUE(kScreen.contains(placed)) << c.name;
        if (std::string(c.name).find("either") == std::string::npos) {
            EXPECT_FALSE(placed.intersects(c.anchor)) << c.name;
        }
    }
}

}  // namespace
}  // namespace studyhop

namespace studyhop {
namespace {

// The editor opened centred over the main window put its delete button where
// the click on the main window's button had been.
TEST(WindowPlacementTest, AButtonThatRemovesDataOpensClearOfThePointer) {
    const QRect danger(312, 88, 81, 25);  // within a 403 x 257 frame
    const QSize size(403, 257);
    struct {
        const char* name;
        QPoint pos;
        QPoint pointer;
    } const cases[] = {
        {"pointer on the button", {438, 383}, {438 + 330, 383 + 100}},
        {"pointer beside the button", {438, 383}, {438 + 305, 383 + 95}},
        {"window at the bottom of the screen", {438, 760}, {438 + 330, 760 + 100}},
    };
    for (const auto& c : cases) {
        const QPoint pos = clearOfPointer(kScreen, c.pos, size, danger, c.pointer);
        EXPECT_FALSE(danger.translated(pos).adjusted(-20, -20, 20, 20).contains(c.pointer)) << c.name;
        EXPECT_TRUE(kScreen.contains(QRect(pos, size))) << c.name;
    }
    // Already clear: the window stays where it was placed.
    EXPECT_EQ(clearOfPointer(kScreen, {438, 383}, size, danger, {10, 10}), QPoint(438, 383));
}

}  // namespace
}  // namespace studyhop
