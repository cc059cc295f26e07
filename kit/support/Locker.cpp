// BLocker over a mutex and a condition variable, so timeouts and recursion by the
// owning thread behave as on BeOS.
#include <Locker.h>

#include <chrono>

BLocker::BLocker() : BLocker("some BLocker", true)
{}

BLocker::BLocker(const char* name) : BLocker(name, true)
{}

BLocker::BLocker(bool benaphoreStyle) : BLocker("some BLocker", benaphoreStyle)
{}

BLocker::BLocker(const char* name, bool)
    : fName(name != nullptr ? name : "some BLocker"), fOwner(-1), fCount(0), fWaiting(0)
{}

BLocker::~BLocker() = default;

bool
BLocker::Lock()
{
	return LockWithTimeout(B_INFINITE_TIMEOUT) == B_OK;
}

status_t
BLocker::LockWithTimeout(bigtime_t timeout)
{
	thread_id self = find_thread(nullptr);
	std::unique_lock<std::mutex> lock(fMutex);
	if (fOwner == self) {
		fCount++;
		return B_OK;
	}
	if (fOwner >= 0) {
		if (timeout <= 0)
			return B_WOULD_BLOCK;
		fWaiting++;
		auto isFree = [this] { return fOwner < 0; };
		bool acquired = true;
		if (timeout == B_INFINITE_TIMEOUT)
			fReleased.wait(lock, isFree);
		else
			acquired = fReleased.wait_for(lock, std::chrono::microseconds(timeout), isFree);
		fWaiting--;
		if (!acquired)
			return B_TIMED_OUT;
	}
	fOwner = self;
	fCount = 1;
	return B_OK;
}

void
BLocker::Unlock()
{
	std::lock_guard<std::mutex> lock(fMutex);
	if (fOwner != find_thread(nullptr) || fCount <= 0)
		return;
	if (--fCount == 0) {
		fOwner = -1;
		fReleased.notify_one();
	}
}

thread_id
BLocker::LockingThread() const
{
	std::lock_guard<std::mutex> lock(fMutex);
	return fOwner;
}

bool
BLocker::IsLocked() const
{
	std::lock_guard<std::mutex> lock(fMutex);
	return fOwner >= 0 && fOwner == find_thread(nullptr);
}

int32
BLocker::CountLocks() const
{
	std::lock_guard<std::mutex> lock(fMutex);
	return fCount;
}

int32
BLocker::CountLockRequests() const
{
	std::lock_guard<std::mutex> lock(fMutex);
	return fCount + fWaiting;
}
