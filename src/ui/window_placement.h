#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

class QScreen;
class QWidget;

namespace studyhop {

// Where windows open. Rectangles are frames (window plus title bar and
// borders) in the screen's coordinates; `available` is the screen's area
// without panels. A window larger than the area keeps its top-left corner on it.

// The top-left corner of a frame of `size` centred on `available`.
QPoint centredPosition(const QRect& available, const QSize& size);

// The top-left corner of a frame of `size` beside `anchor`, top edges level:
// to its right, else to its left, else where it covers the least of it.
QPoint besidePosition(const QRect& available, const QRect& anchor, const QSize& size);

// Places a window that is about to be shown for the first time. With an
// `anchor` window it goes beside it, otherwise centred on the screen of
// `opener` (the primary screen when there is none).
void placeNewWindow(QWidget* window, const QWidget* opener, const QWidget* anchor);

}  // namespace studyhop
