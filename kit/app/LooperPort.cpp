// The shared lock and doorbell behind every looper.
#include "LooperPort.h"

#include <chrono>

namespace BPrivate {

namespace {

// Timeouts beyond this are treated as infinite: the steady clock would overflow.
const bigtime_t kLongestTimedWait = 1000000000000000LL;

} // namespace

thread_id
CurrentThread()
{
	static thread_local const thread_id sCurrent = find_thread(nullptr);
	return sCurrent;
}

LooperLock::LooperLock() : fOwner(-1), fCount(0), fWaiting(0), fDead(false)
{}

status_t
LooperLock::Lock(bigtime_t timeout)
{
	thread_id caller = CurrentThread();
	std::unique_lock<std::mutex> guard(fMutex);
	if (fDead)
		return B_BAD_VALUE;
	if (fOwner == caller) {
		fCount++;
		return B_OK;
	}
	auto available = [this] { return fDead || fOwner < 0; };
	fWaiting++;
	bool acquired = true;
	if (timeout >= kLongestTimedWait)
		fReleased.wait(guard, available);
	else {
		acquired = fReleased.wait_for(guard, std::chrono::microseconds(timeout > 0 ? timeout : 0),
		                              available);
	}
	fWaiting--;
	if (!acquired)
		return timeout <= 0 ? B_WOULD_BLOCK : B_TIMED_OUT;
	if (fDead)
		return B_BAD_VALUE;
	fOwner = caller;
	fCount = 1;
	return B_OK;
}

void
LooperLock::Unlock()
{
	std::lock_guard<std::mutex> guard(fMutex);
	if (fOwner != CurrentThread() || fDead)
		return;
	if (--fCount == 0) {
		fOwner = -1;
		fReleased.notify_one();
	}
}

int32
LooperLock::UnlockFully()
{
	std::lock_guard<std::mutex> guard(fMutex);
	if (fOwner != CurrentThread())
		return 0;
	int32 count = fCount;
	fOwner = -1;
	fCount = 0;
	fReleased.notify_one();
	return count;
}

bool
LooperLock::IsLockedByCaller() const
{
	std::lock_guard<std::mutex> guard(fMutex);
	return fOwner == CurrentThread();
}

thread_id
LooperLock::Owner() const
{
	std::lock_guard<std::mutex> guard(fMutex);
	return fOwner;
}

int32
LooperLock::CountLocks() const
{
	std::lock_guard<std::mutex> guard(fMutex);
	return fCount;
}

int32
LooperLock::CountLockRequests() const
{
	std::lock_guard<std::mutex> guard(fMutex);
	return fWaiting + (fOwner >= 0 ? 1 : 0);
}

void
LooperLock::MarkDead()
{
	std::lock_guard<std::mutex> guard(fMutex);
	fDead = true;
	fReleased.notify_all();
}

LooperPort::LooperPort()
    : fSequence(0), fPosting(0), fClosed(false), fStopped(false), fFinished(false), fThread(-1)
{}

status_t
LooperPort::Post(BMessage* message)
{
	{
		std::lock_guard<std::mutex> guard(fMutex);
		if (fClosed)
			return B_BAD_PORT_ID;
		fPosting++;
	}
	// The queue has its own lock, which a program may hold while it posts: never take
	// it while holding the doorbell.
	fQueue.AddMessage(message);
	std::lock_guard<std::mutex> guard(fMutex);
	fPosting--;
	fSequence++;
	fDoorbell.notify_all();
	return B_OK;
}

void
LooperPort::Close()
{
	std::lock_guard<std::mutex> guard(fMutex);
	fClosed = true;
	fDoorbell.notify_all();
}

bool
LooperPort::IsClosed() const
{
	std::lock_guard<std::mutex> guard(fMutex);
	return fClosed;
}

void
LooperPort::Stop()
{
	std::lock_guard<std::mutex> guard(fMutex);
	fClosed = true;
	fStopped = true;
	fDoorbell.notify_all();
}

bool
LooperPort::IsStopped() const
{
	std::lock_guard<std::mutex> guard(fMutex);
	return fStopped;
}

uint64
LooperPort::Sequence() const
{
	std::lock_guard<std::mutex> guard(fMutex);
	return fSequence;
}

bool
LooperPort::WaitForPost(uint64 seenSequence)
{
	std::unique_lock<std::mutex> guard(fMutex);
	// Closed with no post in flight and none finished since the caller found the queue
	// empty: nothing can arrive any more, the queue is drained.
	auto drained = [&] { return fClosed && fPosting == 0 && fSequence == seenSequence; };
	fDoorbell.wait(guard, [&] { return fStopped || fSequence != seenSequence || drained(); });
	return !fStopped && !drained();
}

void
LooperPort::MarkFinished()
{
	std::lock_guard<std::mutex> guard(fMutex);
	fFinished = true;
	fFinishedCondition.notify_all();
}

void
LooperPort::WaitUntilFinished()
{
	std::unique_lock<std::mutex> guard(fMutex);
	fFinishedCondition.wait(guard, [this] { return fFinished; });
}

} // namespace BPrivate
