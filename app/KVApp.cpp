// Start-up, quit filtering and shutdown of Kestrovane.
#include "KVApp.h"

#include <cmath>

#include <Message.h>
#include <Messenger.h>
#include <NodeMonitor.h>
#include <Path.h>
#include <Roster.h>
#include <Screen.h>

#include "KVConstants.h"
#include "KVSettings.h"
#include "addbookmark/KVBookmarkWindow.h"
#include "bar/KVMainWindow.h"
#include "widgets/KVAboutWindow.h"

const char* kAppSig = "application/x-Zintu.Kestrovane";

namespace {

const char* const kSettingsPath = "/boot/home/config/settings/Kestrovane.settings";
const BPoint kDefaultPosition(30, 30);
const float kAboutWidth = 365;
const float kAboutHeight = 204;

} // namespace

KVApp::KVApp(status_t* error)
    : BApplication(kAppSig, B_EXCLUSIVE_LAUNCH, error), fMainWindowActive(false)
{}

// The settings are written once, here, after every window is gone. A copy that never ran
// (another one was already running) has no settings and writes nothing.
KVApp::~KVApp()
{
	if (gSettings != nullptr) {
		gSettings->Save();
		delete gSettings;
		gSettings = nullptr;
	}
}

void
KVApp::ReadyToRun()
{
	gSettings = new KVSettings(BPath(kSettingsPath));
	gSettings->Load();

	KVAlign align = gSettings->GetAlign();
	BPoint position = UsablePosition(gSettings->GetPos(), KVMainWindow::SizeFor(align),
	                                 BScreen(B_MAIN_SCREEN_ID).Frame());
	KVMainWindow::SetBookmarkWindowMaker(MakeBookmarkWindow);
	KVMainWindow* window = new KVMainWindow(BRect(position.x, position.y, 0, 0));
	fMainWindow = BMessenger(window);
	window->Show();

	AddFilter(new KVRemoteFilter());
	AddFilter(new KVLocalFilter());
}

void
KVApp::AboutRequested()
{
	BPoint corner = AboutPosition(BScreen(B_MAIN_SCREEN_ID).Frame());
	(new KVAboutWindow(BRect(corner.x, corner.y, 0, 0)))->Show();
}

bool
KVApp::QuitRequested()
{
	return BApplication::QuitRequested();
}

void
KVApp::MessageReceived(BMessage* message)
{
	switch (message->what) {
	case kMsgMainWindowActive:
		fMainWindowActive = true;
		break;
	case kMsgMainWindowInactive:
		fMainWindowActive = false;
		break;
	case B_NODE_MONITOR:
		fMainWindow.SendMessage(B_NODE_MONITOR);
		break;
	// Other programs (kvbookmarks open) reach the bar only through the application.
	case kMsgLaunchItem:
		fMainWindow.SendMessage(message);
		break;
	default:
		BApplication::MessageReceived(message);
		break;
	}
}

BPoint
KVApp::UsablePosition(BPoint saved, BPoint barSize, BRect screen)
{
	if (!std::isfinite(saved.x) || !std::isfinite(saved.y))
		return kDefaultPosition;
	BRect bar(saved.x, saved.y, saved.x + barSize.x, saved.y + barSize.y);
	if (!bar.Intersects(screen))
		return kDefaultPosition;
	return saved;
}

BPoint
KVApp::AboutPosition(BRect screen)
{
	return BPoint((screen.right - screen.left - kAboutWidth) * 0.5f,
	              (screen.bottom - screen.top - kAboutHeight) * 0.5f);
}

KVRemoteFilter::KVRemoteFilter() : BMessageFilter(B_ANY_DELIVERY, B_REMOTE_SOURCE, B_QUIT_REQUESTED)
{}

filter_result
KVRemoteFilter::Filter(BMessage*, BHandler**)
{
	return B_DISPATCH_MESSAGE;
}

KVLocalFilter::KVLocalFilter() : BMessageFilter(B_ANY_DELIVERY, B_LOCAL_SOURCE, B_QUIT_REQUESTED)
{}

filter_result
KVLocalFilter::Filter(BMessage*, BHandler**)
{
	KVApp* app = dynamic_cast<KVApp*>(be_app);
	return app != nullptr && app->IsMainWindowActive() ? B_DISPATCH_MESSAGE : B_SKIP_MESSAGE;
}
