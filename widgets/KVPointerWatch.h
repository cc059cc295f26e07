// KVPointerWatch: wakes a waiting thread when the pointer moves or a button goes down in
// one of the program's windows. It listens to the windows' own mouse messages through a
// filter in each window, so a thread that waits on it costs nothing while the pointer is
// elsewhere or still.
#ifndef KV_POINTER_WATCH_H
#define KV_POINTER_WATCH_H

#include <memory>

#include <OS.h>

class BWindow;

class KVPointerWatch
{
public:
	KVPointerWatch();
	// Ends every wait. The filters stay with their windows (which own and delete them)
	// and fall silent; a later watch replaces them.
	~KVPointerWatch();

	// Adds this watch's filter to the window unless it has it already. Call it with the
	// window locked.
	void Watch(BWindow* window);

	// How many notices have come so far; a wait is for one newer than a stamp.
	uint64 Stamp() const;
	// Waits for a notice newer than stamp, at most timeout microseconds. True when one
	// came; false on time-out or once Stop() was called.
	bool WaitForNotice(uint64 stamp, bigtime_t timeout) const;
	// Ends the current and every later wait.
	void Stop();

private:
	struct Notices;
	class MouseFilter;

	std::shared_ptr<Notices> fNotices;
};

#endif // KV_POINTER_WATCH_H
