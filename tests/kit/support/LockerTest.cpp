// BLocker: recursion by the owner, exclusion of others, timeouts, and BAutolock.
#include <Autolock.h>
#include <Locker.h>

#include <atomic>
#include <thread>

#include <gtest/gtest.h>

TEST(LockerTest, OwnerMayLockAgainAndMustUnlockAsOften)
{
	BLocker locker("recursive");
	ASSERT_TRUE(locker.Lock());
	ASSERT_TRUE(locker.Lock());
	EXPECT_EQ(locker.CountLocks(), 2);
	EXPECT_TRUE(locker.IsLocked());
	EXPECT_EQ(locker.LockingThread(), find_thread(nullptr));
	locker.Unlock();

	status_t fromOther = B_OK;
	std::thread other([&] { fromOther = locker.LockWithTimeout(10000); });
	other.join();
	EXPECT_EQ(fromOther, B_TIMED_OUT) << "still held once: others must wait";

	locker.Unlock();
	EXPECT_FALSE(locker.IsLocked());
	std::thread taker([&] {
		fromOther = locker.LockWithTimeout(0);
		if (fromOther == B_OK)
			locker.Unlock();
	});
	taker.join();
	EXPECT_EQ(fromOther, B_OK);
}

TEST(LockerTest, UnlockByAThreadThatDoesNotOwnTheLockIsIgnored)
{
	BLocker locker;
	locker.Lock();
	std::thread intruder([&] { locker.Unlock(); });
	intruder.join();
	EXPECT_TRUE(locker.IsLocked());
	EXPECT_EQ(locker.LockWithTimeout(0), B_OK);
	locker.Unlock();
	locker.Unlock();
}

TEST(LockerTest, ExcludesOtherThreadsUnderContention)
{
	BLocker locker;
	int counter = 0;
	auto work = [&] {
		for (int i = 0; i < 2000; i++) {
			BAutolock lock(locker);
			ASSERT_TRUE(lock.IsLocked());
			counter++;
		}
	};
	std::thread a(work), b(work);
	a.join();
	b.join();
	EXPECT_EQ(counter, 4000);
}

TEST(LockerTest, AutolockReleasesEarlyOrAtScopeEnd)
{
	BLocker locker;
	{
		BAutolock lock(&locker);
		EXPECT_TRUE(locker.IsLocked());
		lock.Unlock();
		EXPECT_FALSE(locker.IsLocked());
	}
	EXPECT_EQ(locker.CountLocks(), 0);
	BAutolock none(static_cast<BLocker*>(nullptr));
	EXPECT_FALSE(none.IsLocked());
}
