// BWindow: an on-screen window with its own looper thread. Its views draw into a back
// buffer that the window presents to the display; the display thread turns X events into
// BeOS messages posted to the window.
#ifndef _WINDOW_H
#define _WINDOW_H

#include <memory>

#include <InterfaceDefs.h>
#include <Looper.h>
#include <Rect.h>
#include <View.h>

class BMessage;
class BMessageRunner;

class BCursor;

namespace BPrivate {
class WindowAccess;
void SetApplicationCursor(const BCursor* cursor);
class WindowBuffer;
struct WindowInput;
} // namespace BPrivate

enum window_type
{
	B_UNTYPED_WINDOW = 0,
	B_TITLED_WINDOW = 1,
	B_MODAL_WINDOW = 3,
	B_DOCUMENT_WINDOW = 11,
	B_BORDERED_WINDOW = 20,
	B_FLOATING_WINDOW = 21
};

enum window_look
{
	B_BORDERED_WINDOW_LOOK = 20,
	B_NO_BORDER_WINDOW_LOOK = 19,
	B_TITLED_WINDOW_LOOK = 1,
	B_DOCUMENT_WINDOW_LOOK = 11,
	B_MODAL_WINDOW_LOOK = 3,
	B_FLOATING_WINDOW_LOOK = 7
};

// Sized as on BeOS, so that the kit's private feels (menus) beyond the listed values are
// valid feels too.
enum window_feel : int32
{
	B_NORMAL_WINDOW_FEEL = 0,
	B_MODAL_SUBSET_WINDOW_FEEL = 2,
	B_MODAL_APP_WINDOW_FEEL = 1,
	B_MODAL_ALL_WINDOW_FEEL = 3,
	B_FLOATING_SUBSET_WINDOW_FEEL = 5,
	B_FLOATING_APP_WINDOW_FEEL = 4,
	B_FLOATING_ALL_WINDOW_FEEL = 6
};

// Window flags.
enum
{
	B_NOT_MOVABLE = 0x00000001,
	B_NOT_CLOSABLE = 0x00000020,
	B_NOT_ZOOMABLE = 0x00000040,
	B_NOT_MINIMIZABLE = 0x00004000,
	B_NOT_RESIZABLE = 0x00000002,
	B_NOT_H_RESIZABLE = 0x00000004,
	B_NOT_V_RESIZABLE = 0x00000008,
	B_AVOID_FRONT = 0x00000080,
	B_AVOID_FOCUS = 0x00002000,
	B_WILL_ACCEPT_FIRST_CLICK = 0x00000010,
	B_OUTLINE_RESIZE = 0x00001000,
	B_NO_WORKSPACE_ACTIVATION = 0x00000100,
	B_NOT_ANCHORED_ON_ACTIVATE = 0x00020000,
	B_ASYNCHRONOUS_CONTROLS = 0x00080000,
	B_QUIT_ON_WINDOW_CLOSE = 0x00100000,
	B_SAME_POSITION_IN_ALL_WORKSPACES = 0x00200000,
	B_AUTO_UPDATE_SIZE_LIMITS = 0x00400000,
	B_CLOSE_ON_ESCAPE = 0x00800000,
	B_NO_SERVER_SIDE_WINDOW_MODIFIERS = 0x00000200
};

class BWindow : public BLooper
{
public:
	// frame is the content area in screen coordinates. The window starts hidden; its
	// thread starts at the first Show().
	BWindow(BRect frame, const char* title, window_type type, uint32 flags,
	        uint32 workspace = B_CURRENT_WORKSPACE);
	BWindow(BRect frame, const char* title, window_look look, window_feel feel, uint32 flags,
	        uint32 workspace = B_CURRENT_WORKSPACE);
	// Deletes the views. Call Quit() rather than deleting a running window.
	virtual ~BWindow();

	// Hooks.
	virtual void MessageReceived(BMessage* message);
	virtual void DispatchMessage(BMessage* message, BHandler* handler);
	virtual bool QuitRequested();
	virtual void Quit();
	virtual void WindowActivated(bool active);
	virtual void WorkspacesChanged(uint32 oldWorkspaces, uint32 newWorkspaces);
	virtual void WorkspaceActivated(int32 workspace, bool active);
	virtual void FrameMoved(BPoint newPosition);
	virtual void FrameResized(float newWidth, float newHeight);
	virtual void Minimize(bool minimize);
	virtual void Zoom(BPoint origin, float width, float height);
	virtual void ScreenChanged(BRect screenFrame, color_space depth);
	virtual void MenusBeginning();
	virtual void MenusEnded();
	virtual void Show();
	virtual void Hide();
	// Starts the window's thread without showing it; Show() starts it when this was not
	// called.
	virtual thread_id Run();

	// The views. The window owns its top-level views.
	void AddChild(BView* child, BView* before = nullptr);
	bool RemoveChild(BView* child);
	int32 CountChildren() const;
	BView* ChildAt(int32 index) const;
	BView* FindView(const char* name) const;
	BView* FindView(BPoint point) const;
	BView* CurrentFocus() const { return fFocus; }
	// Views that react to Enter: a BView-level hook so any control can be the default.
	void SetDefaultButton(BView* button);
	BView* DefaultButton() const { return fDefaultButton; }

	// Geometry. Frame() is the content area in screen coordinates.
	BRect Frame() const;
	BRect Bounds() const;
	void MoveTo(BPoint point);
	void MoveTo(float x, float y);
	void MoveBy(float dx, float dy);
	void ResizeTo(float width, float height);
	void ResizeBy(float dx, float dy);
	// Widths and heights as in Frame(): ResizeTo() keeps within them, and the window
	// manager lets the user resize only within them.
	void SetSizeLimits(float minWidth, float maxWidth, float minHeight, float maxHeight);
	void GetSizeLimits(float* minWidth, float* maxWidth, float* minHeight, float* maxHeight) const;
	BPoint ConvertToScreen(BPoint windowPoint) const;
	void ConvertToScreen(BPoint* windowPoint) const;
	BRect ConvertToScreen(BRect windowRect) const;
	void ConvertToScreen(BRect* windowRect) const;
	BPoint ConvertFromScreen(BPoint screenPoint) const;
	void ConvertFromScreen(BPoint* screenPoint) const;
	BRect ConvertFromScreen(BRect screenRect) const;
	void ConvertFromScreen(BRect* screenRect) const;

	// Appearance and behaviour.
	void SetTitle(const char* title);
	const char* Title() const;
	status_t SetLook(window_look look);
	window_look Look() const { return fLook; }
	status_t SetFeel(window_feel feel);
	window_feel Feel() const { return fFeel; }
	status_t SetFlags(uint32 flags);
	uint32 Flags() const { return fFlags; }
	window_type Type() const;
	void SetWorkspaces(uint32 workspaces);
	uint32 Workspaces() const { return fWorkspaces; }
	void SetPulseRate(bigtime_t rate);
	bigtime_t PulseRate() const { return fPulseRate; }

	// State.
	bool IsHidden() const { return fShowLevel <= 0; }
	bool IsMinimized() const { return fMinimized; }
	bool IsActive() const { return fActive; }
	bool IsFront() const;
	void Activate(bool active = true);
	void SendBehind(const BWindow* window);

	// Drawing.
	void UpdateIfNeeded();
	void Flush() const;
	void Sync() const;
	void DisableUpdates();
	void EnableUpdates();
	bool NeedsUpdate() const;

	// Shortcuts: Command plus the key sends the message to target (the window when
	// null). The window owns the message.
	void AddShortcut(uint32 key, uint32 modifiers, BMessage* message, BHandler* target = nullptr);
	void RemoveShortcut(uint32 key, uint32 modifiers);

private:
	friend class BView;
	friend class BPrivate::WindowAccess;
	friend void BPrivate::SetApplicationCursor(const BCursor* cursor);
	struct Shortcut;

	BWindow(const BWindow&) = delete;
	BWindow& operator=(const BWindow&) = delete;

	void _Init(BRect frame, const char* title, window_look look, window_feel feel, uint32 flags,
	           uint32 workspaces);
	void _DispatchMouse(BMessage* message);
	void _DispatchMouseTo(BView* view, BMessage* message, BPoint windowWhere, bool inside);
	void _DispatchMouseMoved(BMessage* message, BPoint windowWhere);
	void _DispatchKey(BMessage* message);
	bool _HandleShortcut(BMessage* message);
	bool _HandleEditingShortcut(int32 rawChar);
	void _DispatchKeyTo(BView* view, BMessage* message);
	void _DispatchWindowEvent(BMessage* message);
	void _DeliverDrop(BMessage* drop);
	void _UpdateDirty();
	void _Present();
	void _ViewRemoved(BView* view);
	void _SetFocus(BView* view, bool focus);
	// Tab and Shift+Tab: the focus goes to the next (previous) navigable view.
	bool _NavigateFocus(bool backward);
	void _EventMaskChanged(BView* view);
	void _UpdateCursor(BView* under);
	void _PulseViews();
	void _UpdatePulse();
	BView* _ViewAtWindowPoint(BPoint point) const;

	BView* fTopView;
	BView* fFocus;
	BView* fDefaultButton;
	BView* fMouseTarget;
	BView* fLastMouseView;
	std::unique_ptr<BPrivate::WindowBuffer> fBuffer;
	std::unique_ptr<BPrivate::WindowInput> fInput;
	std::vector<Shortcut>* fShortcuts;
	BMessageRunner* fPulseRunner;
	BRect fFrame;
	BRect fSizeLimits; // minimum width and height, maximum width and height
	char* fTitle;
	window_look fLook;
	window_feel fFeel;
	uint32 fFlags;
	uint32 fWorkspaces;
	bigtime_t fPulseRate;
	int32 fShowLevel;
	int32 fUpdatesDisabled;
	bool fActive;
	bool fMinimized;
	bool fStarted;
	bool fInUpdate;
};

#endif // _WINDOW_H
