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

void SharedState::assign(QString& field, const QString& value) {
    if (field == value) {
        return;
    }
    field = value;
    emit changed();
}

int SharedState::number(const QString& text) {
    const auto value = parseNumber(text.toStdString());
    if (!value || *value < -1e9 || *value > 1e9) {
        return 0;
    }
    return static_cast<int>(*value);
}

}  // namespace studyhop
