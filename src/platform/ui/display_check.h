// Whether the process can show a window on a desktop. Platform-internal to the start path.
#pragma once

namespace rt {

// True when Qt can reach a local or forwarded X11 or Wayland display within a few seconds.
// Off-screen, remote-framebuffer and unknown platforms do not count. Call before any
// QApplication exists, while the process has no other threads.
bool GraphicalDisplayUsable();

}  // namespace rt
