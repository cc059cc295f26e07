// Threads: suspended start, results, naming, kill points, and the clock.
#include <OS.h>

#include <atomic>

#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "TestSupport.h"

namespace {

std::atomic<int> sRuns;

status_t
CountAndReturn(void* data)
{
	sRuns++;
	return static_cast<status_t>(reinterpret_cast<intptr_t>(data));
}

status_t
SleepForever(void* data)
{
	static_cast<std::atomic<bool>*>(data)->store(true);
	while (true)
		snooze(1000000);
	return B_OK;
}

} // namespace

TEST(ThreadTest, SpawnedThreadWaitsForResumeAndReturnsItsResult)
{
	sRuns = 0;
	thread_id thread = spawn_thread(CountAndReturn, "counter", B_NORMAL_PRIORITY,
	                                reinterpret_cast<void*>(intptr_t(42)));
	ASSERT_GT(thread, 0);
	EXPECT_EQ(find_thread("counter"), thread);
	EXPECT_EQ(sRuns.load(), 0) << "a spawned thread must not run before it is resumed";

	EXPECT_EQ(resume_thread(thread), B_OK);
	status_t result = B_ERROR;
	EXPECT_EQ(wait_for_thread(thread, &result), B_OK);
	EXPECT_EQ(result, 42);
	EXPECT_EQ(sRuns.load(), 1);
	EXPECT_EQ(wait_for_thread(thread, &result), B_BAD_THREAD_ID) << "a reaped thread is gone";
}

TEST(ThreadTest, WaitingOnASuspendedThreadStartsIt)
{
	thread_id thread = spawn_thread(CountAndReturn, "lazy", B_LOW_PRIORITY,
	                                reinterpret_cast<void*>(intptr_t(7)));
	status_t result = 0;
	ASSERT_EQ(wait_for_thread(thread, &result), B_OK);
	EXPECT_EQ(result, 7);
}

TEST(ThreadTest, BadIdsAndArgumentsFailCleanly)
{
	EXPECT_EQ(spawn_thread(nullptr, "none", B_NORMAL_PRIORITY, nullptr), B_BAD_VALUE);
	EXPECT_EQ(resume_thread(-5), B_BAD_THREAD_ID);
	EXPECT_EQ(kill_thread(-5), B_BAD_THREAD_ID);
	EXPECT_EQ(wait_for_thread(find_thread(nullptr), nullptr), B_BAD_THREAD_ID);
	EXPECT_EQ(find_thread("no thread has this name"), B_NAME_NOT_FOUND);
	EXPECT_EQ(rename_thread(find_thread(nullptr), nullptr), B_BAD_VALUE);
}

TEST(ThreadTest, RenameIsVisibleToFindAndInfo)
{
	ASSERT_EQ(rename_thread(find_thread(nullptr), "test main"), B_OK);
	EXPECT_EQ(find_thread("test main"), find_thread(nullptr));
	thread_info info;
	ASSERT_EQ(get_thread_info(find_thread(nullptr), &info), B_OK);
	EXPECT_STREQ(info.name, "test main");
	EXPECT_GT(info.team, 0);
}

TEST(ThreadTest, KillEndsASleepingThreadAndASuspendedOne)
{
	std::atomic<bool> started(false);
	thread_id sleeper = spawn_thread(SleepForever, "sleeper", B_NORMAL_PRIORITY, &started);
	resume_thread(sleeper);
	ASSERT_TRUE(kvtest::WaitUntil([&] { return started.load(); }));
	EXPECT_EQ(kill_thread(sleeper), B_OK);
	status_t result = B_OK;
	EXPECT_EQ(wait_for_thread(sleeper, &result), B_OK);
	EXPECT_EQ(result, B_INTERRUPTED);

	sRuns = 0;
	thread_id never = spawn_thread(CountAndReturn, "never", B_NORMAL_PRIORITY, nullptr);
	EXPECT_EQ(kill_thread(never), B_OK);
	EXPECT_EQ(wait_for_thread(never, &result), B_OK);
	EXPECT_EQ(sRuns.load(), 0) << "a thread killed before it ran must never run";
}

TEST(ThreadTest, SnoozeSleepsAtLeastTheTimeAsked)
{
	bigtime_t start = system_time();
	EXPECT_EQ(snooze(20000), B_OK);
	EXPECT_GE(system_time() - start, 20000);
	EXPECT_EQ(snooze_until(system_time() - 1000, B_SYSTEM_TIMEBASE), B_OK);
	EXPECT_EQ(snooze_until(0, 1), B_BAD_VALUE);
}

TEST(ThreadTest, ForkedChildSeesItsOwnThreadId)
{
	thread_id parent = find_thread(nullptr);
	int pipeEnds[2];
	ASSERT_EQ(pipe(pipeEnds), 0);
	pid_t child = fork();
	if (child == 0) {
		thread_id own = find_thread(nullptr);
		ssize_t written = write(pipeEnds[1], &own, sizeof(own));
		_exit(written == sizeof(own) ? 0 : 1);
	}
	thread_id fromChild = -1;
	ASSERT_EQ(read(pipeEnds[0], &fromChild, sizeof(fromChild)), ssize_t(sizeof(fromChild)));
	waitpid(child, nullptr, 0);
	close(pipeEnds[0]);
	close(pipeEnds[1]);
	EXPECT_EQ(fromChild, child);
	EXPECT_NE(fromChild, parent);
}
