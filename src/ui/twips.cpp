#include "ui/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace studyhop {

namespace {

double dotsPerInch() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInch() : 96.0;
    return dpi > 0 ? dpi : 96.0;
}

}  // namespace

int twipsToPixels(int twips) {
    return static_cast<int>(std::lround(twips * dotsPerInch() / 1440.0));
}

int pixelsToTwips(int pixels) {
    return static_cast<int>(std::lround(pixels * 1440.0 / dotsPerInch()));
}

void placeTwips(QWidget* widget, int left, int top, int width, int height) {
    widget->setGeometry(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width),
                        twipsToPixels(height));
}

void moveTopTwips(QWidget* widget, int top) {
    widget->move(widget->x(), twipsToPixels(top));
}

int leftTwips(const QWidget* widget) {
    return pixelsToTwips(widget->x());
}
int topTwips(const QWidget* widget) {
    return pixelsToTwips(widget->y());
}
int widthTwips(const QWidget* widget) {
    return pixelsToTwips(widget->width());
}
int heightTwips(const QWidget* widget) {
    return pixelsToTwips(widget->height());
}

void setClientSizeTwips(QWidget* window, int width, int height) {
    window->setFixedSize(twipsToPixels(width), twipsToPixels(height));
}

void setOuterHeightTwips(QWidget* window, int outerHeight) {
    window->setFixedHeight(twipsToPixels(outerHeight - kFrameAllowanceTwips));
}

int outerHeightTwips(const QWidget* window) {
    return pixelsToTwips(window->height()) + kFrameAllowanceTwips;
}

}  // namespace studyhop
