// BLooper: a thread with a message queue that hands each message to its handler. The
// looper is locked by the thread that constructs it; Run() starts the thread and gives
// the lock up. Quit() ends the thread and deletes the looper (see kit/README.md for who
// may call it and what happens to waiting messages).
#ifndef _LOOPER_H
#define _LOOPER_H

#include <atomic>
#include <memory>
#include <vector>

#include <Handler.h>
#include <OS.h>

class BList;
class BMessage;
class BMessageFilter;
class BMessageQueue;

namespace BPrivate {
class LooperPort;
}

// Kept for source compatibility: the queue grows as needed.
#define B_LOOPER_PORT_DEFAULT_CAPACITY 200

class BLooper : public BHandler
{
public:
	BLooper(const char* name = nullptr, int32 priority = B_NORMAL_PRIORITY,
	        int32 portCapacity = B_LOOPER_PORT_DEFAULT_CAPACITY);
	// Must run with the looper locked by the caller (Quit() does this). Queued messages
	// are deleted (a sender waiting for a reply gets B_NO_REPLY); handlers are removed,
	// not deleted; common filters are deleted.
	virtual ~BLooper();

	// Copies the message into the queue; the caller keeps its message. Without a handler
	// argument the looper itself is the target; with a null handler, the preferred
	// handler. B_BAD_PORT_ID once the looper quits, B_MISMATCHED_VALUES when handler
	// belongs to another looper.
	status_t PostMessage(uint32 command);
	status_t PostMessage(BMessage* message);
	status_t PostMessage(uint32 command, BHandler* handler, BHandler* replyTo = nullptr);
	status_t PostMessage(BMessage* message, BHandler* handler, BHandler* replyTo = nullptr);

	// Runs in the looper's thread with the looper locked, after the filters.
	virtual void DispatchMessage(BMessage* message, BHandler* handler);
	virtual void MessageReceived(BMessage* message);

	// The message being dispatched (owned by the looper), or null.
	BMessage* CurrentMessage() const { return fLastMessage; }
	// Takes the current message over: the caller deletes it (and answers it if its sender
	// waits for a reply).
	BMessage* DetachCurrentMessage();
	BMessageQueue* MessageQueue() const;
	bool IsMessageWaiting() const;

	// Handlers: the looper must be locked. The looper never deletes its handlers.
	void AddHandler(BHandler* handler);
	bool RemoveHandler(BHandler* handler);
	int32 CountHandlers() const;
	BHandler* HandlerAt(int32 index) const;
	int32 IndexOf(BHandler* handler) const;

	BHandler* PreferredHandler() const { return fPreferred; }
	void SetPreferredHandler(BHandler* handler);

	// Starts the thread (once) and unlocks the looper. Returns the thread or an error.
	virtual thread_id Run();
	virtual void Quit();
	virtual bool QuitRequested();

	// Lock() and LockWithTimeout() may be called on a looper that another thread has
	// deleted meanwhile: they then fail (false, B_BAD_VALUE) without touching it.
	bool Lock();
	void Unlock();
	// True when the calling thread holds the lock.
	bool IsLocked() const;
	status_t LockWithTimeout(bigtime_t timeout);
	thread_id Thread() const { return fThread.load(); }
	team_id Team() const;
	thread_id LockingThread() const;
	int32 CountLocks() const;
	int32 CountLockRequests() const;

	// Filters applied to every message before the target handler's own filters. The
	// looper owns them; the looper must be locked.
	virtual void AddCommonFilter(BMessageFilter* filter);
	virtual bool RemoveCommonFilter(BMessageFilter* filter);
	virtual void SetCommonFilterList(BList* filters);
	BList* CommonFilterList() const { return fCommonFilters; }

private:
	friend class BHandler;
	// BApplication runs the loop on the thread that calls its Run(): _RunOnCallingThread.
	friend class BApplication;

	BLooper(const BLooper&) = delete;
	BLooper& operator=(const BLooper&) = delete;

	static status_t _LooperThread(void* data);
	// Runs the loop on the calling thread until Quit(); the looper is not deleted.
	void _RunOnCallingThread();
	void _Loop();
	void _DispatchOne(BMessage* message);
	BHandler* _HandlerFor(BMessage* message);
	BHandler* _TopLevelFilter(BMessage* message, BHandler* target);
	BHandler* _HandlerFilter(BMessage* message, BHandler* target);
	BHandler* _ApplyFilters(BList* filters, BMessage* message, BHandler* target);
	void _QuitRequested(BMessage* message);
	void _QuitFromOtherThread();
	void _DeleteQueuedMessages();

	std::shared_ptr<BPrivate::LooperPort> fPort;
	BMessage* fLastMessage;
	std::vector<BHandler*> fHandlers;
	BHandler* fPreferred;
	BList* fCommonFilters;
	std::atomic<thread_id> fThread;
	int32 fInitPriority;
	std::atomic<bool> fRunCalled;
	bool fRunsOnCaller;
};

#endif // _LOOPER_H
