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

// The property that marks a button whose click removes data (a question, a
// file): a window never opens with such a button under the mouse pointer,
// where the click meant for the window before would land on it next.
inline constexpr const char* kRemovesDataProperty = "removesData";

// The top-left corner of a frame of `size` at `pos`, moved up or down (or
// aside when neither fits) just far enough that `danger` (a rectangle in
// the frame's coordinates) is clear of `pointer` by a margin; `pos` itself
// when it is clear already.
QPoint clearOfPointer(const QRect& available, QPoint pos, const QSize& size, const QRect& danger,
                      QPoint pointer);

// Places a window that is about to be shown for the first time. With an
// `anchor` window it goes beside it, otherwise centred on the screen of
// `opener` (the primary screen when there is none). Either way its buttons
// that remove data stay clear of the mouse pointer.
void placeNewWindow(QWidget* window, const QWidget* opener, const QWidget* anchor);

}  // namespace studyhop
