#include "window/shared_state.h"

#include "data/cell.h"

namespace studyhop {

void SharedState::setMode(int value) {
    const bool differs = m_mode != value;
    m_mode = value;
    if (differs) {
        emit changed();
    }
}

void SharedState::setFileState(FileState value) {
    if (m_fileState == value) {
        return;
    }
    m_fileState = value;
    emit changed();
}

QString SharedState::Text4() const {
    return m_fileState == FileState::None ? QString()
                                          : QString::number(static_cast<int>(m_fileState));
}

void SharedState::assign(QString& field, const QString& value) {
    if (field == value) {
        return;
    }
    field = value;
    emit changed();
}

std::optional<int> SharedState::wholeNumber(const QString& text, int lo, int hi) {
    const auto value = parseNumber(text.toStdString());
    if (!value || *value < lo || *value > hi || *value != static_cast<int>(*value)) {
        return std::nullopt;
    }
    return static_cast<int>(*value);
}

int SharedState::number(const QString& text) {
    return wholeNumber(text, -1000000000, 1000000000).value_or(0);
}

void SharedState::setFileNameBytes(const QString& shown, std::string bytes) {
    m_bytesShown = shown;
    m_bytes = std::move(bytes);
}

std::string SharedState::fileNameBytes(const QString& shown) const {
    return !m_bytes.empty() && shown == m_bytesShown ? m_bytes : shown.toStdString();
}

}  // namespace studyhop
