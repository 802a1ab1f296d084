// Whether a graphical session can be reached, asked before Qt would abort
// for want of one.
#pragma once

namespace moonbite {

/// True when QT_QPA_PLATFORM or WAYLAND_DISPLAY is set, or DISPLAY names a
/// local X display whose socket exists (a remote one is taken as reachable).
[[nodiscard]] bool displayAvailable();

}  // namespace moonbite
