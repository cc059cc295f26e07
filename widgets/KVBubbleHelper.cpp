// The bubble helper: a thread that follows the pointer while it moves over the program's
// windows, finds the view under it once it rests, and a bubble window (made when first
// needed) that shows the view's help text. The help list has a lock of its own and is
// always taken last (after any window lock), so the thread that registers texts while
// holding its window's lock and the helper that searches windows cannot deadlock.
#include "widgets/KVBubbleHelper.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>

#include <Application.h>
#include <Autolock.h>
#include <List.h>
#include <Locker.h>
#include <Messenger.h>
#include <Region.h>
#include <Screen.h>
#include <TextView.h>
#include <View.h>
#include <Window.h>

#include "widgets/KVPointerWatch.h"

int32 KVBubbleHelper::sRunCount = 0;

namespace {

struct HelpEntry
{
	BView* view; // a key only, never dereferenced through the entry
	BString text;
	// Who the view was when its help was set (when it was in a window then): a later view
	// at the address of a deleted one is another handler and does not get its text.
	BMessenger identity;
	bool hasIdentity;
};

const bigtime_t kPollInterval = 100000;
// How often a helper with nothing to follow looks for new windows to watch.
const bigtime_t kWindowScanInterval = 2000000;
const bigtime_t kLaunchPollInterval = 200000;
// A window lock is tried in slices so that a helper being destroyed is not held up.
const bigtime_t kLockSlice = 20000;
const bigtime_t kLockPatience = 1000000;
const int32 kRestRounds = 5;
const int32 kMinTicks = 20;
const rgb_color kBubbleColor = {240, 240, 100, 255};
const rgb_color kBubbleTextColor = {0, 0, 0, 255};

} // namespace

KVBubbleHelper::KVBubbleHelper()
    : fPollThread(-1), fHelpEntries(nullptr), fListLock(nullptr), fBubbleWindow(nullptr),
      fBubbleText(nullptr), fWatch(nullptr), fHelpEnabled(0), fQuit(0)
{
	if (atomic_add(&sRunCount, 1) != 0) {
		debugger("only one KVBubbleHelper instance allowed/necessary");
		return;
	}
	fListLock = new BLocker("bubble help");
	fHelpEntries = new BList(30);
	fWatch = new KVPointerWatch();
	fHelpEnabled = 1;
	fPollThread = spawn_thread(_Helper, "helper", B_NORMAL_PRIORITY, this);
	if (fPollThread >= 0)
		resume_thread(fPollThread);
}

KVBubbleHelper::~KVBubbleHelper()
{
	if (fPollThread >= 0) {
		// The poller never sleeps holding a lock, so a kill at its next snooze (or its
		// own look at fQuit) ends it cleanly; only then is anything it uses freed.
		fQuit = 1;
		fWatch->Stop();
		kill_thread(fPollThread);
		wait_for_thread(fPollThread, nullptr);
	}
	if (fBubbleWindow != nullptr && fBubbleWindow->Lock())
		fBubbleWindow->Quit();
	if (fHelpEntries != nullptr) {
		for (int32 i = fHelpEntries->CountItems() - 1; i >= 0; i--)
			delete (HelpEntry*)fHelpEntries->ItemAt(i);
		delete fHelpEntries;
	}
	delete fListLock;
	delete fWatch;
	atomic_add(&sRunCount, -1);
}

void
KVBubbleHelper::SetHelp(BView* view, const char* text)
{
	if (view == nullptr || fHelpEntries == nullptr)
		return;
	if (text != nullptr && view->Window() != nullptr)
		fWatch->Watch(view->Window());
	BAutolock lock(fListLock);
	for (int32 i = 0; i < fHelpEntries->CountItems(); i++) {
		HelpEntry* entry = (HelpEntry*)fHelpEntries->ItemAt(i);
		if (entry->view == view) {
			fHelpEntries->RemoveItem(i);
			delete entry;
			break;
		}
	}
	if (text != nullptr) {
		BMessenger identity;
		bool hasIdentity = view->Looper() != nullptr;
		if (hasIdentity)
			identity = BMessenger(view, view->Looper());
		fHelpEntries->AddItem(new HelpEntry{view, BString(text), identity, hasIdentity});
	}
}

bool
KVBubbleHelper::GetHelp(BView* view, BString* text) const
{
	if (fHelpEntries == nullptr || text == nullptr)
		return false;
	return _LookUp(view, nullptr, text);
}

void
KVBubbleHelper::EnableHelp(bool enable)
{
	fHelpEnabled = enable ? 1 : 0;
}

BPoint
KVBubbleHelper::BubblePosition(BPoint where, float width, float height, BRect screen)
{
	BPoint place(where.x, where.y + 20);
	// Below the screen's bottom: above the pointer, its bottom 4 pixels over it.
	if (place.y + height > screen.bottom - 3)
		place.y = where.y + 20 - (height + 16 + 8);
	if (place.x + width > screen.right)
		place.x = screen.right - width;
	return place;
}

int32
KVBubbleHelper::DisplayTicks(const char* text)
{
	int32 length = text != nullptr ? (int32)strlen(text) : 0;
	return std::max(kMinTicks, length);
}

status_t
KVBubbleHelper::_Helper(void* instance)
{
	((KVBubbleHelper*)instance)->_Poll();
	return B_OK;
}

// The application may not exist yet when the helper is made: wait for it to be running.
bool
KVBubbleHelper::_WaitForApplication()
{
	while (!be_app_messenger.IsValid()) {
		if (_Stopping())
			return false;
		snooze(kLaunchPollInterval);
	}
	while (be_app != nullptr && be_app->IsLaunching()) {
		if (_Stopping())
			return false;
		snooze(kLaunchPollInterval);
	}
	return !_Stopping();
}

bool
KVBubbleHelper::_CreateBubble()
{
	BWindow* window = new BWindow(BRect(-100, -100, -50, -50), "", B_BORDERED_WINDOW_LOOK,
	                              B_FLOATING_ALL_WINDOW_FEEL, B_NOT_MOVABLE | B_AVOID_FOCUS,
	                              B_CURRENT_WORKSPACE);
	BTextView* text = new BTextView(BRect(0, 0, 50, 50), "", BRect(2, 2, 48, 48),
	                                B_FOLLOW_ALL_SIDES, B_WILL_DRAW);
	text->MakeEditable(false);
	text->MakeSelectable(false);
	text->SetWordWrap(false);
	text->SetLowColor(kBubbleColor);
	text->SetViewColor(kBubbleColor);
	text->SetHighColor(kBubbleTextColor);
	window->AddChild(text);
	window->Run();
	if (!window->Lock())
		return false;
	window->Activate(false);
	rename_thread(window->Thread(), "bubble");
	fBubbleText = text;
	fBubbleWindow = window;
	window->Unlock();
	return true;
}

// Sleeps until the pointer moves in one of the program's windows, then follows it until
// it rests; a helper whose pointer is elsewhere or still costs nothing.
void
KVBubbleHelper::_Poll()
{
	if (!_WaitForApplication())
		return;
	uint64 stamp = fWatch->Stamp();
	while (!_Stopping() && be_app_messenger.IsValid()) {
		_WatchWindows();
		if (!fWatch->WaitForNotice(stamp, kWindowScanInterval))
			continue;
		if (fBubbleWindow == nullptr && !_CreateBubble())
			return;
		if (!_FollowPointer(&stamp))
			return;
	}
}

// Windows shown after their views got help texts, and windows made later, are watched
// from the next scan on.
void
KVBubbleHelper::_WatchWindows()
{
	_VisitWindows([this](BWindow* window) {
		fWatch->Watch(window);
		return false;
	});
}

// Hands each of the program's windows but the bubble, locked, to visit until it returns
// true; whether one did.
bool
KVBubbleHelper::_VisitWindows(const std::function<bool(BWindow*)>& visit)
{
	if (be_app == nullptr)
		return false;
	for (int32 i = 0; !_Stopping(); i++) {
		BWindow* window = be_app->WindowAt(i);
		if (window == nullptr)
			break;
		if (window == fBubbleWindow || !_LockPatiently(window))
			continue;
		bool done = visit(window);
		window->Unlock();
		if (done)
			return true;
	}
	return false;
}

// Reads the pointer ten times a second until it has rested for a while, then shows the
// help of the view under it, if any. The stamp is taken before each reading, so a move
// after the last one wakes the next wait. False when the helper is being stopped.
bool
KVBubbleHelper::_FollowPointer(uint64* stamp)
{
	BPoint last(-1e9, -1e9);
	int32 rest = 0;
	while (!_Stopping() && be_app_messenger.IsValid()) {
		*stamp = fWatch->Stamp();
		BPoint where;
		uint32 buttons = 0;
		if (fHelpEnabled.load() == 0 || !_ReadPointer(&where, &buttons))
			return !_Stopping();
		if (where != last || buttons != 0) {
			rest = 0;
		} else if (rest++ > kRestRounds) {
			BString text;
			return !_HelpAt(where, &text) || _ShowFor(text, where);
		}
		last = where;
		snooze(kPollInterval);
	}
	return false;
}

bool
KVBubbleHelper::_ReadPointer(BPoint* where, uint32* buttons)
{
	if (!fBubbleWindow->Lock())
		return false;
	fBubbleText->GetMouse(where, buttons, true);
	fBubbleText->ConvertToScreen(where);
	fBubbleWindow->Unlock();
	return true;
}

// Whether the pointer still rests where it was and no button is down; false when the
// pointer cannot be read.
bool
KVBubbleHelper::_PointerStays(BPoint where, bool* stays)
{
	BPoint now;
	uint32 buttons = 0;
	if (!_ReadPointer(&now, &buttons))
		return false;
	*stays = now == where && buttons == 0;
	return true;
}

// Shows the text until the pointer moves, a button goes down or its time is up. False
// when the helper is being stopped.
bool
KVBubbleHelper::_ShowFor(const BString& text, BPoint where)
{
	_DisplayHelp(text.String(), where);
	int32 ticks = DisplayTicks(text.String());
	bool stays = true;
	for (int32 round = 0; stays && round <= ticks && !_Stopping(); round++) {
		snooze(kPollInterval);
		if (!_PointerStays(where, &stays))
			break;
	}
	// The same rest does not show the bubble twice: the caller waits for a move.
	_HideBubble();
	return !_Stopping();
}

bool
KVBubbleHelper::_HelpAt(BPoint where, BString* text)
{
	return _VisitWindows([&](BWindow* window) { return _HelpInWindow(window, where, text); });
}

// With the window locked, so that the views found cannot go away while they are used.
bool
KVBubbleHelper::_HelpInWindow(BWindow* window, BPoint where, BString* text)
{
	BRect frame = window->Frame();
	if (!frame.Contains(where))
		return false;
	BView* view = window->FindView(where - frame.LeftTop());
	if (view == nullptr)
		return false;
	BPoint local = view->ConvertFromScreen(where);
	BRegion clipping;
	view->GetClippingRegion(&clipping);
	if (!clipping.Contains(local))
		return false;
	for (; view != nullptr; view = view->Parent()) {
		BMessenger identity(view, window);
		if (_LookUp(view, &identity, text))
			return true;
	}
	return false;
}

bool
KVBubbleHelper::_LookUp(BView* view, const BMessenger* identity, BString* text) const
{
	BAutolock lock(fListLock);
	for (int32 i = 0; i < fHelpEntries->CountItems(); i++) {
		HelpEntry* entry = (HelpEntry*)fHelpEntries->ItemAt(i);
		if (entry->view != view)
			continue;
		if (identity == nullptr || !entry->hasIdentity || entry->identity == *identity) {
			*text = entry->text;
			return true;
		}
	}
	return false;
}

// A window may be busy for a while (a menu open, a store change); it is skipped after a
// second, and at once when the helper is being destroyed.
bool
KVBubbleHelper::_LockPatiently(BWindow* window)
{
	for (bigtime_t waited = 0; waited < kLockPatience && !_Stopping(); waited += kLockSlice) {
		status_t status = window->LockWithTimeout(kLockSlice);
		if (status == B_OK)
			return true;
		if (status != B_TIMED_OUT)
			return false;
	}
	return false;
}

void
KVBubbleHelper::_DisplayHelp(const char* text, BPoint where)
{
	if (!fBubbleWindow->Lock())
		return;
	fBubbleText->SetText(text);
	float height = fBubbleText->TextHeight(0, 2000000) + 4;
	float width = 0;
	for (int32 line = 0; line < fBubbleText->CountLines(); line++)
		width = std::max(width, std::trunc(fBubbleText->LineWidth(line)));
	fBubbleWindow->ResizeTo(width + 4, height);
	fBubbleText->SetTextRect(BRect(2, 2, width + 2, height + 2));
	BPoint place = BubblePosition(where, width + 4, height, BScreen().Frame());
	fBubbleWindow->MoveTo(place);
	fBubbleWindow->SetWorkspaces(B_CURRENT_WORKSPACE);
	if (fBubbleWindow->IsHidden())
		fBubbleWindow->Show();
	fBubbleWindow->Unlock();
}

void
KVBubbleHelper::_HideBubble()
{
	if (!fBubbleWindow->Lock())
		return;
	fBubbleWindow->MoveTo(-1000, -1000);
	if (!fBubbleWindow->IsHidden())
		fBubbleWindow->Hide();
	fBubbleWindow->Unlock();
}
