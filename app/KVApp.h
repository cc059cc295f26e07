// The application object of Kestrovane: creates the settings and the bar at start-up,
// decides which quit requests are obeyed, opens About windows and passes store notices
// on to the bar.
#ifndef KV_APP_H
#define KV_APP_H

#include <Application.h>
#include <MessageFilter.h>
#include <Messenger.h>
#include <Point.h>

extern const char* kAppSig;

class KVApp : public BApplication
{
public:
	// *error is B_ALREADY_RUNNING when another copy runs (it got this start's arguments).
	explicit KVApp(status_t* error);
	virtual ~KVApp();

	virtual void MessageReceived(BMessage* message);
	virtual bool QuitRequested();
	virtual void ReadyToRun();
	virtual void AboutRequested();

	bool IsMainWindowActive() const { return fMainWindowActive; }

	// Where the bar opens for a saved position: the position itself, unless it is not a
	// number or would put the bar wholly outside screen, then (30, 30).
	static BPoint UsablePosition(BPoint saved, BPoint barSize, BRect screen);
	// The About window's left-top corner that centres it on screen.
	static BPoint AboutPosition(BRect screen);

private:
	bool fMainWindowActive;
	// The bar, for store notices; a messenger outlives its window harmlessly, unlike the
	// bar's own class-wide one, which the bar deletes while this thread may be reading it.
	BMessenger fMainWindow;
};

// Quit requests from other programs always pass.
class KVRemoteFilter : public BMessageFilter
{
public:
	KVRemoteFilter();
	virtual filter_result Filter(BMessage* message, BHandler** target);
};

// Quit requests from inside the program pass only while the bar is the active window.
class KVLocalFilter : public BMessageFilter
{
public:
	KVLocalFilter();
	virtual filter_result Filter(BMessage* message, BHandler** target);
};

#endif // KV_APP_H
