// BRoster over the application table, the desktop defaults and the sockets of running
// applications. Launch starts host processes through the Linux backend.
#include <Roster.h>

#include "AppDirectory.h"
#include "ApplicationTable.h"
#include "Process.h"
#include "RosterPrivate.h"

#include <AppDefs.h>
#include <List.h>
#include <Message.h>
#include <Path.h>

#include <algorithm>
#include <cstring>

using namespace BPrivate;

namespace {

BRoster sRoster;

// The running copy of signature that admits no second one, if any.
team_id
FindSingleRunning(const char* signature)
{
	for (const running_app_socket& app : FindRunningApps(signature)) {
		uint32 flags;
		if (QueryAppInfo(app.team, &flags, nullptr) != B_OK)
			continue;
		uint32 launch = flags & B_LAUNCH_MASK;
		if (launch == B_SINGLE_LAUNCH || launch == B_EXCLUSIVE_LAUNCH)
			return app.team;
	}
	return -1;
}

// What to start for a signature or type: the table and defaults, else the executable of a
// running copy (a program is known while it runs).
bool
FindCommand(const char* signature, app_command& command)
{
	if (ResolveApplication(signature, command))
		return true;
	for (const running_app_socket& app : FindRunningApps(signature)) {
		std::string executable = TeamExecutable(app.team);
		if (!executable.empty()) {
			command.argv = {executable};
			return true;
		}
	}
	return false;
}

// The arguments a message stands for: the paths of its refs, or its argv after argv[0].
void
AppendMessageArguments(const BMessage& message, std::vector<std::string>& args)
{
	if (message.what == B_REFS_RECEIVED) {
		entry_ref ref;
		for (int32 i = 0; message.FindRef("refs", i, &ref) == B_OK; i++) {
			BPath path(&ref);
			if (path.InitCheck() == B_OK)
				args.push_back(path.Path());
		}
	} else if (message.what == B_ARGV_RECEIVED) {
		const char* arg;
		for (int32 i = 1; message.FindString("argv", i, &arg) == B_OK; i++)
			args.push_back(arg);
	}
}

status_t
StartCommand(const app_command& command, const std::vector<std::string>& args, team_id* team)
{
	if (!command.oneArgumentPerProcess || args.size() <= 1) {
		std::vector<std::string> argv = command.argv;
		argv.insert(argv.end(), args.begin(), args.end());
		return SpawnDetached(argv, team);
	}
	for (size_t i = 0; i < args.size(); i++) {
		std::vector<std::string> argv = command.argv;
		argv.push_back(args[i]);
		status_t status = SpawnDetached(argv, i == 0 ? team : nullptr);
		if (status != B_OK)
			return status;
	}
	return B_OK;
}

BMessage
MakeArgvMessage(team_id team, const std::vector<std::string>& args)
{
	BMessage message(B_ARGV_RECEIVED);
	std::string program = TeamExecutable(team);
	message.AddInt32("argc", (int32)args.size() + 1);
	message.AddString("argv", program.c_str());
	for (const std::string& arg : args)
		message.AddString("argv", arg.c_str());
	return message;
}

// Starts a new copy, or hands the messages to the copy that admits no second one.
status_t
LaunchWith(const char* signature, const std::vector<std::string>& args,
           const std::vector<const BMessage*>& messages, team_id* appTeam)
{
	if (signature == nullptr || signature[0] == '\0')
		return B_BAD_VALUE;
	InstallRemoteTransport();
	team_id running = FindSingleRunning(signature);
	if (running > 0) {
		if (!args.empty())
			SendToApplication(running, MakeArgvMessage(running, args));
		for (const BMessage* message : messages)
			SendToApplication(running, *message);
		if (args.empty() && messages.empty())
			SendToApplication(running, BMessage(B_SILENT_RELAUNCH));
		if (appTeam != nullptr)
			*appTeam = running;
		return B_ALREADY_RUNNING;
	}
	app_command command;
	if (!FindCommand(signature, command))
		return B_LAUNCH_FAILED_APP_NOT_FOUND;
	return StartCommand(command, args, appTeam);
}

} // namespace

const BRoster* be_roster = &sRoster;

app_info::app_info() : thread(-1), team(-1), port(-1), flags(0)
{
	signature[0] = '\0';
}

BRoster::BRoster()
{}

BRoster::~BRoster()
{}

bool
BRoster::IsRunning(const char* signature) const
{
	return TeamFor(signature) > 0;
}

team_id
BRoster::TeamFor(const char* signature) const
{
	if (signature == nullptr)
		return B_BAD_VALUE;
	std::vector<running_app_socket> apps = FindRunningApps(signature);
	return apps.empty() ? (team_id)B_ERROR : apps.front().team;
}

void
BRoster::GetAppList(BList* teamIDList) const
{
	GetAppList(nullptr, teamIDList);
}

void
BRoster::GetAppList(const char* signature, BList* teamIDList) const
{
	if (teamIDList == nullptr)
		return;
	for (const running_app_socket& app : FindRunningApps(signature))
		teamIDList->AddItem((void*)(intptr_t)app.team);
}

status_t
BRoster::GetAppInfo(const char* signature, app_info* info) const
{
	if (signature == nullptr || info == nullptr)
		return B_BAD_VALUE;
	team_id team = TeamFor(signature);
	if (team < 0)
		return B_ERROR;
	return GetRunningAppInfo(team, info);
}

status_t
BRoster::GetRunningAppInfo(team_id team, app_info* info) const
{
	if (info == nullptr)
		return B_BAD_VALUE;
	uint32 flags;
	std::string signature;
	if (QueryAppInfo(team, &flags, &signature) != B_OK)
		return B_BAD_TEAM_ID;
	*info = app_info();
	info->team = team;
	info->thread = team; // the main thread of a Linux process has the process's id
	info->flags = flags;
	signature.copy(info->signature, sizeof(info->signature) - 1);
	info->signature[std::min(signature.size(), sizeof(info->signature) - 1)] = '\0';
	std::string executable = TeamExecutable(team);
	if (!executable.empty())
		get_ref_for_path(executable.c_str(), &info->ref);
	return B_OK;
}

status_t
BRoster::ActivateApp(team_id team) const
{
	// Activation moves windows; until the display is there, a running team is enough.
	return QueryAppInfo(team, nullptr, nullptr) == B_OK ? B_OK : B_BAD_TEAM_ID;
}

status_t
BRoster::FindApp(const char* mimeType, entry_ref* app) const
{
	if (mimeType == nullptr || app == nullptr)
		return B_BAD_VALUE;
	app_command command;
	if (!FindCommand(mimeType, command))
		return B_LAUNCH_FAILED_APP_NOT_FOUND;
	return get_ref_for_path(command.argv[0].c_str(), app);
}

status_t
BRoster::Launch(const char* mimeType, BMessage* initialMessage, team_id* appTeam) const
{
	std::vector<std::string> args;
	std::vector<const BMessage*> messages;
	if (initialMessage != nullptr) {
		AppendMessageArguments(*initialMessage, args);
		bool isArguments =
		        initialMessage->what == B_REFS_RECEIVED || initialMessage->what == B_ARGV_RECEIVED;
		if (!isArguments)
			messages.push_back(initialMessage);
	}
	return LaunchWith(mimeType, args, messages, appTeam);
}

status_t
BRoster::Launch(const char* mimeType, BList* messageList, team_id* appTeam) const
{
	std::vector<std::string> args;
	std::vector<const BMessage*> messages;
	for (int32 i = 0; messageList != nullptr && i < messageList->CountItems(); i++) {
		const BMessage* message = (const BMessage*)messageList->ItemAt(i);
		if (message == nullptr)
			continue;
		AppendMessageArguments(*message, args);
		if (message->what != B_REFS_RECEIVED && message->what != B_ARGV_RECEIVED)
			messages.push_back(message);
	}
	return LaunchWith(mimeType, args, messages, appTeam);
}

status_t
BRoster::Launch(const char* mimeType, int argc, const char* const* args, team_id* appTeam) const
{
	if (argc < 0 || (argc > 0 && args == nullptr))
		return B_BAD_VALUE;
	std::vector<std::string> arguments;
	for (int i = 0; i < argc; i++)
		arguments.push_back(args[i] != nullptr ? args[i] : "");
	return LaunchWith(mimeType, arguments, {}, appTeam);
}
