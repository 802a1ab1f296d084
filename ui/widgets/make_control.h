// Forms place their controls at absolute design positions (so the resizer can
// scale them) and give each the objectName a reader of the form looks for.
#pragma once

#include <QRect>
#include <QString>
#include <QWidget>

namespace moonbite {

/// A new control of type T in parent, named and placed at geometry (pixels).
template <typename T>
T* makeControl(QWidget* parent, const char* name, QRect geometry) {
    auto* w = new T(parent);
    w->setObjectName(QString::fromLatin1(name));
    w->setGeometry(geometry);
    return w;
}

}  // namespace moonbite
