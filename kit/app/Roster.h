// BRoster: finds and starts applications by signature or MIME type, and knows which
// applications are running. be_roster is the one roster of the program.
#ifndef _ROSTER_H
#define _ROSTER_H

#include <Entry.h>
#include <StorageDefs.h>
#include <SupportDefs.h>

class BList;
class BMessage;

// Application flags. The launch part says how many copies may run at once.
enum
{
	B_SINGLE_LAUNCH = 0x0,
	B_MULTIPLE_LAUNCH = 0x1,
	B_EXCLUSIVE_LAUNCH = 0x2,
	B_LAUNCH_MASK = 0x3,
	B_BACKGROUND_APP = 0x4,
	B_ARGV_ONLY = 0x8
};

struct app_info
{
	app_info();

	thread_id thread;
	team_id team;
	port_id port;
	uint32 flags;
	entry_ref ref;
	char signature[B_MIME_TYPE_LENGTH];
};

class BRoster
{
public:
	BRoster();
	~BRoster();

	// Running applications. Signatures compare without regard to case.
	bool IsRunning(const char* signature) const;
	team_id TeamFor(const char* signature) const;
	void GetAppList(BList* teamIDList) const;
	void GetAppList(const char* signature, BList* teamIDList) const;
	status_t GetAppInfo(const char* signature, app_info* info) const;
	status_t GetRunningAppInfo(team_id team, app_info* info) const;
	status_t ActivateApp(team_id team) const;

	// The program that stands for a signature or a MIME type: the application table, the
	// desktop's defaults, or a running application of that signature.
	// B_LAUNCH_FAILED_APP_NOT_FOUND when there is none.
	status_t FindApp(const char* mimeType, entry_ref* app) const;

	// Starts the program for a signature or MIME type. args are the arguments after the
	// program's own name. B_ALREADY_RUNNING when a single or exclusive copy runs: it then
	// receives the arguments (B_ARGV_RECEIVED) or the messages instead, and *appTeam is
	// that copy. The messages and lists stay the caller's.
	status_t Launch(const char* mimeType, BMessage* initialMessage = nullptr,
	                team_id* appTeam = nullptr) const;
	status_t Launch(const char* mimeType, BList* messageList, team_id* appTeam = nullptr) const;
	status_t Launch(const char* mimeType, int argc, const char* const* args,
	                team_id* appTeam = nullptr) const;

private:
	BRoster(const BRoster&) = delete;
	BRoster& operator=(const BRoster&) = delete;
};

extern const BRoster* be_roster;

#endif // _ROSTER_H
