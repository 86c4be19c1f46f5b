#include "ui/window_placement.h"

#include <QApplication>
#include <QCursor>
#include <QMargins>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <functional>
#include <vector>

namespace studyhop {

namespace {

// A gap between a window and the one it opens beside.
constexpr int kGap = 8;

// Moves `pos` so that a frame of `size` lies on `available` as far as it can;
// the top-left corner wins when it cannot fit.
QPoint keepOn(const QRect& available, const QSize& size, QPoint pos) {
    pos.setX(std::max(available.left(), std::min(pos.x(), available.right() + 1 - size.width())));
    pos.setY(std::max(available.top(), std::min(pos.y(), available.bottom() + 1 - size.height())));
    return pos;
}

QScreen* screenOf(const QWidget* widget) {
    QScreen* screen = widget != nullptr ? widget->screen() : nullptr;
    return screen != nullptr ? screen : QApplication::primaryScreen();
}

// Title bar and borders of a window that is not shown yet: those of a shown
// window (the reference if it is shown), none without a window manager.
QMargins expectedFrame(const QWidget* shown) {
    if (shown == nullptr || !shown->isVisible()) {
        shown = nullptr;
        for (const QWidget* window : QApplication::topLevelWidgets()) {
            if (window->isVisible() && !window->isMinimized() &&
                window->windowType() == Qt::Window) {
                shown = window;
                break;
            }
        }
        if (shown == nullptr) {
            return {};
        }
    }
    const QRect frame = shown->frameGeometry();
    const QRect client = shown->geometry();
    return {client.left() - frame.left(), client.top() - frame.top(),
            frame.right() - client.right(), frame.bottom() - client.bottom()};
}

// A window manager tells the size of its frame only once the window is on
// screen. Until then this watches the new window; when the frame turns out
// other than assumed, the window is placed again for its real frame, once.
class FramePlacement : public QObject {
public:
    FramePlacement(QWidget* window, QSize assumedFrame, std::function<QPoint(QSize)> place)
        : QObject(window), m_window(window), m_assumed(assumedFrame), m_place(std::move(place)) {
        window->installEventFilter(this);
        // Without a window manager nothing changes; stop watching soon.
        QTimer::singleShot(kWatchMilliseconds, this, [this] { deleteLater(); });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_window &&
            (event->type() == QEvent::Move || event->type() == QEvent::Resize)) {
            const QSize frame = m_window->frameGeometry().size();
            if (frame != m_window->size() && frame != m_assumed) {
                m_window->removeEventFilter(this);
                m_window->move(m_place(frame));
                deleteLater();
            }
        }
        return false;
    }

private:
    static constexpr int kWatchMilliseconds = 3000;
    QWidget* m_window;
    QSize m_assumed;
    std::function<QPoint(QSize)> m_place;
};

}  // namespace

QPoint centredPosition(const QRect& available, const QSize& size) {
    const QPoint pos(available.left() + (available.width() - size.width()) / 2,
                     available.top() + (available.height() - size.height()) / 2);
    return keepOn(available, size, pos);
}

QPoint besidePosition(const QRect& available, const QRect& anchor, const QSize& size) {
    const int top = anchor.top();
    const QPoint right(anchor.right() + 1 + kGap, top);
    if (right.x() + size.width() <= available.right() + 1) {
        return keepOn(available, size, right);
    }
    const QPoint left(anchor.left() - kGap - size.width(), top);
    if (left.x() >= available.left()) {
        return keepOn(available, size, left);
    }
    // Neither side has room: the side with more of it, kept on the screen.
    const int roomRight = available.right() - anchor.right();
    const int roomLeft = anchor.left() - available.left();
    return keepOn(available, size, roomRight >= roomLeft ? right : left);
}

QPoint clearOfPointer(const QRect& available, QPoint pos, const QSize& size, const QRect& danger,
                      QPoint pointer) {
    // A little room, so that a second click a few pixels off misses too.
    constexpr int kMargin = 24;
    const auto clear = [&](QPoint p) {
        return !danger.translated(p).adjusted(-kMargin, -kMargin, kMargin, kMargin).contains(pointer);
    };
    if (clear(pos)) {
        return pos;
    }
    const QPoint candidates[] = {
        {pos.x(), pointer.y() + kMargin + 1 - danger.top()},     // the button below the pointer
        {pos.x(), pointer.y() - kMargin - 1 - danger.bottom()},  // above it
        {pointer.x() + kMargin + 1 - danger.left(), pos.y()},    // to its right
        {pointer.x() - kMargin - 1 - danger.right(), pos.y()},   // to its left
    };
    for (const QPoint& c : candidates) {
        const QPoint kept = keepOn(available, size, c);
        if (clear(kept)) {
            return kept;
        }
    }
    return pos;
}

void placeNewWindow(QWidget* window, const QWidget* opener, const QWidget* anchor) {
    const QWidget* reference = anchor != nullptr ? anchor : opener;
    QScreen* screen = screenOf(reference);
    if (screen == nullptr) {
        return;
    }
    const QMargins frame = expectedFrame(reference);
    const QSize frameSize = window->size().grownBy(frame);
    const QRect available = screen->availableGeometry();
    const bool beside = anchor != nullptr && anchor->isVisible();
    const QRect anchorFrame = beside ? anchor->frameGeometry() : QRect();
    // The buttons that remove data, in the frame's coordinates.
    std::vector<QRect> dangers;
    for (const QWidget* child : window->findChildren<QWidget*>()) {
        if (child->property(kRemovesDataProperty).toBool()) {
            dangers.push_back(child->geometry().translated(frame.left(), frame.top()));
        }
    }
    const QPoint pointer = QCursor::pos();
    auto place = [available, beside, anchorFrame, dangers, pointer](QSize size) {
        QPoint pos = beside ? besidePosition(available, anchorFrame, size)
                            : centredPosition(available, size);
        for (const QRect& danger : dangers) {
            pos = clearOfPointer(available, pos, size, danger, pointer);
        }
        return pos;
    };
    window->move(place(frameSize));
    new FramePlacement(window, frameSize, place);
}

}  // namespace studyhop
