// Kernel kit: threads, sleeping and the system clock, with BeOS names and semantics.
#ifndef _OS_H
#define _OS_H

#include <SupportDefs.h>

#define B_OS_NAME_LENGTH 32

enum
{
	B_IDLE_PRIORITY = 0,
	B_LOWEST_ACTIVE_PRIORITY = 1,
	B_LOW_PRIORITY = 5,
	B_NORMAL_PRIORITY = 10,
	B_DISPLAY_PRIORITY = 15,
	B_URGENT_DISPLAY_PRIORITY = 20,
	B_REAL_TIME_DISPLAY_PRIORITY = 100,
	B_URGENT_PRIORITY = 110,
	B_REAL_TIME_PRIORITY = 120
};

enum
{
	B_SYSTEM_TIMEBASE = 0
};

typedef enum
{
	B_THREAD_RUNNING = 1,
	B_THREAD_READY,
	B_THREAD_RECEIVING,
	B_THREAD_ASLEEP,
	B_THREAD_SUSPENDED,
	B_THREAD_WAITING
} thread_state;

typedef struct
{
	thread_id thread;
	team_id team;
	char name[B_OS_NAME_LENGTH];
	thread_state state;
	int32 priority;
} thread_info;

typedef status_t (*thread_func)(void* data);
#define thread_entry thread_func

// A spawned thread starts suspended and runs func(data) once resume_thread (or
// wait_for_thread) releases it. Returns its id or a negative error.
thread_id spawn_thread(thread_func func, const char* name, int32 priority, void* data);
status_t resume_thread(thread_id thread);

// Waits until the thread has ended and hands back its result. A thread that was never
// resumed is resumed first. B_BAD_THREAD_ID for unknown ids and for the caller itself.
status_t wait_for_thread(thread_id thread, status_t* exitValue);

// Linux cannot stop a thread at an arbitrary point safely, so a kill takes effect at a
// point where the target is known to hold no kit state: immediately if it has not been
// resumed yet, otherwise at its next snooze()/snooze_until() (which then unwinds the
// thread, running destructors). A thread that never sleeps again runs to its end.
status_t kill_thread(thread_id thread);

// Ends the calling thread with the given result (unwinding its stack).
void exit_thread(status_t status);

status_t rename_thread(thread_id thread, const char* newName);

// find_thread(NULL) is the caller's id; with a name, the first kit thread of that name.
thread_id find_thread(const char* name);

status_t get_thread_info(thread_id thread, thread_info* info);

// Sleeps for at least the given microseconds (B_OK), or is a kill point (see kill_thread).
status_t snooze(bigtime_t microseconds);
status_t snooze_until(bigtime_t time, int timeBase);

// Microseconds since boot, monotonic.
bigtime_t system_time(void);

// Reports message with a backtrace-free note on standard error and returns; the kit
// never stops the process for it.
void debugger(const char* message);

#endif // _OS_H
