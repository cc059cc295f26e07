// Kit-internal parts of BWindow: its back buffer and native window, the glue that receives
// display events, the private message codes and the list of the process's windows.
#ifndef _WINDOW_PRIVATE_H
#define _WINDOW_PRIVATE_H

#include <memory>
#include <vector>

#include <Region.h>
#include <Window.h>

#include "Canvas.h"
#include "InterfaceBackend.h"

namespace BPrivate {

// Private message codes of a window to itself.
enum
{
	kMsgUpdate = '_kvU',
	kMsgShowWindow = '_kvS'
};

// Marks the messages made by the display thread, so that a program's own B_KEY_UP
// (posted to the window as a bare message) is not taken for a real key.
extern const char* const kDisplayEventField;

// The drawing context handed to a view's drawing calls.
struct ViewState
{
	Canvas* canvas = nullptr;
	DrawState state;
	BRegion clip;
	std::vector<BRect> clipRects; // clip as the canvas takes it
};

class WindowBuffer
{
public:
	// Set at construction, never null: the null backend stands in without a display.
	WindowBackend* backend = nullptr;
	native_window native = 0;
	std::unique_ptr<Canvas> canvas;
	BRegion dirty;      // to be redrawn by the views
	BRegion drawn;      // drawn, not yet presented
	BRegion updateClip; // while the views draw an update
	bool inUpdate = false;
	bool updatePending = false;
	bool quitting = false;
	bool shownBefore = false;
	bool mapAfterDraw = false; // the pending show maps once the views have drawn
	// The display's count of move and resize requests at our latest one: notices of the
	// frame stamped with an older count predate it and are stale.
	uint32 frameRequest = 0;
	const BView* cursorView = nullptr;
	std::vector<BView*> maskViews; // views with an event mask
	ViewState scratch;
};

} // namespace BPrivate

// A Command-key shortcut; the window owns the message.
struct BWindow::Shortcut
{
	uint32 key;
	uint32 modifiers;
	BMessage* message;
	BHandler* target;
};

namespace BPrivate {

struct WindowInput : public WindowClient
{
	explicit WindowInput(BWindow* window) : window(window) {}
	void BackendMessage(BMessage* message) override;

	BWindow* window;
};

// The windows of this process in creation order, menus left out, for BApplication's
// window list.
int32 CountWindows();
BWindow* WindowAt(int32 index);
// The program's window (menus left out) whose thread is the caller, or null. Safe to use
// for the length of the call: a window's thread outlives the window.
BWindow* WindowOfCurrentThread();

// The cursor to hand to the display: null (the desktop's pointer) for B_HAND_CURSOR,
// which is the system's own pointer on BeOS.
const BCursor* NativeCursor(const BCursor* cursor);

// Shows cursor over every window of the process (BApplication::SetCursor); null restores
// the system pointer. The cursor is copied.
void SetApplicationCursor(const BCursor* cursor);
// The cursor set for the whole program, or null for the system's.
std::shared_ptr<const BCursor> ApplicationCursor();

// Kit-internal access to BWindow for menus and the application.
class WindowAccess
{
public:
	// Grabs pointer and keyboard for an open menu window; false when refused.
	static bool GrabInput(BWindow* window, bool grab);
	// Returns once every event the display received before the call reached its window.
	static void DrainEvents(BWindow* window);
	static native_window Native(const BWindow* window);
	static Canvas* BackBuffer(const BWindow* window);
};

} // namespace BPrivate

#endif // _WINDOW_PRIVATE_H
