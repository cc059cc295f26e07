// The token registry, the reply slots, and the program's team id.
#include "TokenSpace.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <unordered_map>

#include <unistd.h>

#include <Message.h>

#include "LooperPort.h"

namespace BPrivate {

namespace {

const bigtime_t kLongestTimedWait = 1000000000000000LL;

struct TokenEntry
{
	BHandler* handler = nullptr;
	BLooper* looper = nullptr;
	int32 looperToken = -1;
	std::shared_ptr<LooperPort> port;
	std::shared_ptr<ReplySlot> slot;
};

// Never destroyed: looper and timer threads may still look tokens up while the process
// runs its exit handlers.
struct Registry
{
	std::mutex lock;
	std::unordered_map<int32, TokenEntry> entries;
	int32 nextToken = 1;
	int32 applicationToken = -1;
};

Registry&
TheRegistry()
{
	static Registry* sRegistry = new Registry;
	return *sRegistry;
}

int32
AddEntry(TokenEntry&& entry)
{
	Registry& registry = TheRegistry();
	std::lock_guard<std::mutex> guard(registry.lock);
	int32 token = registry.nextToken;
	while (registry.entries.count(token) != 0 || token <= 0)
		token = token < INT32_MAX ? token + 1 : 1;
	registry.nextToken = token < INT32_MAX ? token + 1 : 1;
	registry.entries.emplace(token, std::move(entry));
	return token;
}

TokenEntry*
Lookup(Registry& registry, int32 token)
{
	auto found = registry.entries.find(token);
	return found != registry.entries.end() ? &found->second : nullptr;
}

int32
Resolve(Registry& registry, int32 looperToken)
{
	return looperToken < 0 ? registry.applicationToken : looperToken;
}

} // namespace

struct ReplySlot::Data
{
	std::mutex lock;
	std::condition_variable arrived;
	bool full = false;
	BMessage reply;
};

ReplySlot::ReplySlot() : fData(new Data)
{}

ReplySlot::~ReplySlot() = default;

status_t
ReplySlot::Deposit(const BMessage& reply)
{
	std::lock_guard<std::mutex> guard(fData->lock);
	if (fData->full)
		return B_DUPLICATE_REPLY;
	fData->reply = reply;
	fData->full = true;
	fData->arrived.notify_all();
	return B_OK;
}

status_t
ReplySlot::Wait(bigtime_t timeout, BMessage* reply)
{
	std::unique_lock<std::mutex> guard(fData->lock);
	auto full = [this] { return fData->full; };
	if (timeout >= kLongestTimedWait)
		fData->arrived.wait(guard, full);
	else if (!fData->arrived.wait_for(guard, std::chrono::microseconds(timeout > 0 ? timeout : 0),
	                                  full)) {
		return B_TIMED_OUT;
	}
	*reply = fData->reply;
	return B_OK;
}

team_id
CurrentTeam()
{
	static const team_id sTeam = static_cast<team_id>(getpid());
	return sTeam;
}

int32
NewHandlerToken(BHandler* handler)
{
	TokenEntry entry;
	entry.handler = handler;
	return AddEntry(std::move(entry));
}

int32
NewReplyToken(const std::shared_ptr<ReplySlot>& slot)
{
	TokenEntry entry;
	entry.slot = slot;
	return AddEntry(std::move(entry));
}

void
RemoveToken(int32 token)
{
	Registry& registry = TheRegistry();
	std::lock_guard<std::mutex> guard(registry.lock);
	registry.entries.erase(token);
	if (registry.applicationToken == token)
		registry.applicationToken = -1;
}

void
SetHandlerLooper(int32 handlerToken, int32 looperToken)
{
	Registry& registry = TheRegistry();
	std::lock_guard<std::mutex> guard(registry.lock);
	if (TokenEntry* entry = Lookup(registry, handlerToken))
		entry->looperToken = looperToken;
}

void
SetLooperPort(int32 token, BLooper* looper, const std::shared_ptr<LooperPort>& port)
{
	Registry& registry = TheRegistry();
	std::lock_guard<std::mutex> guard(registry.lock);
	TokenEntry* entry = Lookup(registry, token);
	if (entry == nullptr)
		return;
	entry->looper = port ? looper : nullptr;
	entry->port = port;
	if (!port && registry.applicationToken == token)
		registry.applicationToken = -1;
}

std::shared_ptr<LooperPort>
FindLooperPort(int32 looperToken, BLooper** looper)
{
	Registry& registry = TheRegistry();
	std::lock_guard<std::mutex> guard(registry.lock);
	TokenEntry* entry = Lookup(registry, Resolve(registry, looperToken));
	if (entry == nullptr || !entry->port)
		return nullptr;
	if (looper != nullptr)
		*looper = entry->looper;
	return entry->port;
}

int32
ResolveLooperToken(int32 looperToken)
{
	Registry& registry = TheRegistry();
	std::lock_guard<std::mutex> guard(registry.lock);
	return Resolve(registry, looperToken);
}

std::shared_ptr<LooperPort>
FindHandlerLooper(int32 handlerToken, int32* looperToken)
{
	Registry& registry = TheRegistry();
	std::lock_guard<std::mutex> guard(registry.lock);
	TokenEntry* handler = Lookup(registry, handlerToken);
	if (handler == nullptr || handler->looperToken < 0)
		return nullptr;
	TokenEntry* looper = Lookup(registry, handler->looperToken);
	if (looper == nullptr || !looper->port)
		return nullptr;
	*looperToken = handler->looperToken;
	return looper->port;
}

BHandler*
FindHandler(int32 handlerToken, int32 looperToken)
{
	Registry& registry = TheRegistry();
	std::lock_guard<std::mutex> guard(registry.lock);
	TokenEntry* entry = Lookup(registry, handlerToken);
	if (entry == nullptr || entry->looperToken < 0 || entry->looperToken != looperToken)
		return nullptr;
	return entry->handler;
}

status_t
FindTarget(int32 looperToken, int32 handlerToken, std::shared_ptr<LooperPort>* port,
           std::shared_ptr<ReplySlot>* slot)
{
	Registry& registry = TheRegistry();
	std::lock_guard<std::mutex> guard(registry.lock);
	int32 resolved = Resolve(registry, looperToken);
	TokenEntry* entry = Lookup(registry, resolved);
	if (entry == nullptr)
		return B_BAD_PORT_ID;
	if (entry->slot) {
		*slot = entry->slot;
		return B_OK;
	}
	if (!entry->port || entry->port->IsClosed())
		return B_BAD_PORT_ID;
	if (handlerToken >= 0) {
		TokenEntry* handler = Lookup(registry, handlerToken);
		if (handler == nullptr || handler->looperToken != resolved)
			return B_BAD_HANDLER;
	}
	*port = entry->port;
	return B_OK;
}

void
SetApplicationLooperToken(int32 token)
{
	Registry& registry = TheRegistry();
	std::lock_guard<std::mutex> guard(registry.lock);
	registry.applicationToken = token;
}

int32
ApplicationLooperToken()
{
	Registry& registry = TheRegistry();
	std::lock_guard<std::mutex> guard(registry.lock);
	return registry.applicationToken;
}

} // namespace BPrivate
