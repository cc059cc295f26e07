// A small BApplication for the tests. Usage: standin_app <signature> [--exclusive] [args].
// It writes what happens to it, one line per event, to the file named by $STANDIN_LOG, and
// guards quit requests with a local and a remote filter as a real program does.
#include <Application.h>
#include <Message.h>
#include <MessageFilter.h>
#include <Roster.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

namespace {

const uint32 kEcho = 'tst1';
const uint32 kPostLocalQuit = 'lclq';
const uint32 kAllowLocalQuit = 'allw';

void
Log(const std::string& line)
{
	const char* path = getenv("STANDIN_LOG");
	if (path == nullptr)
		return;
	std::ofstream log(path, std::ios::app);
	log << line << "\n";
}

bool sAllowLocalQuit = false;

class RemoteQuitFilter : public BMessageFilter
{
public:
	RemoteQuitFilter() : BMessageFilter(B_ANY_DELIVERY, B_REMOTE_SOURCE, B_QUIT_REQUESTED) {}

	filter_result Filter(BMessage*, BHandler**) override
	{
		Log("quit remote");
		return B_DISPATCH_MESSAGE;
	}
};

class LocalQuitFilter : public BMessageFilter
{
public:
	LocalQuitFilter() : BMessageFilter(B_ANY_DELIVERY, B_LOCAL_SOURCE, B_QUIT_REQUESTED) {}

	filter_result Filter(BMessage*, BHandler**) override
	{
		Log(sAllowLocalQuit ? "quit local allowed" : "quit local skipped");
		return sAllowLocalQuit ? B_DISPATCH_MESSAGE : B_SKIP_MESSAGE;
	}
};

class StandInApp : public BApplication
{
public:
	StandInApp(const char* signature, uint32 flags, status_t* error)
	    : BApplication(signature, flags, error)
	{}

	void ReadyToRun() override
	{
		AddFilter(new RemoteQuitFilter);
		AddFilter(new LocalQuitFilter);
		Log("ready");
	}

	void ArgvReceived(int32 argc, char** argv) override
	{
		std::string line = "argv";
		for (int32 i = 1; i < argc; i++)
			line += std::string(" ") + argv[i];
		Log(line);
	}

	void AboutRequested() override { Log("about"); }

	bool QuitRequested() override
	{
		BMessage* message = CurrentMessage();
		bool remote = message != nullptr && message->IsSourceRemote();
		Log(remote ? "quit requested remote" : "quit requested local");
		return BApplication::QuitRequested();
	}

	void MessageReceived(BMessage* message) override
	{
		switch (message->what) {
		case kEcho:
			_Echo(message);
			break;
		case kPostLocalQuit:
			PostMessage(B_QUIT_REQUESTED);
			break;
		case kAllowLocalQuit:
			sAllowLocalQuit = true;
			Log("local quit allowed");
			break;
		default:
			BApplication::MessageReceived(message);
		}
	}

private:
	void _Echo(BMessage* message)
	{
		int32 count = 0;
		const char* name = "";
		message->FindInt32("count", &count);
		message->FindString("name", &name);
		Log("echo count=" + std::to_string(count) + " name=" + name +
		    (message->IsSourceRemote() ? " remote" : " local"));
		BMessage reply('rply');
		reply.AddString("echo", name);
		message->SendReply(&reply);
	}
};

} // namespace

int
main(int argc, char** argv)
{
	if (argc < 2)
		return 2;
	bool exclusive = argc > 2 && strcmp(argv[2], "--exclusive") == 0;
	status_t error;
	StandInApp app(argv[1], exclusive ? B_EXCLUSIVE_LAUNCH : B_MULTIPLE_LAUNCH, &error);
	if (error == B_ALREADY_RUNNING) {
		Log("already running");
		return 0;
	}
	if (error != B_OK)
		return 1;
	app.Run();
	Log("ended");
	return 0;
}
