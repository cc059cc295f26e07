// BApplication: the program's application object and looper. It registers the program
// under its signature so that other programs reach it, runs its message loop on the
// thread that calls Run(), and turns system messages into hook calls.
#ifndef _APPLICATION_H
#define _APPLICATION_H

#include <AppDefs.h>
#include <Looper.h>
#include <Messenger.h>

struct app_info;
class BCursor;
class BWindow;

class BApplication : public BLooper
{
public:
	BApplication(const char* signature);
	BApplication(const char* signature, status_t* error);
	// The kit's stand-in for the application flags of the executable's resources (for
	// example B_EXCLUSIVE_LAUNCH): BeOS reads them from the file, the kit takes them here.
	BApplication(const char* signature, uint32 appFlags, status_t* error);
	virtual ~BApplication();

	// B_OK, or why the application cannot run: B_ALREADY_RUNNING when an exclusive copy
	// runs (it has received this start's arguments), B_BAD_VALUE for a bad signature.
	status_t InitCheck() const;

	// Runs the message loop on the calling thread until Quit(); returns that thread's id.
	// Returns at once, without ReadyToRun(), when InitCheck() is not B_OK.
	virtual thread_id Run();
	// Ends the loop. From another thread it asks the loop to end and returns.
	virtual void Quit();
	// Asks every window (every looper registered as one) to quit; true when all agreed.
	virtual bool QuitRequested();

	virtual void ReadyToRun();
	virtual void ArgvReceived(int32 argc, char** argv);
	virtual void RefsReceived(BMessage* message);
	virtual void AboutRequested();
	virtual void AppActivated(bool active);
	virtual void MessageReceived(BMessage* message);
	virtual void DispatchMessage(BMessage* message, BHandler* handler);

	// The cursor shown over every window of the program, until a view with a cursor of
	// its own is under the pointer. cursor is BeOS cursor data (B_HAND_CURSOR is the
	// system's pointer); the data is copied. These calls and the window list belong to
	// the interface kit, which defines them: a program calling them links it.
	void SetCursor(const void* cursor);
	void SetCursor(const BCursor* cursor, bool sync = true);
	// The program's windows in the order they were made, menus left out. WindowAt() hands
	// out a plain pointer that a window quitting meanwhile leaves dangling: Lock() it before
	// use (Lock() fails on a window already deleted, as on BeOS).
	int32 CountWindows() const;
	BWindow* WindowAt(int32 index) const;

	status_t GetAppInfo(app_info* info) const;
	const char* Signature() const;
	bool IsLaunching() const;

private:
	BApplication(const BApplication&) = delete;
	BApplication& operator=(const BApplication&) = delete;

	void _InitData(const char* signature, uint32 appFlags, status_t* error);
	void _HandleArgv(BMessage* message);
	void _WaitForWindows();
	void _PostStartMessages();

	char* fSignature;
	uint32 fAppFlags;
	status_t fInitError;
	bool fReadyToRunCalled;
	bool fQuitBeforeRun;
};

// The application object and the messenger to it; null and invalid outside its life.
extern BApplication* be_app;
extern BMessenger be_app_messenger;

#endif // _APPLICATION_H
