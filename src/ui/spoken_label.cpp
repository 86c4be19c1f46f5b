#include "ui/spoken_label.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPainter>
#include <QStyleOptionFocusRect>

namespace studyhop {

namespace {

// A grouping, not a label: Orca, for one, drops name changes of labels.
QAccessibleInterface* spokenLabelInterface(const QString& key, QObject* object) {
    if (key == QLatin1String(SpokenLabel::staticMetaObject.className())) {
        if (auto* widget = qobject_cast<QWidget*>(object)) {
            return new QAccessibleWidget(widget, QAccessible::Grouping);
        }
    }
    return nullptr;
}

}  // namespace

SpokenLabel::SpokenLabel(QWidget* parent) : QLabel(parent) {
    static const bool installed = [] {
        QAccessible::installFactory(spokenLabelInterface);
        return true;
    }();
    (void)installed;
    setFocusPolicy(Qt::StrongFocus);
}

void SpokenLabel::speak(const QString& text) {
    // The same name again is no change to a screen reader: empty it first.
    if (accessibleName() == text) {
        setAccessibleName(QString());
    }
    setAccessibleName(text);
    setFocus(Qt::OtherFocusReason);
}

void SpokenLabel::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (hasFocus()) {
        QPainter painter(this);
        QStyleOptionFocusRect option;
        option.initFrom(this);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

}  // namespace studyhop
