#pragma once

#include <QString>

class QFont;
class QFontMetrics;
class QLabel;
class QLineEdit;
class QWidget;

namespace studyhop {

class QuestionBox;

// What a label of a fixed size shows of a text: the lines that fit, the last
// one ending in "…" when the text goes on. `cut` tells whether it did.
struct FittedText {
    QString shown;
    bool cut = false;
};

// Lays `text` out in `width` x `height` pixels: on one line, or wrapped at
// word or character boundaries when `wrap` is set, as many lines as have their
// baseline inside `height`. At least one line is always shown, even when not
// even one fits the height.
FittedText fitText(const QFont& font, const QString& text, int width, int height, bool wrap);

// Shows `text` in the label as far as it fits; a cut text ends in "…" and the
// whole text becomes the label's tooltip and its accessible name.
void setFittedText(QLabel* label, const QString& text);
// Shows a decimal number in the label: whole when it fits, else with as
// many of its decimals as fit, cut (never rounded up: 89.99 never shows as
// 90); the whole number is the tooltip and the accessible name, as above.
void setFittedNumber(QLabel* label, const QString& number);
// For benchmarks only: with fitting off, setFittedText sets texts as they
// are, which is the floor the cost of fitting is measured against.
void setTextFittingEnabled(bool enabled);
// The whole text last given to setFittedText.
QString fullText(const QLabel* label);

// Sets the text and scrolls the box to its beginning, so that a long text
// shows its start even while the box is disabled; then marks it as below.
void setTextFromStart(QLineEdit* box, const QString& text);
void setTextFromStart(QuestionBox* box, const QString& text);
// A read-only box whose text does not fit ends in "…"; the whole text is its
// tooltip and follows its caption in its accessible name.
void markCutText(QLineEdit* box);
void markCutText(QuestionBox* box);

// A file name in `width` pixels: whole when it fits, else the start and the
// end of its name around a "…", the extension kept, so that names differing
// only at their end ("…_午前.qz2", "…_午後.qz2") still look different.
QString elideFileName(const QFontMetrics& metrics, const QString& name, int width);

// Makes a one-line caption fit its label without going below `minPointSize`:
// first a smaller size, then narrower glyphs.
void fitCaption(QLabel* label, double minPointSize);

}  // namespace studyhop
