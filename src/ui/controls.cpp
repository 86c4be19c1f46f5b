#include "ui/controls.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QListWidget>
#include <QPalette>
#include <QPushButton>
#include <QWidget>

#include "ui/japanese_fonts.h"
#include "ui/twips.h"

namespace studyhop {

namespace {

class KeyDownFilter : public QObject {
public:
    KeyDownFilter(QObject* parent, std::function<bool(KeyDown)> handler)
        : QObject(parent), m_handler(std::move(handler)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            return m_handler(translateKey(*static_cast<QKeyEvent*>(event)));
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<bool(KeyDown)> m_handler;
};

class RowOnFocusFilter : public QObject {
public:
    explicit RowOnFocusFilter(QListWidget* list) : QObject(list), m_list(list) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn && m_list->count() > 0) {
            const int row = std::max(0, m_list->currentRow());
            m_list->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
            // Made current again once the list has the focus, which is what
            // a screen reader reads out.
            QMetaObject::invokeMethod(
                m_list,
                [list = m_list, row] {
                    if (list->hasFocus() && list->currentRow() == row) {
                        list->setCurrentItem(nullptr, QItemSelectionModel::NoUpdate);
                        list->setCurrentRow(row, QItemSelectionModel::NoUpdate);
                    }
                },
                Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QListWidget* m_list;
};

}  // namespace

void ClickableLabel::mousePressEvent(QMouseEvent* event) {
    QLabel::mousePressEvent(event);
    emit clicked();
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, int left,
                        int top, int width, int height) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setFocusPolicy(Qt::StrongFocus);
    placeTwips(button, left, top, width, height);
    onKeyDown(button, [button](KeyDown key) {
        if (key.keyCode == kKeyEnter && key.shift == 0) {
            button->click();
            return true;
        }
        return false;
    });
    return button;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& caption, int left, int top,
                  int width, int height) {
    auto* label = new QLabel(caption, parent);
    // Texts from question files are shown as they are, never as markup.
    label->setTextFormat(Qt::PlainText);
    label->setObjectName(QString::fromLatin1(name));
    placeTwips(label, left, top, width, height);
    return label;
}

ClickableLabel* makeClickableLabel(QWidget* parent, const char* name, int left, int top, int width,
                                   int height) {
    auto* label = new ClickableLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setObjectName(QString::fromLatin1(name));
    placeTwips(label, left, top, width, height);
    return label;
}

void onKeyDown(QWidget* widget, std::function<bool(KeyDown)> handler) {
    widget->installEventFilter(new KeyDownFilter(widget, std::move(handler)));
}

void readRowOnFocus(QListWidget* list) {
    list->installEventFilter(new RowOnFocusFilter(list));
}

void nameComboBox(QComboBox* combo, const QString& caption) {
    auto* label = new QLabel(combo->parentWidget());
    label->setObjectName(combo->objectName() + QStringLiteral("Caption"));
    label->setBuddy(combo);
    label->setVisible(false);
    combo->view()->setAccessibleName(caption);
    auto follow = [combo, label, caption](int index) {
        label->setText(caption + QLatin1Char(' ') + combo->itemText(index));
        // Only a change the user makes is read out: the list's current item
        // is announced as if focused, which would pull a screen reader away
        // from wherever the user is when a window sets the value.
        if (!combo->hasFocus()) {
            return;
        }
        QAbstractItemView* list = combo->view();
        const QModelIndex item =
            combo->model()->index(index, combo->modelColumn(), combo->rootModelIndex());
        if (item.isValid()) {
            list->selectionModel()->setCurrentIndex(item, QItemSelectionModel::ClearAndSelect);
        } else {
            list->selectionModel()->clear();
        }
    };
    QObject::connect(combo, &QComboBox::currentIndexChanged, label, follow);
    follow(combo->currentIndex());
}

void applyProgramFont(QApplication& app) {
    QFont font = app.font();
    font.setFamilies(japaneseFamilies());
    font.setPointSizeF(9);
    app.setFont(font);
}

QFont gothicFont(double pointSize) {
    QFont font;
    QStringList families = {QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic")};
    families += japaneseFamilies();
    font.setFamilies(families);
    font.setPointSizeF(pointSize);
    return font;
}

void setLabelColors(QLabel* label, const QColor& text, const QColor& background) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Window, background);
    label->setAutoFillBackground(true);
    label->setPalette(palette);
}

void shrinkToFit(QLabel* label) {
    QFont font = label->font();
    while (font.pointSizeF() > 5 &&
           QFontMetrics(font).horizontalAdvance(label->text()) > label->width()) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
    }
    label->setFont(font);
}

QColor buttonFaceColor() {
    return QApplication::palette().color(QPalette::Button);
}

}  // namespace studyhop
