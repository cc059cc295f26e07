// Choosing the window backend (the X display, or the null backend without one), and the
// one place that decides what looks, feels and flags mean for a native window.
#include "InterfaceBackend.h"

#include <atomic>

#include <Cursor.h>

#include "Display.h"

namespace BPrivate {

namespace {

// No display: windows still work as loopers and draw into their back buffer; nothing is
// shown, nobody sends input, and nothing can be grabbed or dragged.
class NullBackend : public WindowBackend
{
public:
	bool IsConnected() const override { return false; }
	BRect ScreenFrame() const override { return BRect(0, 0, 1023, 767); }
	bool HasWindowManager() const override { return false; }
	uint32 CurrentWorkspace() const override { return 0; }
	uint32 Modifiers() override { return 0; }

	native_window CreateWindow(WindowClient*, BRect, const WindowProperties&) override { return 0; }
	void DestroyWindow(native_window) override {}
	void ShowWindow(native_window) override {}
	void HideWindow(native_window) override {}
	uint32 MoveWindow(native_window, BPoint) override { return 0; }
	uint32 ResizeWindow(native_window, int32, int32) override { return 0; }
	void SetProperties(native_window, const WindowProperties&) override {}
	void SetWorkspaces(native_window, uint32) override {}
	void SetSizeLimits(native_window, int32, int32, int32, int32) override {}
	void Activate(native_window) override {}
	void Minimize(native_window, bool) override {}
	bool GrabInput(native_window, bool) override { return false; }

	void Present(native_window, const uint8*, int32, int32, int32, const BRect*, int32) override {}
	void Flush() override {}
	void Sync() override {}
	void Drain() override {}

	bool QueryPointer(native_window, BPoint*, uint32*) override { return false; }
	void SetCursor(native_window, const CursorImage&) override {}
	void WatchAllKeys(native_window, bool) override {}

	status_t StartDrag(native_window, const BMessage&, const BMessenger&, const uint32*, int32,
	                   int32, BPoint, std::shared_ptr<DragClient>) override
	{
		return B_ERROR;
	}
	bool IsDragging() override { return false; }
};

std::atomic<WindowBackend*> sInstalled{nullptr};

} // namespace

WindowBackend*
Backend()
{
	if (WindowBackend* installed = sInstalled.load())
		return installed;
	if (Display* display = Display::Default())
		return display;
	static NullBackend sNullBackend;
	return &sNullBackend;
}

void
SetBackend(WindowBackend* backend)
{
	sInstalled.store(backend);
}

bool
IsFloatingFeel(window_feel feel)
{
	return feel == B_FLOATING_ALL_WINDOW_FEEL || feel == B_FLOATING_APP_WINDOW_FEEL ||
	       feel == B_FLOATING_SUBSET_WINDOW_FEEL;
}

namespace {

// The kind of window the window system should see: menus and help bubbles (borderless
// floating windows that never take the focus) are placed by the kit itself.
window_kind
KindFor(window_look look, window_feel feel, uint32 flags)
{
	if (feel == kMenuWindowFeel)
		return kMenuWindowKind;
	if ((look == B_NO_BORDER_WINDOW_LOOK || look == B_BORDERED_WINDOW_LOOK) &&
	    feel == B_FLOATING_ALL_WINDOW_FEEL && (flags & B_AVOID_FOCUS) != 0) {
		return kTooltipWindowKind;
	}
	if (feel == B_MODAL_APP_WINDOW_FEEL || feel == B_MODAL_ALL_WINDOW_FEEL ||
	    feel == B_MODAL_SUBSET_WINDOW_FEEL) {
		return kDialogWindowKind;
	}
	return kNormalWindowKind;
}

} // namespace

WindowProperties
WindowPropertiesFor(const char* title, window_look look, window_feel feel, uint32 flags,
                    uint32 workspaces)
{
	WindowProperties properties;
	properties.title = title != nullptr ? title : "";
	properties.kind = KindFor(look, feel, flags);
	properties.decorated = look != B_BORDERED_WINDOW_LOOK && look != B_NO_BORDER_WINDOW_LOOK;
	properties.borderInset = look == B_BORDERED_WINDOW_LOOK ? 1 : 0;
	properties.keepAbove = IsFloatingFeel(feel) || feel == B_MODAL_ALL_WINDOW_FEEL;
	// Without a window manager the kit itself keeps these above other programs' windows.
	properties.aboveEverything = properties.IsPopup() || feel == B_FLOATING_ALL_WINDOW_FEEL ||
	                             feel == B_MODAL_ALL_WINDOW_FEEL;
	properties.modal = feel == B_MODAL_APP_WINDOW_FEEL || feel == B_MODAL_ALL_WINDOW_FEEL;
	properties.takesFocus = (flags & B_AVOID_FOCUS) == 0;
	properties.movable = (flags & B_NOT_MOVABLE) == 0;
	properties.resizableHorizontally = (flags & (B_NOT_RESIZABLE | B_NOT_H_RESIZABLE)) == 0;
	properties.resizableVertically = (flags & (B_NOT_RESIZABLE | B_NOT_V_RESIZABLE)) == 0;
	properties.minimizable = (flags & B_NOT_MINIMIZABLE) == 0;
	properties.zoomable = (flags & B_NOT_ZOOMABLE) == 0;
	properties.closable = (flags & B_NOT_CLOSABLE) == 0;
	properties.workspaces = workspaces == B_ALL_WORKSPACES ? kAllWorkspaces : workspaces;
	return properties;
}

CursorImage
CursorImageFor(const BCursor* cursor)
{
	CursorImage image;
	if (cursor == nullptr)
		return image;
	if (cursor->Data() != nullptr) {
		image.shape = CursorImage::kBitmap;
		image.data = cursor->Data();
	} else if (cursor->ID() == B_CURSOR_ID_FOLLOW_LINK) {
		image.shape = CursorImage::kLink;
	} else if (cursor->ID() == B_CURSOR_ID_I_BEAM) {
		image.shape = CursorImage::kText;
	}
	return image;
}

} // namespace BPrivate
