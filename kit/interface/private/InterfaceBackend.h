// The window backend behind the interface kit's windows, and the decisions the kit makes
// for it: what a BeOS look, feel and flags mean as window properties, and which cursor
// shape a BCursor is. Kit-internal.
#ifndef _INTERFACE_BACKEND_H
#define _INTERFACE_BACKEND_H

#include <Window.h>

#include <WindowBackend.h>

class BCursor;

namespace BPrivate {

// The feel of menu windows: popups placed by the kit, above everything, grabbing input.
const window_feel kMenuWindowFeel = (window_feel)1025;

// The backend for windows made now: the one installed by SetBackend(), else the X
// display, else the null backend (no display: windows are loopers drawing into their
// back buffer, nothing is shown). Never null.
WindowBackend* Backend();
// Installs a backend for the windows made from now on (tests); null goes back to the
// default. Not owned; it must outlive the windows made with it.
void SetBackend(WindowBackend* backend);

// Floating feels: above their application's (or subset's) windows, or above all.
bool IsFloatingFeel(window_feel feel);
// The properties of a window of this look, feel and flags; workspaces is already resolved
// (never B_CURRENT_WORKSPACE).
WindowProperties WindowPropertiesFor(const char* title, window_look look, window_feel feel,
                                     uint32 flags, uint32 workspaces);
// The cursor as the backend takes it; null is the desktop's own pointer. The image points
// into the cursor, which must outlive its use.
CursorImage CursorImageFor(const BCursor* cursor);

} // namespace BPrivate

#endif // _INTERFACE_BACKEND_H
