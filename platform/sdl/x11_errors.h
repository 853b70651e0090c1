// Keeps a late X protocol error about a window that is already gone from ending the
// program: Xlib's default handler exits on any error, and SDL's own requests can race
// the destruction of a message box or of the main window.
#pragma once

namespace plat {

// Installs the handler when SDL's video runs on X11; harmless elsewhere.
void TolerateVanishedXWindows();

}  // namespace plat
