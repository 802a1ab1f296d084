// The two tray pictures: today's Moon and the fish on today's prediction colour.
#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>

namespace moonbite {

/// The Moon phase picture (100..111) at the sizes panels ask for.
[[nodiscard]] QIcon moonTrayIcon(int picture);
/// The fish on the prediction colour, size x size pixels: a rounded square
/// with a dark rim, so the white of a Poor day still shows on a light panel.
[[nodiscard]] QPixmap fishTrayPixmap(const QColor& colour, int size);
[[nodiscard]] QIcon fishTrayIcon(const QColor& colour);

}  // namespace moonbite
