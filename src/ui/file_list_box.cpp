#include "ui/file_list_box.h"

#include <QDir>

namespace studyhop {

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
}

void FileListBox::setPattern(const QString& pattern) {
    m_pattern = pattern;
    refresh();
}

void FileListBox::refresh() {
    clear();
    QDir dir = QDir::current();
    dir.setNameFilters(m_pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts));
    dir.setFilter(QDir::Files);
    dir.setSorting(QDir::Name | QDir::IgnoreCase);
    addItems(dir.entryList());
}

QString FileListBox::fileName(int index) const {
    const QListWidgetItem* it = item(index);
    return it ? it->text() : QString();
}

QString FileListBox::selectedName() const {
    const QList<QListWidgetItem*> items = selectedItems();
    return items.isEmpty() ? QString() : items.front()->text();
}

}  // namespace studyhop
