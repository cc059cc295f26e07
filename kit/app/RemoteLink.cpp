// The transport between programs. An application listens on its socket; every accepted
// connection gets a reader thread that unflattens frames and hands the messages to the
// local loopers. A sender connects once per message; a synchronous sender keeps the
// connection open and its reply comes back over it.
#include "RosterPrivate.h"

#include "AppDirectory.h"
#include "ApplicationTable.h"
#include "MessagePrivate.h"
#include "Process.h"
#include "RemoteTransport.h"
#include "UnixSocket.h"

#include <AppDefs.h>
#include <Message.h>
#include <Roster.h>

#include <atomic>
#include <cstring>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <thread>

namespace BPrivate {

namespace {

// The handler token of a reply address that names a waiting connection (its looper token
// is the connection's route number) instead of a looper of the sender.
const int32 kConnectionReplyHandler = -2;

// Stand-in teams for signatures that host programs serve: no process has such an id
// (Linux process ids stay below 2^22).
const team_id kHostTeamBase = 0x40000000;
const char* const kHostSignatures[] = {"application/x-vnd.Be-TRAK", "application/x-vnd.Be-NPOS",
                                       "application/x-vnd.operasoftware-opera"};
const int32 kHostSignatureCount = sizeof(kHostSignatures) / sizeof(kHostSignatures[0]);

// Bounds the reader threads one application spends on connections at a time.
const size_t kMaxConnections = 64;

struct Reader
{
	std::thread thread;
	std::shared_ptr<SharedConnection> connection;
	std::shared_ptr<std::atomic<bool>> done;
};

struct Listener
{
	std::string signature;
	uint32 flags = 0;
	std::string path;
	UnixSocket socket;
	std::thread acceptThread;
	std::list<Reader> readers;                                 // guarded by sLock
	std::map<int32, std::shared_ptr<SharedConnection>> routes; // guarded by sLock
	int32 nextRoute = 1;                                       // guarded by sLock
};

std::mutex sLock;
Listener* sListener = nullptr;
std::once_flag sHookOnce;

status_t
FlattenToBytes(const BMessage& message, std::vector<char>& bytes)
{
	ssize_t size = message.FlattenedSize();
	if (size <= 0)
		return B_BAD_VALUE;
	if ((size_t)size > kMaxFrameSize)
		return B_BAD_VALUE;
	bytes.resize((size_t)size);
	return message.Flatten(bytes.data(), size);
}

int32
AddRoute(const std::shared_ptr<SharedConnection>& connection)
{
	std::lock_guard<std::mutex> lock(sLock);
	if (sListener == nullptr)
		return -1;
	int32 route = sListener->nextRoute++;
	sListener->routes[route] = connection;
	return route;
}

void
DropRoutes(const SharedConnection* connection)
{
	std::lock_guard<std::mutex> lock(sLock);
	if (sListener == nullptr)
		return;
	for (auto it = sListener->routes.begin(); it != sListener->routes.end();) {
		if (it->second.get() == connection)
			it = sListener->routes.erase(it);
		else
			++it;
	}
}

void
AnswerInfo(SharedConnection& connection, const std::string& signature, uint32 flags)
{
	std::string text = std::to_string(flags) + "\n" + signature;
	connection.SendFrame(kFrameReply, text.data(), text.size());
}

// Unflattens a message frame and hands it to the local looper it names. False when the
// bytes are not a message: the connection is then dropped.
bool
DeliverFrame(const std::shared_ptr<SharedConnection>& connection, uint8 kind,
             const std::vector<char>& data)
{
	BMessage* message = new BMessage;
	if (message->Unflatten(data.data(), (ssize_t)data.size()) != B_OK) {
		delete message;
		return false;
	}
	MessagePrivate access(message);
	if (kind == kFrameMessageReply) {
		int32 route = AddRoute(connection);
		team_id peer = connection->Socket().PeerTeam();
		access.SetReplyTo(messenger_data{peer, route, kConnectionReplyHandler}, true);
	} else if (access.IsReplyRequired()) {
		// Only a waiting connection can carry a required reply back.
		access.ClearReplyTo();
	}
	DeliverRemote(message);
	return true;
}

void
ReadConnection(std::shared_ptr<SharedConnection> connection, std::string signature, uint32 flags,
               std::shared_ptr<std::atomic<bool>> done)
{
	uint8 kind;
	std::vector<char> data;
	while (connection->Socket().ReceiveFrame(kind, data, B_INFINITE_TIMEOUT) == B_OK) {
		if (kind == kFrameInfo)
			AnswerInfo(*connection, signature, flags);
		else if (kind != kFrameMessage && kind != kFrameMessageReply)
			break;
		else if (!DeliverFrame(connection, kind, data))
			break;
	}
	// Hang up at once, so a peer that sent garbage learns it now rather than at reaping.
	connection->Socket().ShutDown();
	DropRoutes(connection.get());
	done->store(true);
}

// Joins the reader threads that have ended; called with sLock held.
void
ReapReaders(Listener& listener)
{
	for (auto it = listener.readers.begin(); it != listener.readers.end();) {
		if (it->done->load()) {
			it->thread.join();
			it = listener.readers.erase(it);
		} else {
			++it;
		}
	}
}

void
AcceptConnections(Listener* listener)
{
	while (true) {
		UnixSocket client;
		if (listener->socket.Accept(client, B_INFINITE_TIMEOUT) != B_OK)
			return;
		std::lock_guard<std::mutex> lock(sLock);
		ReapReaders(*listener);
		if (listener->readers.size() >= kMaxConnections)
			continue;
		auto connection = std::make_shared<SharedConnection>(std::move(client));
		auto done = std::make_shared<std::atomic<bool>>(false);
		std::thread thread(ReadConnection, connection, listener->signature, listener->flags, done);
		listener->readers.push_back(Reader{std::move(thread), connection, done});
	}
}

status_t
SendRouteReply(int32 route, const BMessage& message)
{
	std::shared_ptr<SharedConnection> connection;
	{
		std::lock_guard<std::mutex> lock(sLock);
		if (sListener == nullptr)
			return B_BAD_PORT_ID;
		auto found = sListener->routes.find(route);
		if (found == sListener->routes.end())
			return B_BAD_PORT_ID;
		connection = found->second;
		sListener->routes.erase(found);
	}
	std::vector<char> bytes;
	status_t status = FlattenToBytes(message, bytes);
	if (status != B_OK)
		return status;
	return connection->SendFrame(kFrameReply, bytes.data(), bytes.size());
}

// Messages to a host program's stand-in team: files and arguments start the program.
status_t
SendToHostProgram(team_id team, const BMessage& message, BMessage* reply)
{
	int32 index = team - kHostTeamBase;
	if (index < 0 || index >= kHostSignatureCount)
		return B_BAD_PORT_ID;
	if (reply != nullptr)
		*reply = BMessage(B_NO_REPLY);
	if (message.what != B_REFS_RECEIVED && message.what != B_ARGV_RECEIVED)
		return B_OK;
	BMessage copy(message);
	status_t status = be_roster->Launch(kHostSignatures[index], &copy);
	return status == B_ALREADY_RUNNING ? B_OK : status;
}

status_t
ReceiveReply(UnixSocket& socket, BMessage* reply, bigtime_t replyTimeout)
{
	uint8 kind;
	std::vector<char> data;
	status_t status = socket.ReceiveFrame(kind, data, replyTimeout);
	if (status == B_BUSTED_PIPE) {
		// The receiver closed without answering.
		*reply = BMessage(B_NO_REPLY);
		return B_OK;
	}
	if (status != B_OK)
		return status;
	if (kind != kFrameReply || reply->Unflatten(data.data(), (ssize_t)data.size()) != B_OK)
		return B_BAD_REPLY;
	MessagePrivate access(reply);
	access.SetRemote(true);
	access.SetIsReply(true);
	return B_OK;
}

status_t
SendToTeam(const messenger_data& target, const BMessage& message, BMessage* reply,
           bigtime_t replyTimeout)
{
	running_app_socket app;
	if (FindAppSocket(target.team, app) != B_OK)
		return B_BAD_PORT_ID;
	UnixSocket socket;
	if (socket.Connect(app.path) != B_OK)
		return B_BAD_PORT_ID;

	BMessage copy(message);
	MessagePrivate access(&copy);
	if (target.handlerToken != kNoHandlerToken)
		access.SetTarget(target.handlerToken, false);
	else
		access.SetTarget(target.looperToken, true);
	access.SetRemote(false);
	std::vector<char> bytes;
	status_t status = FlattenToBytes(copy, bytes);
	if (status != B_OK)
		return status;
	uint8 kind = reply != nullptr ? kFrameMessageReply : kFrameMessage;
	status = socket.SendFrame(kind, bytes.data(), bytes.size());
	if (status != B_OK || reply == nullptr)
		return status;
	return ReceiveReply(socket, reply, replyTimeout);
}

status_t
RemoteSend(const messenger_data& target, const BMessage& message, bigtime_t, BMessage* reply,
           bigtime_t replyTimeout)
{
	if (target.handlerToken == kConnectionReplyHandler)
		return SendRouteReply(target.looperToken, message);
	if (target.team >= kHostTeamBase)
		return SendToHostProgram(target.team, message, reply);
	return SendToTeam(target, message, reply, replyTimeout);
}

bool
SameSignature(const std::string& a, const char* b)
{
	return b == nullptr || EqualIgnoringCase(a.c_str(), b);
}

} // namespace

void
InstallRemoteTransport()
{
	std::call_once(sHookOnce, [] { SetRemoteSendHook(RemoteSend); });
}

status_t
StartAppListener(const char* signature, uint32 flags, team_id* runningTeam)
{
	InstallRemoteTransport();
	SignatureLock signatureLock(signature);
	if (signatureLock.InitCheck() != B_OK)
		return signatureLock.InitCheck();
	uint32 launch = flags & B_LAUNCH_MASK;
	if (launch == B_EXCLUSIVE_LAUNCH || launch == B_SINGLE_LAUNCH) {
		std::vector<running_app_socket> running = FindRunningApps(signature);
		if (!running.empty()) {
			if (runningTeam != nullptr)
				*runningTeam = running.front().team;
			return B_ALREADY_RUNNING;
		}
	}
	std::string directory;
	status_t status = AppSocketDirectory(directory);
	if (status != B_OK)
		return status;

	auto listener = std::make_unique<Listener>();
	listener->signature = signature;
	listener->flags = flags;
	listener->path = AppSocketPath(directory, signature, ProcessTeam());
	// A file left by an earlier process with our id (ids are reused) is stale.
	RemoveAppSocket(listener->path.c_str());
	status = listener->socket.Listen(listener->path);
	if (status != B_OK)
		return status;

	std::lock_guard<std::mutex> lock(sLock);
	if (sListener != nullptr)
		return B_NOT_ALLOWED;
	sListener = listener.release();
	sListener->acceptThread = std::thread(AcceptConnections, sListener);
	return B_OK;
}

void
StopAppListener()
{
	Listener* listener;
	{
		std::lock_guard<std::mutex> lock(sLock);
		listener = sListener;
	}
	if (listener == nullptr)
		return;
	RemoveAppSocket(listener->path.c_str());
	listener->socket.ShutDown();
	listener->acceptThread.join();
	std::list<Reader> readers;
	{
		std::lock_guard<std::mutex> lock(sLock);
		for (Reader& reader : listener->readers)
			reader.connection->Socket().ShutDown();
		readers.swap(listener->readers);
	}
	for (Reader& reader : readers)
		reader.thread.join();
	std::lock_guard<std::mutex> lock(sLock);
	sListener = nullptr;
	delete listener;
}

status_t
QueryAppInfo(team_id team, uint32* flags, std::string* signature)
{
	running_app_socket app;
	if (FindAppSocket(team, app) != B_OK)
		return B_BAD_TEAM_ID;
	UnixSocket socket;
	status_t status = socket.Connect(app.path);
	if (status == B_OK)
		status = socket.SendFrame(kFrameInfo, nullptr, 0);
	uint8 kind;
	std::vector<char> data;
	if (status == B_OK)
		status = socket.ReceiveFrame(kind, data, 2000000);
	if (status != B_OK)
		return B_BAD_TEAM_ID;
	std::string text(data.begin(), data.end());
	size_t newline = text.find('\n');
	if (kind != kFrameReply || newline == std::string::npos)
		return B_BAD_REPLY;
	if (flags != nullptr)
		*flags = (uint32)strtoul(text.substr(0, newline).c_str(), nullptr, 10);
	if (signature != nullptr)
		*signature = text.substr(newline + 1);
	return B_OK;
}

status_t
ResolveMessengerTarget(const char* signature, team_id team, team_id* target)
{
	InstallRemoteTransport();
	if (team > 0) {
		std::string teamSignature;
		if (QueryAppInfo(team, nullptr, &teamSignature) != B_OK)
			return B_BAD_TEAM_ID;
		if (!SameSignature(teamSignature, signature))
			return B_MISMATCHED_VALUES;
		*target = team;
		return B_OK;
	}
	if (signature == nullptr)
		return B_BAD_VALUE;
	std::vector<running_app_socket> running = FindRunningApps(signature);
	if (!running.empty()) {
		*target = running.front().team;
		return B_OK;
	}
	for (int32 i = 0; i < kHostSignatureCount; i++) {
		app_command command;
		if (EqualIgnoringCase(kHostSignatures[i], signature) &&
		    ResolveApplication(signature, command)) {
			*target = kHostTeamBase + i;
			return B_OK;
		}
	}
	return B_NAME_NOT_FOUND;
}

status_t
SendToApplication(team_id team, const BMessage& message)
{
	InstallRemoteTransport();
	return SendRemote(messenger_data{team, -1, kNoHandlerToken}, message, B_INFINITE_TIMEOUT,
	                  nullptr, B_INFINITE_TIMEOUT);
}

} // namespace BPrivate
