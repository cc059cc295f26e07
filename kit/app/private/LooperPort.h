// Kit-internal state of one looper that must outlive it: its lock, its queue's doorbell
// and its end. Threads that reach a looper through a token hold a shared reference, so a
// looper deleted under them makes their calls fail instead of touching freed memory.
#ifndef _LOOPER_PORT_H
#define _LOOPER_PORT_H

#include <atomic>
#include <condition_variable>
#include <mutex>

#include <MessageQueue.h>
#include <OS.h>

class BMessage;

namespace BPrivate {

// The calling thread's id, cached: find_thread(NULL) is a system call, and dispatching
// one message asks for it several times.
thread_id CurrentThread();

// A recursive lock owned by a thread, that can be marked dead when its looper goes.
class LooperLock
{
public:
	LooperLock();

	// B_OK; B_TIMED_OUT, or B_WOULD_BLOCK for a zero timeout; B_BAD_VALUE once dead.
	status_t Lock(bigtime_t timeout = B_INFINITE_TIMEOUT);
	// Ignored unless the caller owns the lock.
	void Unlock();
	// Releases every level the caller holds and returns how many that were.
	int32 UnlockFully();

	bool IsLockedByCaller() const;
	thread_id Owner() const;
	int32 CountLocks() const;
	int32 CountLockRequests() const;

	// The looper is being deleted by the owner: every waiter and later Lock() fails.
	void MarkDead();

private:
	mutable std::mutex fMutex;
	std::condition_variable fReleased;
	thread_id fOwner;
	int32 fCount;
	int32 fWaiting;
	bool fDead;
};

// The queue of one looper with the doorbell that wakes its thread, the closing that
// refuses further posts, and the "finished" event Quit() waits for.
class LooperPort
{
public:
	LooperPort();

	LooperLock& Lock() { return fLock; }
	BMessageQueue* Queue() { return &fQueue; }

	// Queues message and wakes the looper; the queue owns it on B_OK. On B_BAD_PORT_ID
	// (closed) the caller keeps it.
	status_t Post(BMessage* message);

	// No further posts; messages already queued stay until drained or deleted.
	void Close();
	bool IsClosed() const;
	// Ends the loop after the current message, without draining.
	void Stop();
	bool IsStopped() const;

	// A count of finished posts: read before looking at the queue, then WaitForPost with
	// it. Returns false when the loop must end (stopped, or closed and drained).
	uint64 Sequence() const;
	bool WaitForPost(uint64 seenSequence);

	void MarkFinished();
	void WaitUntilFinished();

	// The thread that runs the loop, -1 before Run().
	void SetThread(thread_id thread) { fThread.store(thread); }
	thread_id Thread() const { return fThread.load(); }

private:
	LooperLock fLock;
	BMessageQueue fQueue;

	mutable std::mutex fMutex;
	std::condition_variable fDoorbell;
	std::condition_variable fFinishedCondition;
	uint64 fSequence;
	int32 fPosting;
	bool fClosed;
	bool fStopped;
	bool fFinished;
	std::atomic<thread_id> fThread;
};

} // namespace BPrivate

#endif // _LOOPER_PORT_H
