// BAutolock: locks a BLocker (or anything with Lock()/Unlock(), such as a BLooper) for
// the lifetime of the object. IsLocked() tells whether the lock was obtained.
#ifndef _AUTOLOCK_H
#define _AUTOLOCK_H

#include <Locker.h>

class BAutolock
{
public:
	BAutolock(BLocker* locker) : BAutolock(locker, &_Unlock<BLocker>)
	{
		fLocked = locker != nullptr && locker->Lock();
	}

	BAutolock(BLocker& locker) : BAutolock(&locker) {}

	// Any lockable kit object, BLooper above all.
	template <typename Lockable>
	BAutolock(Lockable* lockable) : BAutolock(lockable, &_Unlock<Lockable>)
	{
		fLocked = lockable != nullptr && lockable->Lock();
	}

	~BAutolock()
	{
		if (fLocked)
			fUnlock(fObject);
	}

	bool IsLocked() const { return fLocked; }

	void Unlock()
	{
		if (fLocked) {
			fLocked = false;
			fUnlock(fObject);
		}
	}

private:
	BAutolock(void* object, void (*unlock)(void*))
	    : fObject(object), fUnlock(unlock), fLocked(false)
	{}

	BAutolock(const BAutolock&) = delete;
	BAutolock& operator=(const BAutolock&) = delete;

	template <typename Lockable> static void _Unlock(void* object)
	{
		static_cast<Lockable*>(object)->Unlock();
	}

	void* fObject;
	void (*fUnlock)(void*);
	bool fLocked;
};

#endif // _AUTOLOCK_H
