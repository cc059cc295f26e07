// Threads with BeOS semantics over pthreads: spawned suspended, identified by their
// Linux thread id, waitable for their result, and killable at safe points.
#include <OS.h>

#include <condition_variable>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <mutex>

#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "ThreadPrivate.h"

namespace {

enum class ThreadPhase
{
	kSuspended,
	kRunning,
	kFinished
};

struct ThreadRecord
{
	thread_id id = -1;
	char name[B_OS_NAME_LENGTH] = {};
	thread_func function = nullptr;
	void* data = nullptr;
	int32 priority = B_NORMAL_PRIORITY;
	ThreadPhase phase = ThreadPhase::kSuspended;
	bool killed = false;
	bool spawnedByKit = true;
	status_t exitValue = B_OK;
	std::condition_variable changed;
};

typedef std::shared_ptr<ThreadRecord> RecordRef;

// Finished threads that nobody waited for keep their result for a while, as on BeOS,
// but not forever.
const size_t kMaxUnreapedThreads = 256;

// The bookkeeping is never destroyed: detached threads may still finish while the
// process runs its exit handlers.
std::mutex& sLock = *new std::mutex;
std::map<thread_id, RecordRef>& sThreads = *new std::map<thread_id, RecordRef>;
std::deque<thread_id>& sFinishedOrder = *new std::deque<thread_id>;
thread_local RecordRef sCurrent;
thread_local thread_id sCurrentTid = -1;

// Locks ask for the caller's id on every call: ask the kernel once per thread, and
// again in a forked child, whose only thread has a new id.
thread_id
CurrentTid()
{
	static const int sForkHandler = pthread_atfork(nullptr, nullptr, [] { sCurrentTid = -1; });
	(void)sForkHandler;
	if (sCurrentTid < 0)
		sCurrentTid = static_cast<thread_id>(syscall(SYS_gettid));
	return sCurrentTid;
}

RecordRef
Lookup(thread_id id)
{
	auto found = sThreads.find(id);
	return found != sThreads.end() ? found->second : RecordRef();
}

void
SetName(ThreadRecord& record, const char* name)
{
	strncpy(record.name, name != nullptr ? name : "", B_OS_NAME_LENGTH - 1);
	record.name[B_OS_NAME_LENGTH - 1] = '\0';
}

// Marks the thread finished however it leaves its function: return, exit_thread or kill.
struct FinishGuard
{
	RecordRef record;
	~FinishGuard()
	{
		std::lock_guard<std::mutex> lock(sLock);
		record->phase = ThreadPhase::kFinished;
		record->changed.notify_all();
		sFinishedOrder.push_back(record->id);
		while (sFinishedOrder.size() > kMaxUnreapedThreads) {
			thread_id oldest = sFinishedOrder.front();
			sFinishedOrder.pop_front();
			RecordRef old = Lookup(oldest);
			if (old && old->phase == ThreadPhase::kFinished)
				sThreads.erase(oldest);
		}
	}
};

void*
ThreadEntry(void* argument)
{
	RecordRef record = *static_cast<RecordRef*>(argument);
	delete static_cast<RecordRef*>(argument);
	sCurrent = record;
	pthread_setname_np(pthread_self(), std::string(record->name).substr(0, 15).c_str());

	std::unique_lock<std::mutex> lock(sLock);
	record->id = CurrentTid();
	sThreads[record->id] = record;
	record->changed.notify_all();
	record->changed.wait(lock, [&] { return record->phase != ThreadPhase::kSuspended; });
	bool killed = record->killed;
	lock.unlock();

	FinishGuard guard{record};
	if (killed) {
		record->exitValue = B_INTERRUPTED;
		return nullptr;
	}
	status_t result = record->function(record->data);
	std::lock_guard<std::mutex> resultLock(sLock);
	record->exitValue = result;
	return nullptr;
}

} // namespace

thread_id
spawn_thread(thread_func func, const char* name, int32 priority, void* data)
{
	if (func == nullptr)
		return B_BAD_VALUE;
	RecordRef record = std::make_shared<ThreadRecord>();
	SetName(*record, name != nullptr ? name : "unnamed thread");
	record->function = func;
	record->data = data;
	record->priority = priority;

	pthread_attr_t attributes;
	pthread_attr_init(&attributes);
	pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
	pthread_t handle;
	RecordRef* argument = new RecordRef(record);
	int error = pthread_create(&handle, &attributes, ThreadEntry, argument);
	pthread_attr_destroy(&attributes);
	if (error != 0) {
		delete argument;
		return B_NO_MORE_THREADS;
	}
	std::unique_lock<std::mutex> lock(sLock);
	record->changed.wait(lock, [&] { return record->id >= 0; });
	return record->id;
}

status_t
resume_thread(thread_id thread)
{
	std::lock_guard<std::mutex> lock(sLock);
	RecordRef record = Lookup(thread);
	if (!record || !record->spawnedByKit)
		return B_BAD_THREAD_ID;
	if (record->phase != ThreadPhase::kSuspended)
		return B_BAD_THREAD_STATE;
	record->phase = ThreadPhase::kRunning;
	record->changed.notify_all();
	return B_OK;
}

status_t
wait_for_thread(thread_id thread, status_t* exitValue)
{
	std::unique_lock<std::mutex> lock(sLock);
	RecordRef record = Lookup(thread);
	if (!record || !record->spawnedByKit || thread == CurrentTid())
		return B_BAD_THREAD_ID;
	if (record->phase == ThreadPhase::kSuspended) {
		record->phase = ThreadPhase::kRunning;
		record->changed.notify_all();
	}
	record->changed.wait(lock, [&] { return record->phase == ThreadPhase::kFinished; });
	if (exitValue != nullptr)
		*exitValue = record->exitValue;
	sThreads.erase(thread);
	return B_OK;
}

status_t
kill_thread(thread_id thread)
{
	{
		std::lock_guard<std::mutex> lock(sLock);
		RecordRef record = Lookup(thread);
		if (!record || !record->spawnedByKit || record->phase == ThreadPhase::kFinished)
			return B_BAD_THREAD_ID;
		record->killed = true;
		if (record->phase == ThreadPhase::kSuspended)
			record->phase = ThreadPhase::kRunning;
		record->changed.notify_all();
	}
	if (thread == CurrentTid())
		exit_thread(B_INTERRUPTED);
	return B_OK;
}

void
exit_thread(status_t status)
{
	if (sCurrent) {
		std::lock_guard<std::mutex> lock(sLock);
		sCurrent->exitValue = status;
	}
	pthread_exit(nullptr);
}

status_t
rename_thread(thread_id thread, const char* newName)
{
	if (newName == nullptr)
		return B_BAD_VALUE;
	std::lock_guard<std::mutex> lock(sLock);
	RecordRef record = Lookup(thread);
	if (!record) {
		// Threads the kit did not start (the main thread) get a name-only record.
		if (thread != CurrentTid())
			return B_BAD_THREAD_ID;
		record = std::make_shared<ThreadRecord>();
		record->id = thread;
		record->spawnedByKit = false;
		record->phase = ThreadPhase::kRunning;
		sThreads[thread] = record;
	}
	SetName(*record, newName);
	return B_OK;
}

thread_id
find_thread(const char* name)
{
	if (name == nullptr)
		return CurrentTid();
	std::lock_guard<std::mutex> lock(sLock);
	for (const auto& [id, record] : sThreads) {
		if (record->phase != ThreadPhase::kFinished && strcmp(record->name, name) == 0)
			return id;
	}
	return B_NAME_NOT_FOUND;
}

status_t
get_thread_info(thread_id thread, thread_info* info)
{
	if (info == nullptr)
		return B_BAD_VALUE;
	std::lock_guard<std::mutex> lock(sLock);
	RecordRef record = Lookup(thread);
	if (!record && thread != CurrentTid())
		return B_BAD_THREAD_ID;
	memset(info, 0, sizeof(*info));
	info->thread = thread;
	info->team = static_cast<team_id>(getpid());
	info->priority = record ? record->priority : B_NORMAL_PRIORITY;
	info->state = record && record->phase == ThreadPhase::kSuspended ? B_THREAD_SUSPENDED
	                                                                 : B_THREAD_RUNNING;
	if (record)
		memcpy(info->name, record->name, B_OS_NAME_LENGTH);
	return B_OK;
}

namespace BPrivate {

status_t
SleepUntil(bigtime_t wakeTime)
{
	RecordRef record = sCurrent;
	if (!record || !record->spawnedByKit) {
		bigtime_t now = system_time();
		if (wakeTime > now) {
			timespec delay = {static_cast<time_t>((wakeTime - now) / 1000000),
			                  static_cast<long>((wakeTime - now) % 1000000 * 1000)};
			while (nanosleep(&delay, &delay) != 0) {
			}
		}
		return B_OK;
	}
	std::unique_lock<std::mutex> lock(sLock);
	while (!record->killed) {
		bigtime_t now = system_time();
		if (now >= wakeTime)
			break;
		record->changed.wait_for(lock, std::chrono::microseconds(wakeTime - now));
	}
	bool killed = record->killed;
	lock.unlock();
	if (killed)
		exit_thread(B_INTERRUPTED);
	return B_OK;
}

} // namespace BPrivate
