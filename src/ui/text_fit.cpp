#include "ui/text_fit.h"

#include <QFontMetrics>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QTextLayout>
#include <QVariant>

#include "ui/question_box.h"
#include <algorithm>

namespace studyhop {

namespace {

constexpr char kFullTextProperty[] = "studyhopFullText";
bool g_fittingEnabled = true;
const QChar kEllipsis(0x2026);

// The text as one line: a line break inside a cut last line would otherwise
// push the ellipsis out of sight.
QString asOneLine(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    return text;
}

FittedText fitOneLine(const QFontMetrics& metrics, const QString& text, int width) {
    const QString line = asOneLine(text);
    if (metrics.horizontalAdvance(line) <= width) {
        return {text, false};
    }
    return {metrics.elidedText(line, Qt::ElideRight, width), true};
}

}  // namespace

namespace {

FittedText layOut(const QFont& font, const QString& text, int width, int height, bool wrap);

// A quiz goes back and forth over the same texts in the same labels: each is
// laid out once per font and size. Bounded, so a long session of many files
// cannot grow it without limit.
struct FitKey {
    QString font;
    QString text;
    int width;
    int height;
    bool wrap;
    bool operator==(const FitKey&) const = default;
};

size_t qHash(const FitKey& key, size_t seed = 0) {
    return qHashMulti(seed, key.font, key.text, key.width, key.height, key.wrap);
}

constexpr qsizetype kMaxCachedFits = 2048;

}  // namespace

FittedText fitText(const QFont& font, const QString& text, int width, int height, bool wrap) {
    static QHash<FitKey, FittedText> cache;
    FitKey key{font.key(), text, width, height, wrap};
    if (const auto found = cache.constFind(key); found != cache.constEnd()) {
        return found.value();
    }
    if (cache.size() >= kMaxCachedFits) {
        cache.clear();
    }
    const FittedText fitted = layOut(font, text, width, height, wrap);
    cache.insert(std::move(key), fitted);
    return fitted;
}

namespace {

FittedText layOut(const QFont& font, const QString& text, int width, int height, bool wrap) {
    const QFontMetrics metrics(font);
    if (!wrap || text.isEmpty()) {
        return fitOneLine(metrics, text, width);
    }
    // One line that fits needs no layout of lines.
    if (!text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')) &&
        metrics.horizontalAdvance(text) <= width) {
        return {text, false};
    }
    // A line has room once its baseline is inside: only the descent of its
    // last line may be cut, which most Japanese glyphs do not reach into.
    const int spacing = std::max(1, metrics.lineSpacing());
    const int maxLines = height < metrics.ascent() ? 1 : 1 + (height - metrics.ascent()) / spacing;

    // Lay out paragraph by paragraph, as the label does, and keep the lines
    // as they break.
    QStringList lines;
    bool more = false;
    QString rest;
    const QStringList paragraphs = QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")).split(QLatin1Char('\n'));
    for (qsizetype p = 0; p < paragraphs.size() && !more; ++p) {
        const QString& paragraph = paragraphs[p];
        QTextLayout layout(paragraph, font);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            if (lines.size() == maxLines) {
                more = true;
                break;
            }
            lines << paragraph.mid(line.textStart(), line.textLength());
            if (lines.size() == maxLines) {
                // Whatever follows this line goes into its ellipsis.
                rest = paragraph.mid(line.textStart());
                for (qsizetype q = p + 1; q < paragraphs.size(); ++q) {
                    rest += QLatin1Char(' ') + paragraphs[q];
                }
            }
        }
        layout.endLayout();
        if (lines.size() == maxLines && p + 1 < paragraphs.size()) {
            more = true;
        }
    }
    if (!more) {
        return {text, false};
    }
    // The last visible line always ends in the ellipsis, even when its own
    // characters would fit: the text goes on below it.
    QString last = asOneLine(rest);
    QString shownLast = metrics.elidedText(last, Qt::ElideRight, width);
    if (!shownLast.endsWith(kEllipsis)) {
        shownLast = metrics.elidedText(last + kEllipsis + kEllipsis, Qt::ElideRight, width);
    }
    lines.back() = shownLast;
    return {lines.join(QLatin1Char('\n')), true};
}

}  // namespace

void setTextFittingEnabled(bool enabled) {
    g_fittingEnabled = enabled;
}

void setFittedText(QLabel* label, const QString& text) {
    label->setProperty(kFullTextProperty, text);
    if (!g_fittingEnabled) {
        label->setText(text);
        return;
    }
    const QRect area = label->contentsRect();
    const int indent = label->indent() > 0 ? label->indent() : 0;
    const int width = area.width() - 2 * label->margin() - indent;
    const int height = area.height() - 2 * label->margin();
    const FittedText fitted = fitText(label->font(), text, width, height, label->wordWrap());
    label->setText(fitted.shown);
    label->setToolTip(fitted.cut ? text : QString());
    // A screen reader reads the whole text, not what fits.
    label->setAccessibleName(fitted.cut ? text : QString());
}

void setFittedNumber(QLabel* label, const QString& number) {
    setFittedText(label, number);
    const qsizetype point = number.indexOf(QLatin1Char('.'));
    if (!label->text().endsWith(kEllipsis) || point < 0) {
        return;
    }
    const QFontMetrics metrics(label->font());
    const int width = label->contentsRect().width() - 2 * label->margin() - std::max(0, label->indent());
    // The integer part always, then each decimal that still fits.
    qsizetype length = point;
    while (length < number.size() &&
           metrics.horizontalAdvance(number.left(length + (length == point ? 2 : 1))) <= width) {
        length += length == point ? 2 : 1;
    }
    if (metrics.horizontalAdvance(number.left(length)) <= width) {
        label->setText(number.left(length));
    }
}

QString fullText(const QLabel* label) {
    const QVariant full = label->property(kFullTextProperty);
    return full.isValid() ? full.toString() : label->text();
}

void setTextFromStart(QLineEdit* box, const QString& text) {
    box->setText(text);
    box->setCursorPosition(0);
    markCutText(box);
}

namespace {

// Shows or hides the "…" at the end of a box and names the box by its
// caption and, when cut, its whole text.
void showCutMark(QWidget* box, const QString& text, bool cut, bool readOnly, bool atBottom) {
    constexpr char kCaptionProperty[] = "studyhopCaption";
    if (!box->property(kCaptionProperty).isValid()) {
        box->setProperty(kCaptionProperty, box->accessibleName());
    }
    const QString caption = box->property(kCaptionProperty).toString();
    auto* mark = box->findChild<QLabel*>(QStringLiteral("CutMark"), Qt::FindDirectChildrenOnly);
    if (mark == nullptr) {
        mark = new QLabel(QString(kEllipsis), box);
        mark->setObjectName(QStringLiteral("CutMark"));
        mark->setAutoFillBackground(true);
        mark->setAlignment(Qt::AlignCenter);
    }
    constexpr int kInner = 4;
    const int markWidth = box->fontMetrics().horizontalAdvance(kEllipsis) + kInner;
    const int markHeight = atBottom ? box->fontMetrics().height() : box->height() - 4;
    mark->setGeometry(box->width() - markWidth - 2, box->height() - markHeight - 2, markWidth,
                      markHeight);
    mark->setBackgroundRole(QPalette::Base);
    mark->setPalette(box->palette());
    mark->setVisible(cut && readOnly);
    box->setToolTip(cut ? text : QString());
    box->setAccessibleName(cut ? caption + QLatin1Char(' ') + text : caption);
}

}  // namespace

void markCutText(QLineEdit* box) {
    // The frame and the text margins of the box take a few pixels each side.
    constexpr int kInner = 4;
    const bool cut = box->fontMetrics().horizontalAdvance(box->text()) >
                     box->contentsRect().width() - 2 * kInner;
    showCutMark(box, box->text(), cut, box->isReadOnly(), false);
}

void setTextFromStart(QuestionBox* box, const QString& text) {
    box->setText(text);
    box->setCursorPosition(0);
    markCutText(box);
}

void markCutText(QuestionBox* box) {
    // Measured by the box's own frame: its viewport keeps a default size of
    // about 100 x 30 until the box is first shown, and a window fills its
    // boxes before that.
    box->ensurePolished();
    const QRect area = box->contentsRect();
    const int margin = static_cast<int>(box->document()->documentMargin());
    const FittedText fitted = fitText(box->font(), box->text(), area.width() - 2 * margin,
                                      area.height() - 2 * margin, true);
    showCutMark(box, box->text(), fitted.cut, box->isReadOnly(), true);
}

QString elideFileName(const QFontMetrics& metrics, const QString& name, int width) {
    if (metrics.horizontalAdvance(name) <= width) {
        return name;
    }
    // A short extension after the last dot stays whole.
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const bool hasExtension = dot > 0 && name.size() - dot <= 6;
    const QString extension = hasExtension ? name.mid(dot) : QString();
    const QString stem = hasExtension ? name.left(dot) : name;
    const int room = width - metrics.horizontalAdvance(extension) - metrics.horizontalAdvance(kEllipsis);
    if (room <= 0) {
        return metrics.elidedText(name, Qt::ElideMiddle, width);
    }
    // The end tells names of one series apart: it gets two thirds of the
    // room, the start what is left. A cut never parts a surrogate pair.
    qsizetype tail = 0;
    while (tail < stem.size() && metrics.horizontalAdvance(stem.right(tail + 1)) <= room * 2 / 3) {
        ++tail;
    }
    if (tail > 0 && stem.at(stem.size() - tail).isLowSurrogate()) {
        --tail;
    }
    const int headRoom = room - metrics.horizontalAdvance(stem.right(tail));
    qsizetype head = 0;
    while (head < stem.size() - tail && metrics.horizontalAdvance(stem.left(head + 1)) <= headRoom) {
        ++head;
    }
    if (head > 0 && stem.at(head - 1).isHighSurrogate()) {
        --head;
    }
    return stem.left(head) + kEllipsis + stem.right(tail) + extension;
}

void fitCaption(QLabel* label, double minPointSize) {
    QFont font = label->font();
    const int width = label->contentsRect().width();
    auto advance = [&label](const QFont& f) {
        return QFontMetrics(f).horizontalAdvance(label->text());
    };
    while (font.pointSizeF() - 0.5 >= minPointSize && advance(font) > width) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
    }
    if (font.pointSizeF() < minPointSize) {
        font.setPointSizeF(minPointSize);
    }
    // Still too wide at the smallest readable size: narrower glyphs instead.
    for (int stretch = 95; stretch >= 50 && advance(font) > width; stretch -= 5) {
        font.setStretch(stretch);
    }
    label->setFont(font);
}

}  // namespace studyhop
