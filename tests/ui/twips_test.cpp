#include "ui/twips.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QWidget>

#include "ui/controls.h"

namespace studyhop {
namespace {

TEST(TwipsTest, FifteenTwipsArePixelAtNinetySixDpi) {
    QWidget window;
    auto* label = makeLabel(&window, "Label1", QString(), 120, 3480, 4935, 615);
    EXPECT_EQ(label->geometry(), QRect(8, 232, 329, 41));
    EXPECT_EQ(topTwips(label), 3480);
    setClientSizeTwips(&window, 6345, 4080);
    EXPECT_EQ(outerHeightTwips(&window), 4470);
    setOuterHeightTwips(&window, 3510);
    EXPECT_EQ(outerHeightTwips(&window), 3510);
}

}  // namespace
}  // namespace studyhop
