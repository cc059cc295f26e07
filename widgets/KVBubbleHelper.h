// KVBubbleHelper: help bubbles for every window of the program. A thread of its own
// ("helper") watches the pointer ten times a second while it moves over the program's
// windows, and sleeps otherwise; when the pointer rests over a view (or a child of a view)
// that has a help text, a small yellow window ("bubble") shows the text near the pointer
// until the pointer moves, a button is pressed or the text's time is up.
#ifndef KV_BUBBLE_HELPER_H
#define KV_BUBBLE_HELPER_H

#include <atomic>
#include <functional>

#include <OS.h>
#include <Point.h>
#include <Rect.h>
#include <String.h>

class BList;
class BMessenger;
class BLocker;
class BTextView;
class BView;
class BWindow;
class KVPointerWatch;

class KVBubbleHelper
{
public:
	// Only the first live instance works; another one reports through debugger() and
	// stays inert (no thread, no list) without touching the first one.
	KVBubbleHelper();
	// Stops the polling thread and waits for it before anything is freed; the bubble
	// window is told to quit. Safe from a window thread that holds its window's lock.
	virtual ~KVBubbleHelper();

	// The text is copied (the caller keeps its own); NULL removes the view's help. Call it
	// with the view's window locked (or before the view is in a window; the helper then
	// finds the window within a few seconds of its showing). The entry never
	// touches its view again: the poller only looks up views it finds in a live window it
	// holds locked, and matches them by identity, so a view deleted with its window
	// leaves an entry that nothing can match, not even a new view at the same address.
	void SetHelp(BView* view, const char* text);
	// A copy of the view's help text in *text; false when the view has none.
	bool GetHelp(BView* view, BString* text) const;
	void EnableHelp(bool enable);

	// Whether this instance is the working one (false for an inert second instance).
	bool IsActive() const { return fHelpEntries != nullptr; }

	// Where a bubble of the given size goes for a pointer resting at where: below-right of
	// the pointer, above it when it would pass the screen's bottom, pulled left to the
	// screen's right edge when it would pass it.
	static BPoint BubblePosition(BPoint where, float width, float height, BRect screen);

	// How many tenths of a second a text stays up: one per byte, at least 20.
	static int32 DisplayTicks(const char* text);

private:
	static status_t _Helper(void* instance);
	void _Poll();
	bool _WaitForApplication();
	void _WatchWindows();
	bool _VisitWindows(const std::function<bool(BWindow*)>& visit);
	bool _FollowPointer(uint64* stamp);
	bool _CreateBubble();
	bool _ReadPointer(BPoint* where, uint32* buttons);
	bool _HelpAt(BPoint where, BString* text);
	bool _HelpInWindow(BWindow* window, BPoint where, BString* text);
	bool _LookUp(BView* view, const BMessenger* identity, BString* text) const;
	bool _LockPatiently(BWindow* window);
	void _DisplayHelp(const char* text, BPoint where);
	void _HideBubble();
	bool _PointerStays(BPoint where, bool* stays);
	bool _ShowFor(const BString& text, BPoint where);
	bool _Stopping() const { return fQuit.load() != 0; }

	thread_id fPollThread;
	BList* fHelpEntries;
	BLocker* fListLock;
	BWindow* fBubbleWindow;
	BTextView* fBubbleText;
	KVPointerWatch* fWatch;
	std::atomic<int32> fHelpEnabled;
	std::atomic<int32> fQuit;

	static int32 sRunCount;
};

#endif // KV_BUBBLE_HELPER_H
