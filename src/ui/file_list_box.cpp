#include "ui/file_list_box.h"

#include <QPainter>
#include <QRegularExpression>
#include <QStyledItemDelegate>
#include <algorithm>
#include <optional>
#include <vector>

#include "data/file_io.h"
#include "data/file_name.h"
#include "data/platform.h"
#include "ui/text_fit.h"

namespace studyhop {

namespace {

constexpr int kBytesRole = Qt::UserRole;
constexpr int kDecodesRole = Qt::UserRole + 1;
// For a conflict copy: the real file's name as shown, its date and time, and
// whether the real file is the row above.
constexpr int kOriginalRole = Qt::UserRole + 2;
constexpr int kWhenRole = Qt::UserRole + 3;
constexpr int kBelowOriginalRole = Qt::UserRole + 4;

// Draws each row as FileListBox::shownText has it for the row's width.
class FileNameDelegate : public QStyledItemDelegate {
public:
    explicit FileNameDelegate(FileListBox* list) : QStyledItemDelegate(list), m_list(list) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        item.text = lines(m_list->shownText(index.row(), textWidth(item.rect.width())));
        const QStyle* style = m_list->style();
        style->drawControl(QStyle::CE_ItemViewItem, &item, painter, m_list);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        const int width = m_list->viewport()->width();
        item.text = lines(m_list->shownText(index.row(), textWidth(width)));
        QSize size = m_list->style()->sizeFromContents(QStyle::CT_ItemViewItem, &item, QSize(), m_list);
        size.setWidth(std::min(size.width(), width));
        return size;
    }

    // The style keeps this much room at each side of a row's text.
    int textWidth(int rowWidth) const {
        return rowWidth - 2 * (m_list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_list) + 1);
    }

private:
    // The style breaks lines at line separators only.
    static QString lines(QString text) { return text.replace(QLatin1Char('\n'), QChar::LineSeparator); }

    FileListBox* m_list;
};

// "12-08 10:15" of a conflict copy's "2026-12-08" and "10:15:00".
QString shortWhen(const ConflictCopy& copy) {
    QString when = QString::fromStdString(copy.date).mid(5);
    if (!copy.time.empty()) {
        when += QLatin1Char(' ') + QString::fromStdString(copy.time).left(5);
    }
    return when;
}

}  // namespace

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Long names are shortened to the width, never scrolled sideways.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setItemDelegate(new FileNameDelegate(this));
}

void FileListBox::setPattern(const QString& pattern) {
    m_pattern = pattern;
    refresh();
}

void FileListBox::refresh() {
    clear();
    FileSystem here(".");
    FileSystem& fs = m_fs != nullptr ? *m_fs : here;
    std::vector<QRegularExpression> patterns;
    for (const QString& p : m_pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        patterns.emplace_back(QRegularExpression::wildcardToRegularExpression(p),
                              QRegularExpression::CaseInsensitiveOption);
    }
    struct Entry {
        QString shown;
        std::string bytes;
        bool decodes;
        std::optional<ConflictCopy> copy;
        QString original;  // the real file's name as shown; the name itself when no copy
    };
    std::vector<Entry> entries;
    for (const std::string& bytes : fs.list()) {
        // Through the file system, whose Windows half reads names as UTF-16.
        if (bytes.starts_with('.') || !fs.exists(bytes) || !fs.checkType(bytes).ok()) {
            continue;
        }
        const DisplayName name = displayFileName(bytes);
        const QString shown = QString::fromStdString(name.text);
        if (std::any_of(patterns.begin(), patterns.end(),
                        [&](const QRegularExpression& re) { return re.match(shown).hasMatch(); })) {
            std::optional<ConflictCopy> copy = conflictCopy(bytes);
            const QString original =
                copy ? QString::fromStdString(displayFileName(copy->original).text) : shown;
            entries.push_back({shown, bytes, name.encoding != NameEncoding::Undecodable,
                               std::move(copy), original});
        }
    }
    // Each conflict copy right after the file it copies.
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        if (const int c = a.original.compare(b.original, Qt::CaseInsensitive); c != 0) {
            return c < 0;
        }
        if (a.original != b.original) {
            return a.original < b.original;
        }
        if (a.copy.has_value() != b.copy.has_value()) {
            return !a.copy.has_value();
        }
        const int c = a.shown.compare(b.shown, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a.bytes < b.bytes;
    });
    const Entry* previous = nullptr;
    for (const Entry& e : entries) {
        auto* item = new QListWidgetItem(e.shown, this);
        item->setData(kBytesRole, QByteArray::fromStdString(e.bytes));
        item->setData(kDecodesRole, e.decodes);
        if (e.copy) {
            std::string made = e.copy->date;
            if (!e.copy->time.empty()) {
                made += " " + e.copy->time;
            }
            const QString about = QStringLiteral("「%1」の競合コピー（%2）")
                                      .arg(e.original, QString::fromStdString(made));
            item->setData(kOriginalRole, e.original);
            item->setData(kWhenRole, shortWhen(*e.copy));
            item->setData(kBelowOriginalRole,
                          previous != nullptr && previous->original == e.original);
            item->setToolTip(e.shown + QLatin1Char('\n') + about);
            item->setData(Qt::AccessibleTextRole, e.shown + QStringLiteral("、") + about);
        } else {
            item->setToolTip(e.shown);
        }
        previous = &e;
    }
}

QString FileListBox::shownText(int row, int width) const {
    const QListWidgetItem* it = item(row);
    if (it == nullptr) {
        return {};
    }
    const QFontMetrics metrics(font());
    if (!isConflictCopy(row)) {
        return elideFileName(metrics, it->text(), width);
    }
    // Below its real file the copy needs no name of its own; elsewhere it
    // says whose copy it is.
    const QString mark = QStringLiteral("└競合コピー");
    const QString when = QStringLiteral("　") + it->data(kWhenRole).toString();
    QStringList lines;
    if (!it->data(kBelowOriginalRole).toBool()) {
        lines << elideFileName(metrics, it->data(kOriginalRole).toString(), width);
    }
    lines << metrics.elidedText(mark, Qt::ElideRight, width)
          << metrics.elidedText(when, Qt::ElideRight, width);
    return lines.join(QLatin1Char('\n'));
}

QString FileListBox::shownText(int row) const {
    const auto* delegate = static_cast<const FileNameDelegate*>(itemDelegate());
    return shownText(row, delegate->textWidth(viewport()->width()));
}

bool FileListBox::isConflictCopy(int row) const {
    const QListWidgetItem* it = item(row);
    return it != nullptr && it->data(kOriginalRole).isValid();
}

void FileListBox::focusInEvent(QFocusEvent* event) {
    QListWidget::focusInEvent(event);
    if (selectedItems().isEmpty() && count() > 0) {
        setCurrentRow(std::max(0, currentRow()), QItemSelectionModel::ClearAndSelect);
    }
    // A screen reader hears the current file when it becomes current while
    // the list has the focus; the list gets the focus only after this event.
    QMetaObject::invokeMethod(this, &FileListBox::announceCurrent, Qt::QueuedConnection);
}

void FileListBox::keyPressEvent(QKeyEvent* event) {
    QListWidget::keyPressEvent(event);
    if (selectedItems().isEmpty() && currentRow() >= 0) {
        setCurrentRow(currentRow(), QItemSelectionModel::ClearAndSelect);
    }
}

void FileListBox::announceCurrent() {
    const int row = currentRow();
    if (!hasFocus() || row < 0) {
        return;
    }
    setCurrentItem(nullptr, QItemSelectionModel::NoUpdate);
    setCurrentRow(row, QItemSelectionModel::NoUpdate);
}

QString FileListBox::fileName(int index) const {
    const QListWidgetItem* it = item(index);
    return it ? it->text() : QString();
}

QString FileListBox::selectedName() const {
    const QList<QListWidgetItem*> items = selectedItems();
    return items.isEmpty() ? QString() : items.front()->text();
}

std::string FileListBox::selectedBytes() const {
    const QList<QListWidgetItem*> items = selectedItems();
    return items.isEmpty() ? std::string()
                           : items.front()->data(kBytesRole).toByteArray().toStdString();
}

int FileListBox::rowOfBytes(const std::string& bytes) const {
    for (int row = 0; row < count(); ++row) {
        const QByteArray name = item(row)->data(kBytesRole).toByteArray();
        if (sameFileName(std::string_view(name.constData(), static_cast<size_t>(name.size())), bytes)) {
            return row;
        }
    }
    return -1;
}

bool FileListBox::selectedNameDecodes() const {
    const QList<QListWidgetItem*> items = selectedItems();
    return !items.isEmpty() && items.front()->data(kDecodesRole).toBool();
}

}  // namespace studyhop
