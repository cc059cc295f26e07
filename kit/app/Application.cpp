// BApplication: registers the program under its signature (its listening socket), runs
// the application looper on the caller's thread and maps system messages to hooks.
#include <Application.h>

#include "ApplicationPrivate.h"
#include "Process.h"
#include "QuitSignals.h"
#include "RemoteTransport.h"
#include "RosterPrivate.h"

#include <Clipboard.h>
#include <Message.h>
#include <Roster.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

BApplication* be_app = nullptr;
BMessenger be_app_messenger;

namespace {

// Never destroyed: a window thread may still leave the register while the process ends.
std::mutex& sWindowsLock = *new std::mutex;
std::vector<BLooper*>& sWindows = *new std::vector<BLooper*>;
std::condition_variable& sWindowGone = *new std::condition_variable;

bool
IsValidSignature(const char* signature)
{
	static const char kPrefix[] = "application/";
	if (signature == nullptr || strlen(signature) >= B_MIME_TYPE_LENGTH)
		return false;
	for (size_t i = 0; i < sizeof(kPrefix) - 1; i++) {
		if (tolower((unsigned char)signature[i]) != kPrefix[i])
			return false;
	}
	return signature[sizeof(kPrefix) - 1] != '\0';
}

// This start's own arguments as a B_ARGV_RECEIVED message, or a null message when the
// program got none besides its name.
BMessage
ArgvMessage()
{
	std::vector<std::string> arguments = BPrivate::CurrentArguments();
	if (arguments.size() < 2)
		return BMessage();
	BMessage message(B_ARGV_RECEIVED);
	message.AddInt32("argc", (int32)arguments.size());
	for (const std::string& argument : arguments)
		message.AddString("argv", argument.c_str());
	return message;
}

// SIGTERM (logout, kill) and SIGHUP ask the program to end as another program would, so
// the program's remote-quit filter and QuitRequested() decide, and it saves on the way out.
void
QuitOnSignal(int)
{
	BPrivate::DeliverRemote(new BMessage(B_QUIT_REQUESTED));
}

} // namespace

namespace BPrivate {

void
RegisterWindowLooper(BLooper* looper)
{
	std::lock_guard<std::mutex> lock(sWindowsLock);
	if (std::find(sWindows.begin(), sWindows.end(), looper) == sWindows.end())
		sWindows.push_back(looper);
}

void
UnregisterWindowLooper(BLooper* looper)
{
	std::lock_guard<std::mutex> lock(sWindowsLock);
	sWindows.erase(std::remove(sWindows.begin(), sWindows.end(), looper), sWindows.end());
	sWindowGone.notify_all();
}

bool
IsWindowLooper(BLooper* looper)
{
	std::lock_guard<std::mutex> lock(sWindowsLock);
	return std::find(sWindows.begin(), sWindows.end(), looper) != sWindows.end();
}

std::vector<BLooper*>
WindowLoopers()
{
	std::lock_guard<std::mutex> lock(sWindowsLock);
	return sWindows;
}

namespace {

std::atomic<quit_preparation> sQuitPreparation{nullptr};
std::atomic<bool> sQuitRequested{false};
std::atomic<bool> sQuitting{false};

} // namespace

bool
IsQuitRequested()
{
	return sQuitRequested.load();
}

bool
IsQuitting()
{
	return sQuitting.load();
}

void
SetQuitPreparation(quit_preparation preparation)
{
	sQuitPreparation = preparation;
}

} // namespace BPrivate

BApplication::BApplication(const char* signature) : BLooper(signature)
{
	_InitData(signature, B_MULTIPLE_LAUNCH, nullptr);
}

BApplication::BApplication(const char* signature, status_t* error) : BLooper(signature)
{
	_InitData(signature, B_MULTIPLE_LAUNCH, error);
}

BApplication::BApplication(const char* signature, uint32 appFlags, status_t* error)
    : BLooper(signature)
{
	_InitData(signature, appFlags, error);
}

BApplication::~BApplication()
{
	BPrivate::sQuitRequested = false;
	BPrivate::sQuitting = false;
	// No more messages from other programs once the object starts going away.
	if (fInitError == B_OK) {
		BPrivate::StopQuitSignals();
		BPrivate::StopAppListener();
		BPrivate::SetApplicationLooper(nullptr);
	}
	if (be_app == this) {
		delete be_clipboard;
		be_clipboard = nullptr;
		be_app_messenger = BMessenger();
		be_app = nullptr;
	}
	free(fSignature);
	if (!IsLocked())
		Lock();
}

void
BApplication::_InitData(const char* signature, uint32 appFlags, status_t* error)
{
	fSignature = strdup(signature != nullptr ? signature : "");
	fAppFlags = appFlags;
	fReadyToRunCalled = false;
	fQuitBeforeRun = false;
	fInitError = B_OK;
	if (!IsValidSignature(signature))
		fInitError = B_BAD_VALUE;
	else if (be_app != nullptr)
		fInitError = B_NOT_ALLOWED;
	if (fInitError == B_OK) {
		team_id running = -1;
		fInitError = BPrivate::StartAppListener(signature, appFlags, &running);
		if (fInitError == B_ALREADY_RUNNING) {
			// The running copy gets this start's arguments, as if it had been launched.
			BMessage argv = ArgvMessage();
			BPrivate::SendToApplication(
			        running, argv.what == B_ARGV_RECEIVED ? argv : BMessage(B_SILENT_RELAUNCH));
		}
	}
	if (fInitError == B_OK) {
		be_app = this;
		be_app_messenger = BMessenger(this);
		be_clipboard = new BClipboard("system");
		BPrivate::SetApplicationLooper(this);
		BPrivate::StartQuitSignals(QuitOnSignal);
	}
	if (error != nullptr)
		*error = fInitError;
}

status_t
BApplication::InitCheck() const
{
	return fInitError;
}

thread_id
BApplication::Run()
{
	if (fInitError != B_OK)
		return fInitError;
	if (fQuitBeforeRun)
		return find_thread(nullptr);
	_PostStartMessages();
	_RunOnCallingThread();
	_WaitForWindows();
	return find_thread(nullptr);
}

// A window told to quit (an alert closed by the quit request, a window quitting by itself)
// may still be drawing on its own thread: the program must not end under it, tearing down
// what that thread uses. Windows leave the register as they are freed; a window that never
// quits does not hold the program for more than a few seconds.
void
BApplication::_WaitForWindows()
{
	std::unique_lock<std::mutex> lock(sWindowsLock);
	sWindowGone.wait_for(lock, std::chrono::seconds(3), [] { return sWindows.empty(); });
}

void
BApplication::_PostStartMessages()
{
	BMessage argv = ArgvMessage();
	if (argv.what == B_ARGV_RECEIVED)
		PostMessage(&argv);
	PostMessage(B_READY_TO_RUN);
}

void
BApplication::Quit()
{
	// An application object usually lives on main's stack: before Run() a quit only
	// makes Run() return at once instead of deleting the object under its owner.
	if (!fRunCalled) {
		fQuitBeforeRun = true;
		return;
	}
	BLooper::Quit();
}

bool
BApplication::QuitRequested()
{
	// Set before the open menus are ended: a menu that opens after that closes by itself.
	BPrivate::sQuitRequested = true;
	if (BPrivate::quit_preparation prepare = BPrivate::sQuitPreparation.load())
		prepare();
	std::vector<BLooper*> windows = BPrivate::WindowLoopers();
	for (BLooper* window : windows) {
		if (!BPrivate::IsWindowLooper(window) || !window->Lock())
			continue;
		bool agreed = window->QuitRequested();
		window->Unlock();
		if (!agreed) {
			BPrivate::sQuitRequested = false;
			return false;
		}
	}
	// Every window agreed (one may have asked the user first, with an alert that waits for
	// an answer). From here an alert asked for answers at once: it would outlive the windows
	// closed below. A window may end another while it quits (the bar closes the
	// add-bookmark window and its help bubble): those are gone from the register before
	// they are freed, and are not touched again.
	BPrivate::sQuitting = true;
	windows = BPrivate::WindowLoopers();
	for (BLooper* window : windows) {
		if (BPrivate::IsWindowLooper(window) && window->Lock())
			window->Quit();
	}
	return true;
}

void
BApplication::ReadyToRun()
{}

void
BApplication::ArgvReceived(int32, char**)
{}

void
BApplication::RefsReceived(BMessage*)
{}

void
BApplication::AboutRequested()
{}

void
BApplication::AppActivated(bool)
{}

void
BApplication::MessageReceived(BMessage* message)
{
	BLooper::MessageReceived(message);
}

void
BApplication::DispatchMessage(BMessage* message, BHandler* handler)
{
	if (handler != this) {
		BLooper::DispatchMessage(message, handler);
		return;
	}
	switch (message->what) {
	case B_ARGV_RECEIVED:
		_HandleArgv(message);
		break;
	case B_REFS_RECEIVED:
		RefsReceived(message);
		break;
	case B_READY_TO_RUN:
		if (!fReadyToRunCalled) {
			fReadyToRunCalled = true;
			ReadyToRun();
		}
		break;
	case B_ABOUT_REQUESTED:
		AboutRequested();
		break;
	case B_APP_ACTIVATED: {
		bool active = true;
		message->FindBool("active", &active);
		AppActivated(active);
		break;
	}
	case B_SILENT_RELAUNCH:
		break;
	default:
		BLooper::DispatchMessage(message, handler);
	}
}

void
BApplication::_HandleArgv(BMessage* message)
{
	std::vector<const char*> strings;
	const char* argument;
	for (int32 i = 0; message->FindString("argv", i, &argument) == B_OK; i++)
		strings.push_back(argument);
	if (strings.empty())
		return;
	std::vector<std::string> copies(strings.begin(), strings.end());
	std::vector<char*> argv;
	for (std::string& copy : copies)
		argv.push_back(copy.data());
	argv.push_back(nullptr);
	ArgvReceived((int32)copies.size(), argv.data());
}

status_t
BApplication::GetAppInfo(app_info* info) const
{
	return be_roster->GetRunningAppInfo(Team(), info);
}

const char*
BApplication::Signature() const
{
	return fSignature;
}

bool
BApplication::IsLaunching() const
{
	return !fReadyToRunCalled;
}
