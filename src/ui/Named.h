#pragma once

#include <QLabel>
#include <QString>

namespace helan {

// Every control carries the name it has in the window's design, so that a test
// or a script finds it without knowing the layout.
template <typename T> T* named(T* object, const QString& name) {
    object->setObjectName(name);
    return object;
}

inline QLabel* label(const QString& name, const QString& caption, QWidget* parent) {
    return named(new QLabel(caption, parent), name);
}

} // namespace helan
