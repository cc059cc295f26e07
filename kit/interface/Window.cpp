// BWindow: construction, the native window, geometry and state, showing and hiding, and
// the update cycle (views draw the dirty region into the back buffer, which is then
// presented). Message dispatch and input are in WindowDispatch.cpp.
#include <Window.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include <Alert.h>
#include <AppDefs.h>
#include <Cursor.h>
#include <Message.h>
#include <MessageRunner.h>
#include <Messenger.h>

#include "ApplicationPrivate.h"
#include "EventFields.h"

#include "WindowPrivate.h"

namespace BPrivate {

namespace {

// Menu windows are kept apart from the program's own windows: they are the kit's, and the
// program's window list must not show them.
struct ListedWindow
{
	BWindow* window;
	bool menu;
};

std::mutex sWindowListLock;
std::vector<ListedWindow> sWindowList;
// The program's cursor (be_app->SetCursor), shown wherever no view has a cursor of its
// own; null for the system's. Guarded by sWindowListLock.
std::shared_ptr<const BCursor> sApplicationCursor;

std::vector<BWindow*>
ProgramWindows()
{
	std::vector<BWindow*> windows;
	for (const ListedWindow& listed : sWindowList) {
		if (!listed.menu)
			windows.push_back(listed.window);
	}
	return windows;
}

// Before the application asks its windows whether they may quit: menus and alerts that a
// window's thread waits on are closed (a closed menu chooses nothing, a closed alert
// answers -1), so no window stays locked behind them.
void
EndModalLoops()
{
	std::vector<BMessenger> targets;
	{
		std::lock_guard<std::mutex> guard(sWindowListLock);
		for (const ListedWindow& listed : sWindowList) {
			if (listed.menu || dynamic_cast<BAlert*>(listed.window) != nullptr)
				targets.push_back(BMessenger(listed.window));
		}
	}
	for (const BMessenger& target : targets)
		target.SendMessage(B_QUIT_REQUESTED);
}

} // namespace

int32
CountWindows()
{
	std::lock_guard<std::mutex> guard(sWindowListLock);
	return (int32)ProgramWindows().size();
}

BWindow*
WindowAt(int32 index)
{
	std::lock_guard<std::mutex> guard(sWindowListLock);
	std::vector<BWindow*> windows = ProgramWindows();
	if (index < 0 || index >= (int32)windows.size())
		return nullptr;
	return windows[(size_t)index];
}

BWindow*
WindowOfCurrentThread()
{
	thread_id self = find_thread(nullptr);
	std::lock_guard<std::mutex> guard(sWindowListLock);
	for (const ListedWindow& listed : sWindowList) {
		if (!listed.menu && listed.window->Thread() == self)
			return listed.window;
	}
	return nullptr;
}

const BCursor*
NativeCursor(const BCursor* cursor)
{
	if (cursor != nullptr && cursor->Data() != nullptr &&
	    std::memcmp(cursor->Data(), B_HAND_CURSOR, 68) == 0) {
		return nullptr;
	}
	return cursor;
}

std::shared_ptr<const BCursor>
ApplicationCursor()
{
	std::lock_guard<std::mutex> guard(sWindowListLock);
	return sApplicationCursor;
}

void
SetApplicationCursor(const BCursor* cursor)
{
	cursor = NativeCursor(cursor);
	std::lock_guard<std::mutex> guard(sWindowListLock);
	sApplicationCursor = cursor != nullptr ? std::make_shared<const BCursor>(*cursor) : nullptr;
	for (const ListedWindow& listed : sWindowList) {
		BWindow* window = listed.window;
		window->fBuffer->backend->SetCursor(window->fBuffer->native, CursorImageFor(cursor));
	}
}

bool
WindowAccess::GrabInput(BWindow* window, bool grab)
{
	return window->fBuffer->backend->GrabInput(window->fBuffer->native, grab);
}

void
WindowAccess::DrainEvents(BWindow* window)
{
	window->fBuffer->backend->Drain();
}

native_window
WindowAccess::Native(const BWindow* window)
{
	return window->fBuffer->native;
}

Canvas*
WindowAccess::BackBuffer(const BWindow* window)
{
	return window->fBuffer->canvas.get();
}

} // namespace BPrivate

using BPrivate::WindowBuffer;

namespace {

void
LookAndFeelFromType(window_type type, window_look* look, window_feel* feel)
{
	*feel = B_NORMAL_WINDOW_FEEL;
	switch (type) {
	case B_MODAL_WINDOW:
		*look = B_MODAL_WINDOW_LOOK;
		*feel = B_MODAL_APP_WINDOW_FEEL;
		break;
	case B_BORDERED_WINDOW:
		*look = B_BORDERED_WINDOW_LOOK;
		break;
	case B_FLOATING_WINDOW:
		*look = B_FLOATING_WINDOW_LOOK;
		*feel = B_FLOATING_APP_WINDOW_FEEL;
		break;
	case B_DOCUMENT_WINDOW:
		*look = B_DOCUMENT_WINDOW_LOOK;
		break;
	default:
		*look = B_TITLED_WINDOW_LOOK;
		break;
	}
}

// B_CURRENT_WORKSPACE means the desktop shown now.
uint32
ResolveWorkspaces(BPrivate::WindowBackend* backend, uint32 workspaces)
{
	if (workspaces != B_CURRENT_WORKSPACE)
		return workspaces;
	return 1u << (backend->CurrentWorkspace() & 31);
}

BPrivate::WindowProperties
PropertiesOf(const BWindow* window)
{
	return BPrivate::WindowPropertiesFor(window->Title(), window->Look(), window->Feel(),
	                                     window->Flags(), window->Workspaces());
}

} // namespace

BWindow::BWindow(BRect frame, const char* title, window_type type, uint32 flags, uint32 workspace)
    : BLooper(title)
{
	window_look look;
	window_feel feel;
	LookAndFeelFromType(type, &look, &feel);
	_Init(frame, title, look, feel, flags, workspace);
}

BWindow::BWindow(BRect frame, const char* title, window_look look, window_feel feel, uint32 flags,
                 uint32 workspace)
    : BLooper(title)
{
	_Init(frame, title, look, feel, flags, workspace);
}

void
BWindow::_Init(BRect frame, const char* title, window_look look, window_feel feel, uint32 flags,
               uint32 workspaces)
{
	fFocus = nullptr;
	fDefaultButton = nullptr;
	fMouseTarget = nullptr;
	fLastMouseView = nullptr;
	fShortcuts = nullptr;
	fPulseRunner = nullptr;
	fFrame = BRect(std::round(frame.left), std::round(frame.top), std::round(frame.right),
	               std::round(frame.bottom));
	fSizeLimits = BRect(0, 0, 32766, 32766);
	fTitle = strdup(title != nullptr ? title : "");
	fLook = look;
	fFeel = feel;
	fFlags = flags;
	fWorkspaces = workspaces;
	fPulseRate = 500000;
	fShowLevel = 0;
	fUpdatesDisabled = 0;
	fActive = false;
	fMinimized = false;
	fStarted = false;
	fInUpdate = false;

	fBuffer = std::make_unique<WindowBuffer>();
	fInput = std::make_unique<BPrivate::WindowInput>(this);
	fBuffer->canvas = std::make_unique<BPrivate::Canvas>(fFrame.IntegerWidth() + 1,
	                                                     fFrame.IntegerHeight() + 1);

	fTopView = new BView(Bounds(), "top view", B_FOLLOW_ALL, 0);
	fTopView->_SetWindowOrBitmap(this, nullptr);

	fBuffer->backend = BPrivate::Backend();
	fWorkspaces = ResolveWorkspaces(fBuffer->backend, workspaces);
	fBuffer->native = fBuffer->backend->CreateWindow(fInput.get(), fFrame, PropertiesOf(this));
	std::lock_guard<std::mutex> guard(BPrivate::sWindowListLock);
	if (BPrivate::sApplicationCursor != nullptr) {
		fBuffer->backend->SetCursor(fBuffer->native,
		                            BPrivate::CursorImageFor(BPrivate::sApplicationCursor.get()));
	}
	BPrivate::sWindowList.push_back({this, feel == BPrivate::kMenuWindowFeel});
	// The application asks its windows before it quits, and quits them, so that each one
	// ends through its own destructor; menus belong to the window that opened them.
	if (feel != BPrivate::kMenuWindowFeel)
		BPrivate::RegisterWindowLooper(this);
	BPrivate::SetQuitPreparation(&BPrivate::EndModalLoops);
}

BWindow::~BWindow()
{
	BPrivate::UnregisterWindowLooper(this);
	{
		std::lock_guard<std::mutex> guard(BPrivate::sWindowListLock);
		auto& list = BPrivate::sWindowList;
		list.erase(std::remove_if(list.begin(), list.end(),
		                          [this](const BPrivate::ListedWindow& listed) {
			                          return listed.window == this;
		                          }),
		           list.end());
	}
	// From here on the display thread no longer posts to this window.
	fBuffer->backend->DestroyWindow(fBuffer->native);
	fBuffer->quitting = true;
	delete fPulseRunner;
	fTopView->_Detach();
	delete fTopView;
	fTopView = nullptr;
	if (fShortcuts != nullptr) {
		for (auto& shortcut : *fShortcuts)
			delete shortcut.message;
		delete fShortcuts;
	}
	free(fTitle);
}

void
BPrivate::WindowInput::BackendMessage(BMessage* message)
{
	message->AddBool(kDisplayEventField, true);
	window->PostMessage(message);
	delete message;
}

// #pragma mark - hooks

bool
BWindow::QuitRequested()
{
	return BLooper::QuitRequested();
}

void
BWindow::Quit()
{
	if (!IsLocked())
		Lock();
	fBuffer->quitting = true;
	fBuffer->backend->HideWindow(fBuffer->native);
	BLooper::Quit();
}

void
BWindow::WindowActivated(bool)
{}

void
BWindow::WorkspacesChanged(uint32, uint32)
{}

void
BWindow::WorkspaceActivated(int32, bool)
{}

void
BWindow::FrameMoved(BPoint)
{}

void
BWindow::FrameResized(float, float)
{}

void
BWindow::Minimize(bool minimize)
{
	fMinimized = minimize;
	fBuffer->backend->Minimize(fBuffer->native, minimize);
}

void
BWindow::Zoom(BPoint, float, float)
{}

void
BWindow::ScreenChanged(BRect, color_space)
{}

void
BWindow::MenusBeginning()
{}

void
BWindow::MenusEnded()
{}

// #pragma mark - views

void
BWindow::AddChild(BView* child, BView* before)
{
	fTopView->AddChild(child, before);
}

bool
BWindow::RemoveChild(BView* child)
{
	return fTopView->RemoveChild(child);
}

int32
BWindow::CountChildren() const
{
	return fTopView->CountChildren();
}

BView*
BWindow::ChildAt(int32 index) const
{
	return fTopView->ChildAt(index);
}

BView*
BWindow::FindView(const char* name) const
{
	return fTopView->FindView(name);
}

BView*
BWindow::FindView(BPoint point) const
{
	BView* view = _ViewAtWindowPoint(point);
	return view == fTopView ? nullptr : view;
}

// The deepest shown view whose visible frame contains the point; the top view when no
// other does, null outside the window.
BView*
BWindow::_ViewAtWindowPoint(BPoint point) const
{
	if (!Bounds().Contains(point))
		return nullptr;
	BView* view = fTopView;
	BPoint local = point;
	while (true) {
		BView* found = nullptr;
		for (int32 i = view->CountChildren() - 1; i >= 0; i--) {
			BView* child = view->ChildAt(i);
			if (child->fHideLevel == 0 && child->fFrame.Contains(local)) {
				found = child;
				break;
			}
		}
		if (found == nullptr)
			return view;
		local = found->ConvertFromParent(local);
		view = found;
	}
}

void
BWindow::SetDefaultButton(BView* button)
{
	if (fDefaultButton == button)
		return;
	if (fDefaultButton != nullptr)
		fDefaultButton->Invalidate();
	fDefaultButton = button;
	if (button != nullptr)
		button->Invalidate();
}

void
BWindow::_SetFocus(BView* view, bool focus)
{
	if (!focus) {
		if (fFocus != view)
			return;
		fFocus = nullptr;
		view->Invalidate();
		return;
	}
	if (fFocus == view)
		return;
	if (fFocus != nullptr) {
		// The old focus hears that it lost the focus, as from its own MakeFocus(false),
		// while it still has it; one that does not let go loses it all the same.
		BView* old = fFocus;
		old->MakeFocus(false);
		if (fFocus == old) {
			fFocus = nullptr;
			old->Invalidate();
		}
	}
	fFocus = view;
	view->Invalidate();
}

void
BWindow::_ViewRemoved(BView* view)
{
	auto isInside = [view](BView* candidate) {
		for (BView* v = candidate; v != nullptr; v = v->fParent) {
			if (v == view)
				return true;
		}
		return false;
	};
	if (fFocus != nullptr && isInside(fFocus))
		fFocus = nullptr;
	if (fDefaultButton != nullptr && isInside(fDefaultButton))
		fDefaultButton = nullptr;
	if (fMouseTarget != nullptr && isInside(fMouseTarget))
		fMouseTarget = nullptr;
	if (fLastMouseView != nullptr && isInside(fLastMouseView))
		fLastMouseView = nullptr;
	if (fBuffer->cursorView != nullptr && isInside((BView*)fBuffer->cursorView))
		fBuffer->cursorView = nullptr;
	auto& masks = fBuffer->maskViews;
	for (size_t i = 0; i < masks.size();) {
		if (isInside(masks[i])) {
			if ((masks[i]->fEventMask & B_KEYBOARD_EVENTS) != 0)
				fBuffer->backend->WatchAllKeys(fBuffer->native, false);
			masks.erase(masks.begin() + (long)i);
		} else {
			i++;
		}
	}
}

// Keeps the list of views with an event mask, and the desktop-wide key watch, in step
// with the view's mask; called with the old mask still in the view.
void
BWindow::_EventMaskChanged(BView* view)
{
	auto& masks = fBuffer->maskViews;
	auto found = std::find(masks.begin(), masks.end(), view);
	bool wasKeys = found != masks.end() && (view->fEventMask & B_KEYBOARD_EVENTS) != 0;
	if (found != masks.end())
		masks.erase(found);
	if (wasKeys)
		fBuffer->backend->WatchAllKeys(fBuffer->native, false);
}

// #pragma mark - geometry

BRect
BWindow::Frame() const
{
	return fFrame;
}

BRect
BWindow::Bounds() const
{
	return BRect(0, 0, fFrame.Width(), fFrame.Height());
}

void
BWindow::MoveTo(BPoint point)
{
	MoveTo(point.x, point.y);
}

void
BWindow::MoveTo(float x, float y)
{
	x = std::round(x);
	y = std::round(y);
	if (x == fFrame.left && y == fFrame.top)
		return;
	fFrame.OffsetTo(x, y);
	fBuffer->frameRequest = fBuffer->backend->MoveWindow(fBuffer->native, fFrame.LeftTop());
}

void
BWindow::MoveBy(float dx, float dy)
{
	MoveTo(fFrame.left + dx, fFrame.top + dy);
}

void
BWindow::ResizeTo(float width, float height)
{
	width = std::clamp(std::round(width), fSizeLimits.left, fSizeLimits.right);
	height = std::clamp(std::round(height), fSizeLimits.top, fSizeLimits.bottom);
	if (width == fFrame.Width() && height == fFrame.Height())
		return;
	fFrame.right = fFrame.left + width;
	fFrame.bottom = fFrame.top + height;
	fBuffer->canvas->Resize((int32)width + 1, (int32)height + 1);
	fTopView->ResizeTo(width, height);
	fBuffer->frameRequest =
	        fBuffer->backend->ResizeWindow(fBuffer->native, (int32)width + 1, (int32)height + 1);
	fTopView->Invalidate();
}

void
BWindow::ResizeBy(float dx, float dy)
{
	ResizeTo(fFrame.Width() + dx, fFrame.Height() + dy);
}

void
BWindow::SetSizeLimits(float minWidth, float maxWidth, float minHeight, float maxHeight)
{
	minWidth = std::clamp(std::round(minWidth), 0.0f, 32766.0f);
	minHeight = std::clamp(std::round(minHeight), 0.0f, 32766.0f);
	maxWidth = std::clamp(std::round(maxWidth), minWidth, 32766.0f);
	maxHeight = std::clamp(std::round(maxHeight), minHeight, 32766.0f);
	fSizeLimits = BRect(minWidth, minHeight, maxWidth, maxHeight);
	fBuffer->backend->SetSizeLimits(fBuffer->native, (int32)minWidth + 1, (int32)maxWidth + 1,
	                                (int32)minHeight + 1, (int32)maxHeight + 1);
	ResizeTo(fFrame.Width(), fFrame.Height());
}

void
BWindow::GetSizeLimits(float* minWidth, float* maxWidth, float* minHeight, float* maxHeight) const
{
	if (minWidth != nullptr)
		*minWidth = fSizeLimits.left;
	if (maxWidth != nullptr)
		*maxWidth = fSizeLimits.right;
	if (minHeight != nullptr)
		*minHeight = fSizeLimits.top;
	if (maxHeight != nullptr)
		*maxHeight = fSizeLimits.bottom;
}

BPoint
BWindow::ConvertToScreen(BPoint point) const
{
	return point + fFrame.LeftTop();
}

void
BWindow::ConvertToScreen(BPoint* point) const
{
	*point = ConvertToScreen(*point);
}

BRect
BWindow::ConvertToScreen(BRect rect) const
{
	return rect.OffsetByCopy(fFrame.LeftTop());
}

void
BWindow::ConvertToScreen(BRect* rect) const
{
	*rect = ConvertToScreen(*rect);
}

BPoint
BWindow::ConvertFromScreen(BPoint point) const
{
	return point - fFrame.LeftTop();
}

void
BWindow::ConvertFromScreen(BPoint* point) const
{
	*point = ConvertFromScreen(*point);
}

BRect
BWindow::ConvertFromScreen(BRect rect) const
{
	return rect.OffsetByCopy(-fFrame.LeftTop());
}

void
BWindow::ConvertFromScreen(BRect* rect) const
{
	*rect = ConvertFromScreen(*rect);
}

// #pragma mark - appearance

void
BWindow::SetTitle(const char* title)
{
	free(fTitle);
	fTitle = strdup(title != nullptr ? title : "");
	SetName(fTitle);
	fBuffer->backend->SetProperties(fBuffer->native, PropertiesOf(this));
}

const char*
BWindow::Title() const
{
	return fTitle;
}

status_t
BWindow::SetLook(window_look look)
{
	fLook = look;
	fBuffer->backend->SetProperties(fBuffer->native, PropertiesOf(this));
	return B_OK;
}

status_t
BWindow::SetFeel(window_feel feel)
{
	fFeel = feel;
	fBuffer->backend->SetProperties(fBuffer->native, PropertiesOf(this));
	return B_OK;
}

status_t
BWindow::SetFlags(uint32 flags)
{
	fFlags = flags;
	fBuffer->backend->SetProperties(fBuffer->native, PropertiesOf(this));
	return B_OK;
}

window_type
BWindow::Type() const
{
	if (fLook == B_BORDERED_WINDOW_LOOK)
		return B_BORDERED_WINDOW;
	if (fLook == B_MODAL_WINDOW_LOOK)
		return B_MODAL_WINDOW;
	if (fLook == B_DOCUMENT_WINDOW_LOOK)
		return B_DOCUMENT_WINDOW;
	if (fLook == B_FLOATING_WINDOW_LOOK)
		return B_FLOATING_WINDOW;
	if (fLook == B_TITLED_WINDOW_LOOK)
		return B_TITLED_WINDOW;
	return B_UNTYPED_WINDOW;
}

void
BWindow::SetWorkspaces(uint32 workspaces)
{
	fWorkspaces = ResolveWorkspaces(fBuffer->backend, workspaces);
	fBuffer->backend->SetWorkspaces(fBuffer->native, fWorkspaces == B_ALL_WORKSPACES
	                                                         ? BPrivate::kAllWorkspaces
	                                                         : fWorkspaces);
}

void
BWindow::SetPulseRate(bigtime_t rate)
{
	if (rate < 0 || rate == fPulseRate)
		return;
	fPulseRate = rate;
	delete fPulseRunner;
	fPulseRunner = nullptr;
	_UpdatePulse();
}

// Pulses run only while some view asks for them, so an idle window costs nothing.
void
BWindow::_UpdatePulse()
{
	if (fPulseRunner != nullptr || !fStarted || fPulseRate <= 0)
		return;
	bool needed = false;
	BPrivate::ForEachView(fTopView, [&needed](BView* view) {
		needed = needed || (view->Flags() & B_PULSE_NEEDED) != 0;
	});
	if (!needed)
		return;
	BMessage pulse(B_PULSE);
	fPulseRunner = new BMessageRunner(BMessenger(this), &pulse, fPulseRate);
}

// #pragma mark - state

bool
BWindow::IsFront() const
{
	return fActive;
}

void
BWindow::Activate(bool active)
{
	// Giving the focus away has no meaning without a window to give it to.
	if (!active || !fBuffer->backend->IsConnected() || IsHidden())
		return;
	if (fMinimized)
		Minimize(false);
	fBuffer->backend->Activate(fBuffer->native);
}

void
BWindow::SendBehind(const BWindow*)
{}

void
BWindow::Show()
{
	fShowLevel++;
	if (fShowLevel != 1)
		return;
	fTopView->Invalidate();
	// Under a window manager a window is mapped here, before its first frame is drawn, so
	// that the manager's work of framing it overlaps the start of the window's thread and
	// its drawing; the display shows nothing of it until that frame arrives. Without one,
	// a menu or a tooltip, and a window shown again (it still holds its last frame) are
	// mapped from the window's thread once the views have drawn: they appear whole at once.
	fBuffer->mapAfterDraw = fBuffer->shownBefore || PropertiesOf(this).IsPopup() ||
	                        !fBuffer->backend->HasWindowManager();
	fBuffer->shownBefore = true;
	if (!fBuffer->mapAfterDraw)
		fBuffer->backend->ShowWindow(fBuffer->native);
	// The thread starts at the first Show().
	PostMessage(BPrivate::kMsgShowWindow);
	if (!fStarted)
		Run();
}

// A window may also be started hidden (helpers that show it later); Show() then finds it
// running.
thread_id
BWindow::Run()
{
	if (fStarted)
		return Thread();
	fStarted = true;
	// Everything that touches the window comes first: once its thread runs, the window may
	// quit and delete itself (an alert answered or closed at once) before Run() returns.
	_UpdatePulse();
	return BLooper::Run();
}

void
BWindow::Hide()
{
	fShowLevel--;
	if (fShowLevel != 0)
		return;
	fBuffer->backend->HideWindow(fBuffer->native);
	if (fActive) {
		fActive = false;
		WindowActivated(false);
	}
}

// #pragma mark - drawing

void
BWindow::UpdateIfNeeded()
{
	if (fBuffer->dirty.CountRects() > 0)
		_UpdateDirty();
	_Present();
}

void
BWindow::Flush() const
{
	const_cast<BWindow*>(this)->_Present();
	fBuffer->backend->Flush();
}

void
BWindow::Sync() const
{
	const_cast<BWindow*>(this)->_Present();
	fBuffer->backend->Sync();
}

void
BWindow::DisableUpdates()
{
	fUpdatesDisabled++;
}

void
BWindow::EnableUpdates()
{
	if (fUpdatesDisabled > 0 && --fUpdatesDisabled == 0)
		_Present();
}

bool
BWindow::NeedsUpdate() const
{
	return fBuffer->dirty.CountRects() > 0;
}

// Draws the dirty region: each view fills its part with its view colour and draws itself,
// parents before children; then the region goes to the screen.
void
BWindow::_UpdateDirty()
{
	fBuffer->updatePending = false;
	if (fBuffer->dirty.CountRects() == 0)
		return;
	BRegion dirty = fBuffer->dirty;
	fBuffer->dirty.MakeEmpty();
	fBuffer->updateClip = dirty;
	fBuffer->inUpdate = true;
	fInUpdate = true;
	fTopView->_Draw(dirty.Frame());
	fInUpdate = false;
	fBuffer->inUpdate = false;
	fBuffer->drawn.Include(&dirty);
	_Present();
}

void
BWindow::_Present()
{
	if (fUpdatesDisabled > 0 || fBuffer->drawn.CountRects() == 0)
		return;
	BPrivate::Canvas& canvas = *fBuffer->canvas;
	canvas.Flush();
	std::vector<BRect> rects;
	for (int32 i = 0; i < fBuffer->drawn.CountRects(); i++)
		rects.push_back(fBuffer->drawn.RectAt(i));
	fBuffer->backend->Present(fBuffer->native, canvas.Bits(), canvas.Width(), canvas.Height(),
	                          canvas.BytesPerRow(), rects.data(), (int32)rects.size());
	fBuffer->drawn.MakeEmpty();
}

void
BWindow::AddShortcut(uint32 key, uint32 modifiers, BMessage* message, BHandler* target)
{
	if (message == nullptr)
		return;
	if (fShortcuts == nullptr)
		fShortcuts = new std::vector<Shortcut>;
	RemoveShortcut(key, modifiers);
	fShortcuts->push_back(Shortcut{key, modifiers | B_COMMAND_KEY, message, target});
}

void
BWindow::RemoveShortcut(uint32 key, uint32 modifiers)
{
	if (fShortcuts == nullptr)
		return;
	modifiers |= B_COMMAND_KEY;
	for (auto it = fShortcuts->begin(); it != fShortcuts->end(); ++it) {
		if (it->key == key && it->modifiers == modifiers) {
			delete it->message;
			fShortcuts->erase(it);
			return;
		}
	}
}
