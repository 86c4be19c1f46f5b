#include "ui/file_list_box.h"

#include <QRegularExpression>
#include <algorithm>
#include <vector>

#include "data/file_io.h"
#include "data/file_name.h"

namespace studyhop {

namespace {

constexpr int kBytesRole = Qt::UserRole;
constexpr int kDecodesRole = Qt::UserRole + 1;

}  // namespace

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
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
            entries.push_back({shown, bytes, name.encoding != NameEncoding::Undecodable});
        }
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        const int c = a.shown.compare(b.shown, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a.bytes < b.bytes;
    });
    for (const Entry& e : entries) {
        auto* item = new QListWidgetItem(e.shown, this);
        item->setData(kBytesRole, QByteArray::fromStdString(e.bytes));
        item->setData(kDecodesRole, e.decodes);
    }
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
    const QByteArray wanted = QByteArray::fromStdString(bytes);
    for (int row = 0; row < count(); ++row) {
        if (item(row)->data(kBytesRole).toByteArray() == wanted) {
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
