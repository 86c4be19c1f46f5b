#pragma once

class QWidget;

namespace studyhop {

// Layout is designed in twips (1/1440 inch): 15 twips are one pixel at 96 dpi.
// Every conversion between twips and pixels happens here.

// The title bar and borders that the designed outer heights include.
inline constexpr int kFrameAllowanceTwips = 390;

int twipsToPixels(int twips);
int pixelsToTwips(int pixels);

void placeTwips(QWidget* widget, int left, int top, int width, int height);
void moveTopTwips(QWidget* widget, int top);
int leftTwips(const QWidget* widget);
int topTwips(const QWidget* widget);
int widthTwips(const QWidget* widget);
int heightTwips(const QWidget* widget);

// A window's client area in twips.
void setClientSizeTwips(QWidget* window, int width, int height);
// A window's outer height (client + frame allowance) in twips.
void setOuterHeightTwips(QWidget* window, int outerHeight);
int outerHeightTwips(const QWidget* window);

}  // namespace studyhop
