// BLooper: the message loop, handler and filter management, locking and quitting.
#include <Looper.h>

#include <algorithm>
#include <mutex>
#include <unordered_map>

#include <List.h>
#include <Message.h>
#include <MessageFilter.h>
#include <MessageQueue.h>
#include <Messenger.h>

#include "Delivery.h"
#include "LooperPort.h"
#include "MessagePrivate.h"
#include "TokenSpace.h"

using BPrivate::HandlerAccess;
using BPrivate::LooperPort;

namespace {

// Every looper alive, with its port. Lock() goes through this table, never through the
// object, so that locking a looper that another thread has deleted meanwhile (a window
// that quit while its pointer was kept) fails instead of touching freed memory.
std::mutex sLoopersLock;

std::unordered_map<const BLooper*, std::shared_ptr<LooperPort>>&
Loopers()
{
	// Never destroyed: loopers may outlive static destruction at exit.
	static auto* sLoopers = new std::unordered_map<const BLooper*, std::shared_ptr<LooperPort>>;
	return *sLoopers;
}

std::shared_ptr<LooperPort>
LivePort(const BLooper* looper)
{
	std::lock_guard<std::mutex> guard(sLoopersLock);
	auto found = Loopers().find(looper);
	return found != Loopers().end() ? found->second : nullptr;
}

// Takes the lock of looper if it is alive. Reads nothing of the object itself, so looper
// may point at a deleted one.
status_t
LockLive(const BLooper* looper, bigtime_t timeout)
{
	std::shared_ptr<LooperPort> port = LivePort(looper);
	if (port == nullptr)
		return B_BAD_VALUE;
	return port->Lock().Lock(timeout);
}

// Filters that redirect to each other could send a message round forever; after this many
// redirections the message goes to the handler reached last.
const int32 kMaxFilterRedirections = 64;

// Ends a looper whose thread is unwound by kill_thread: the looper object cannot be
// deleted safely from there, so it is left behind, but it stops accepting messages,
// answers the waiting ones, and frees its lock for Quit() callers.
class KilledLooperGuard
{
public:
	KilledLooperGuard(const std::shared_ptr<LooperPort>& port, int32 token)
	    : fPort(port), fToken(token), fDismissed(false)
	{}

	~KilledLooperGuard()
	{
		if (fDismissed)
			return;
		fPort->Close();
		BPrivate::SetLooperPort(fToken, nullptr, nullptr);
		while (BMessage* message = fPort->Queue()->NextMessage()) {
			BPrivate::AnswerIfUnanswered(message);
			delete message;
		}
		fPort->Lock().UnlockFully();
		fPort->MarkFinished();
	}

	void Dismiss() { fDismissed = true; }

private:
	std::shared_ptr<LooperPort> fPort;
	int32 fToken;
	bool fDismissed;
};

void
DeleteFilters(BList* filters)
{
	if (filters == nullptr)
		return;
	for (int32 i = 0; i < filters->CountItems(); i++)
		delete static_cast<BMessageFilter*>(filters->ItemAt(i));
	delete filters;
}

} // namespace

BLooper::BLooper(const char* name, int32 priority, int32)
    : BHandler(name), fPort(std::make_shared<LooperPort>()), fLastMessage(nullptr),
      fPreferred(nullptr), fCommonFilters(nullptr), fThread(-1), fInitPriority(priority),
      fRunCalled(false), fRunsOnCaller(false)
{
	// Locked by its creator until Run() hands it to the looper's thread.
	fPort->Lock().Lock();
	{
		std::lock_guard<std::mutex> guard(sLoopersLock);
		Loopers()[this] = fPort;
	}
	BPrivate::SetLooperPort(HandlerAccess::Token(this), this, fPort);
	AddHandler(this);
}

BLooper::~BLooper()
{
	{
		std::lock_guard<std::mutex> guard(sLoopersLock);
		Loopers().erase(this);
	}
	if (!fPort->Lock().IsLockedByCaller())
		fPort->Lock().Lock();
	fPort->Close();
	BPrivate::SetLooperPort(HandlerAccess::Token(this), nullptr, nullptr);
	_DeleteQueuedMessages();
	// Only a looper whose thread was killed mid-dispatch still has a current message.
	if (fLastMessage != nullptr) {
		BPrivate::AnswerIfUnanswered(fLastMessage);
		delete fLastMessage;
		fLastMessage = nullptr;
	}
	for (BHandler* handler : fHandlers) {
		handler->fNextHandler = nullptr;
		handler->_SetLooper(nullptr);
	}
	fHandlers.clear();
	fPreferred = nullptr;
	DeleteFilters(fCommonFilters);
	fCommonFilters = nullptr;
	fPort->Lock().MarkDead();
}

void
BLooper::_DeleteQueuedMessages()
{
	while (BMessage* message = fPort->Queue()->NextMessage()) {
		BPrivate::AnswerIfUnanswered(message);
		delete message;
	}
}

status_t
BLooper::PostMessage(uint32 command)
{
	BMessage message(command);
	return PostMessage(&message, this);
}

status_t
BLooper::PostMessage(BMessage* message)
{
	return PostMessage(message, this);
}

status_t
BLooper::PostMessage(uint32 command, BHandler* handler, BHandler* replyTo)
{
	BMessage message(command);
	return PostMessage(&message, handler, replyTo);
}

status_t
BLooper::PostMessage(BMessage* message, BHandler* handler, BHandler* replyTo)
{
	if (message == nullptr)
		return B_BAD_VALUE;
	status_t status;
	BMessenger messenger(handler, this, &status);
	if (status != B_OK)
		return status;
	return messenger.SendMessage(message, replyTo, 0);
}

void
BLooper::DispatchMessage(BMessage* message, BHandler* handler)
{
	if (message->what == B_QUIT_REQUESTED && handler == this) {
		_QuitRequested(message);
		return;
	}
	handler->MessageReceived(message);
}

void
BLooper::MessageReceived(BMessage* message)
{
	BHandler::MessageReceived(message);
}

BMessage*
BLooper::DetachCurrentMessage()
{
	BMessage* message = fLastMessage;
	fLastMessage = nullptr;
	return message;
}

BMessageQueue*
BLooper::MessageQueue() const
{
	return fPort->Queue();
}

bool
BLooper::IsMessageWaiting() const
{
	return !fPort->Queue()->IsEmpty();
}

void
BLooper::AddHandler(BHandler* handler)
{
	if (handler == nullptr)
		return;
	if (!IsLocked()) {
		debugger("BLooper::AddHandler: the looper must be locked");
		return;
	}
	if (handler->Looper() != nullptr) {
		if (handler->Looper() != this)
			debugger("BLooper::AddHandler: the handler belongs to another looper");
		return;
	}
	fHandlers.push_back(handler);
	handler->_SetLooper(this);
	if (handler != this && handler->NextHandler() == nullptr)
		handler->fNextHandler = this;
}

bool
BLooper::RemoveHandler(BHandler* handler)
{
	if (handler == nullptr || handler == this || handler->Looper() != this)
		return false;
	if (!IsLocked()) {
		debugger("BLooper::RemoveHandler: the looper must be locked");
		return false;
	}
	fHandlers.erase(std::remove(fHandlers.begin(), fHandlers.end(), handler), fHandlers.end());
	handler->_SetLooper(nullptr);
	handler->fNextHandler = nullptr;
	if (fPreferred == handler)
		fPreferred = nullptr;
	// Handlers that passed messages on to the removed one pass them to the looper now.
	for (BHandler* other : fHandlers) {
		if (other->fNextHandler == handler)
			other->fNextHandler = this;
	}
	return true;
}

int32
BLooper::CountHandlers() const
{
	return static_cast<int32>(fHandlers.size());
}

BHandler*
BLooper::HandlerAt(int32 index) const
{
	if (index < 0 || index >= CountHandlers())
		return nullptr;
	return fHandlers[index];
}

int32
BLooper::IndexOf(BHandler* handler) const
{
	auto found = std::find(fHandlers.begin(), fHandlers.end(), handler);
	return found != fHandlers.end() ? static_cast<int32>(found - fHandlers.begin()) : -1;
}

void
BLooper::SetPreferredHandler(BHandler* handler)
{
	fPreferred = handler != nullptr && handler->Looper() == this ? handler : nullptr;
}

thread_id
BLooper::Run()
{
	if (fRunCalled) {
		debugger("BLooper::Run: the looper runs already");
		return fThread;
	}
	thread_id thread =
	        spawn_thread(_LooperThread, Name() != nullptr ? Name() : "looper", fInitPriority, this);
	if (thread < 0)
		return thread;
	fThread = thread;
	fPort->SetThread(thread);
	fRunCalled = true;
	if (IsLocked())
		Unlock();
	resume_thread(thread);
	return thread;
}

void
BLooper::_RunOnCallingThread()
{
	if (fRunCalled) {
		debugger("BLooper::Run: the looper runs already");
		return;
	}
	fThread = find_thread(nullptr);
	fPort->SetThread(fThread);
	fRunsOnCaller = true;
	fRunCalled = true;
	if (IsLocked())
		Unlock();
	_Loop();
	fPort->MarkFinished();
}

status_t
BLooper::_LooperThread(void* data)
{
	BLooper* looper = static_cast<BLooper*>(data);
	std::shared_ptr<LooperPort> port = looper->fPort;
	KilledLooperGuard guard(port, HandlerAccess::Token(looper));
	looper->_Loop();
	guard.Dismiss();
	port->Lock().Lock();
	delete looper;
	port->MarkFinished();
	return B_OK;
}

void
BLooper::_Loop()
{
	for (;;) {
		uint64 seen = fPort->Sequence();
		BMessage* message = fPort->Queue()->NextMessage();
		if (message != nullptr) {
			_DispatchOne(message);
			if (fPort->IsStopped())
				return;
			continue;
		}
		if (!fPort->WaitForPost(seen))
			return;
	}
}

void
BLooper::_DispatchOne(BMessage* message)
{
	fPort->Lock().Lock();
	fLastMessage = message;
	BHandler* handler = _HandlerFor(message);
	if (handler != nullptr)
		handler = _TopLevelFilter(message, handler);
	if (handler != nullptr)
		DispatchMessage(message, handler);
	if (fLastMessage != nullptr) {
		BPrivate::AnswerIfUnanswered(fLastMessage);
		delete fLastMessage;
		fLastMessage = nullptr;
	}
	Unlock();
}

BHandler*
BLooper::_HandlerFor(BMessage* message)
{
	BPrivate::MessagePrivate access(message);
	if (access.UsePreferredTarget())
		return fPreferred != nullptr ? fPreferred : this;
	int32 token = access.GetTarget();
	if (token < 0 || token == HandlerAccess::Token(this))
		return this;
	// A handler that left this looper after the message was sent does not get it.
	return BPrivate::FindHandler(token, HandlerAccess::Token(this));
}

BHandler*
BLooper::_TopLevelFilter(BMessage* message, BHandler* target)
{
	if (fCommonFilters != nullptr)
		target = _ApplyFilters(fCommonFilters, message, target);
	if (target == nullptr)
		return nullptr;
	if (target->Looper() != this)
		return nullptr;
	return _HandlerFilter(message, target);
}

BHandler*
BLooper::_HandlerFilter(BMessage* message, BHandler* target)
{
	// A filter may hand the message to another handler, whose filters then run too.
	BHandler* previous = nullptr;
	for (int32 round = 0; target != nullptr && target != previous; round++) {
		if (round == kMaxFilterRedirections)
			break;
		previous = target;
		BList* filters = target->FilterList();
		if (filters != nullptr && !filters->IsEmpty())
			target = _ApplyFilters(filters, message, target);
		if (target != nullptr && target->Looper() != this)
			return nullptr;
	}
	return target;
}

BHandler*
BLooper::_ApplyFilters(BList* filters, BMessage* message, BHandler* target)
{
	for (int32 i = 0; i < filters->CountItems() && target != nullptr; i++) {
		BMessageFilter* filter = static_cast<BMessageFilter*>(filters->ItemAt(i));
		if (filter->_Apply(message, &target) == B_SKIP_MESSAGE)
			return nullptr;
	}
	return target;
}

void
BLooper::_QuitRequested(BMessage* message)
{
	bool quit = QuitRequested();
	if (message->IsSourceWaiting()) {
		BMessage reply(B_REPLY);
		reply.AddBool("result", quit);
		reply.AddInt32("thread", Thread());
		message->SendReply(&reply);
	}
	if (quit)
		Quit();
}

void
BLooper::Quit()
{
	// Quitting needs the lock; take it for a caller that forgot, as long as we exist.
	std::shared_ptr<LooperPort> port = LivePort(this);
	if (port == nullptr)
		return;
	if (!port->Lock().IsLockedByCaller() && port->Lock().Lock() != B_OK)
		return;
	if (!fRunCalled) {
		delete this;
		return;
	}
	if (BPrivate::CurrentThread() == fThread) {
		// Ends the loop once the current message is handled; the thread deletes us then.
		fPort->Stop();
		return;
	}
	_QuitFromOtherThread();
}

void
BLooper::_QuitFromOtherThread()
{
	// The looper's thread handles what was queued before this call, then deletes the
	// looper; from the moment the lock is released, 'this' may be gone.
	std::shared_ptr<LooperPort> port = fPort;
	thread_id thread = fRunsOnCaller ? -1 : Thread();
	port->Close();
	port->Lock().UnlockFully();
	// Joining the thread (when no other Quit() caller did) also means it has left every
	// kit structure by the time Quit() returns.
	if (thread >= 0)
		wait_for_thread(thread, nullptr);
	port->WaitUntilFinished();
	// A thread ended by kill_thread leaves its looper behind; its lock is still alive
	// then (a deleted looper's lock refuses everyone), so finish the job here.
	if (thread >= 0 && port->Lock().Lock() == B_OK)
		delete this;
}

bool
BLooper::QuitRequested()
{
	return true;
}

bool
BLooper::Lock()
{
	return LockLive(this, B_INFINITE_TIMEOUT) == B_OK;
}

void
BLooper::Unlock()
{
	fPort->Lock().Unlock();
}

bool
BLooper::IsLocked() const
{
	return fPort->Lock().IsLockedByCaller();
}

status_t
BLooper::LockWithTimeout(bigtime_t timeout)
{
	return LockLive(this, timeout);
}

team_id
BLooper::Team() const
{
	return BPrivate::CurrentTeam();
}

thread_id
BLooper::LockingThread() const
{
	return fPort->Lock().Owner();
}

int32
BLooper::CountLocks() const
{
	return fPort->Lock().CountLocks();
}

int32
BLooper::CountLockRequests() const
{
	return fPort->Lock().CountLockRequests();
}

void
BLooper::AddCommonFilter(BMessageFilter* filter)
{
	if (filter == nullptr || filter->fAttached) {
		debugger("BLooper::AddCommonFilter: the filter is null or belongs to another list");
		return;
	}
	if (!IsLocked()) {
		debugger("BLooper::AddCommonFilter: the looper must be locked");
		return;
	}
	if (fCommonFilters == nullptr)
		fCommonFilters = new BList;
	fCommonFilters->AddItem(filter);
	filter->fLooper = this;
	filter->fAttached = true;
}

bool
BLooper::RemoveCommonFilter(BMessageFilter* filter)
{
	if (!IsLocked()) {
		debugger("BLooper::RemoveCommonFilter: the looper must be locked");
		return false;
	}
	if (fCommonFilters == nullptr || !fCommonFilters->RemoveItem(filter))
		return false;
	filter->fLooper = nullptr;
	filter->fAttached = false;
	return true;
}

void
BLooper::SetCommonFilterList(BList* filters)
{
	if (!IsLocked()) {
		debugger("BLooper::SetCommonFilterList: the looper must be locked");
		return;
	}
	DeleteFilters(fCommonFilters);
	fCommonFilters = filters;
	if (fCommonFilters == nullptr)
		return;
	for (int32 i = 0; i < fCommonFilters->CountItems(); i++) {
		BMessageFilter* filter = static_cast<BMessageFilter*>(fCommonFilters->ItemAt(i));
		filter->fLooper = this;
		filter->fAttached = true;
	}
}
