// BLocker: a recursive lock owned by a thread. The owner may lock again; each Lock()
// needs its Unlock(). Unlocking from a thread that does not own the lock is refused.
#ifndef _LOCKER_H
#define _LOCKER_H

#include <condition_variable>
#include <mutex>

#include <OS.h>

class BLocker
{
public:
	BLocker();
	BLocker(const char* name);
	BLocker(bool benaphoreStyle);
	BLocker(const char* name, bool benaphoreStyle);
	virtual ~BLocker();

	status_t InitCheck() const { return B_OK; }

	bool Lock();
	// B_OK, B_TIMED_OUT, or B_WOULD_BLOCK for a zero timeout that could not lock.
	status_t LockWithTimeout(bigtime_t timeout);
	void Unlock();

	thread_id LockingThread() const;
	bool IsLocked() const;
	int32 CountLocks() const;
	int32 CountLockRequests() const;
	const char* Name() const { return fName; }

private:
	BLocker(const BLocker&) = delete;
	BLocker& operator=(const BLocker&) = delete;

	const char* fName;
	mutable std::mutex fMutex;
	std::condition_variable fReleased;
	thread_id fOwner;
	int32 fCount;
	int32 fWaiting;
};

#endif // _LOCKER_H
