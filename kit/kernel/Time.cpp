// The system clock, sleeping, and debugger().
#include <OS.h>

#include <cerrno>
#include <cstdio>
#include <ctime>

#include "ThreadPrivate.h"

bigtime_t
system_time(void)
{
	timespec now;
	clock_gettime(CLOCK_MONOTONIC, &now);
	return bigtime_t(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

status_t
snooze_until(bigtime_t time, int timeBase)
{
	if (timeBase != B_SYSTEM_TIMEBASE)
		return B_BAD_VALUE;
	return BPrivate::SleepUntil(time);
}

status_t
snooze(bigtime_t microseconds)
{
	if (microseconds < 0)
		microseconds = 0;
	return snooze_until(system_time() + microseconds, B_SYSTEM_TIMEBASE);
}

void
debugger(const char* message)
{
	fprintf(stderr, "debugger() called: %s\n", message != nullptr ? message : "(no message)");
}
