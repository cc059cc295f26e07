// BMessageRunner on its deadline schedule, its cancellation by count, by deletion and by
// a vanished target; BInvoker sending its message.
#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <vector>

#include <Invoker.h>
#include <Looper.h>
#include <Message.h>
#include <MessageRunner.h>
#include <Messenger.h>
#include <OS.h>

#include "LooperTestSupport.h"
#include "TestSupport.h"

using kvtest::WaitUntil;

namespace {

// Records when each message arrived, by what code.
class TimingLooper : public BLooper
{
public:
	void MessageReceived(BMessage* message) override
	{
		std::lock_guard<std::mutex> guard(fLock);
		fArrivals.push_back({message->what, system_time()});
	}
	int Count(uint32 what)
	{
		std::lock_guard<std::mutex> guard(fLock);
		int count = 0;
		for (const auto& arrival : fArrivals)
			count += arrival.first == what ? 1 : 0;
		return count;
	}
	std::vector<bigtime_t> Times(uint32 what)
	{
		std::lock_guard<std::mutex> guard(fLock);
		std::vector<bigtime_t> times;
		for (const auto& arrival : fArrivals) {
			if (arrival.first == what)
				times.push_back(arrival.second);
		}
		return times;
	}

private:
	std::mutex fLock;
	std::vector<std::pair<uint32, bigtime_t>> fArrivals;
};

class RunnerTest : public ::testing::Test
{
protected:
	void SetUp() override
	{
		fLooper = new TimingLooper;
		fLooper->Run();
		fTarget = BMessenger(fLooper);
	}
	void TearDown() override
	{
		if (fLooper->Lock())
			fLooper->Quit();
	}

	TimingLooper* fLooper = nullptr;
	BMessenger fTarget;
};

TEST_F(RunnerTest, SendsCountMessagesNoEarlierThanTheirDeadlines)
{
	const bigtime_t kInterval = 30000;
	BMessage tick('tick');
	bigtime_t start = system_time();
	BMessageRunner runner(fTarget, &tick, kInterval, 3);
	ASSERT_EQ(B_OK, runner.InitCheck());
	bigtime_t interval = 0;
	int32 count = 0;
	ASSERT_EQ(B_OK, runner.GetInfo(&interval, &count));
	EXPECT_EQ(kInterval, interval);
	EXPECT_EQ(3, count);

	ASSERT_TRUE(WaitUntil([&] { return fLooper->Count('tick') == 3; }));
	std::vector<bigtime_t> times = fLooper->Times('tick');
	for (size_t i = 0; i < times.size(); i++)
		EXPECT_GE(times[i], start + (bigtime_t)(i + 1) * kInterval);
	// The count is used up: the runner has stopped.
	ASSERT_TRUE(WaitUntil([&] { return runner.GetInfo(&interval, &count) == B_BAD_VALUE; }));
}

TEST_F(RunnerTest, DeletionAndZeroCountCancel)
{
	BMessage tick('tick');
	BMessage stop('stop');
	BMessage clock('clok');
	BMessageRunner* deleted = new BMessageRunner(fTarget, &tick, 5000);
	BMessageRunner stopped(fTarget, &stop, 5000);
	ASSERT_TRUE(
	        WaitUntil([&] { return fLooper->Count('tick') >= 2 && fLooper->Count('stop') >= 2; }));
	delete deleted;
	ASSERT_EQ(B_OK, stopped.SetCount(0));
	int ticks = fLooper->Count('tick');
	int stops = fLooper->Count('stop');
	// A third runner measures time: after ten of its intervals nothing more has come.
	BMessageRunner clockRunner(fTarget, &clock, 5000);
	ASSERT_TRUE(WaitUntil([&] { return fLooper->Count('clok') >= 10; }));
	EXPECT_EQ(ticks, fLooper->Count('tick'));
	EXPECT_EQ(stops, fLooper->Count('stop'));
	EXPECT_EQ(B_BAD_VALUE, stopped.GetInfo(nullptr, nullptr));
}

TEST_F(RunnerTest, StopsWhenItsTargetIsGone)
{
	TimingLooper* doomed = new TimingLooper;
	doomed->Run();
	BMessage tick('tick');
	BMessageRunner runner(BMessenger(doomed), &tick, 5000);
	ASSERT_TRUE(WaitUntil([&] { return doomed->Count('tick') >= 1; }));
	ASSERT_TRUE(doomed->Lock());
	doomed->Quit();
	ASSERT_TRUE(WaitUntil([&] { return runner.GetInfo(nullptr, nullptr) == B_BAD_VALUE; }));
}

TEST_F(RunnerTest, RejectsWhatCannotRun)
{
	BMessage tick('tick');
	EXPECT_EQ(B_BAD_VALUE, BMessageRunner(fTarget, &tick, 5000, 0).InitCheck());
	EXPECT_EQ(B_BAD_VALUE, BMessageRunner(fTarget, &tick, 0).InitCheck());
	EXPECT_EQ(B_BAD_VALUE, BMessageRunner(fTarget, nullptr, 5000).InitCheck());
	EXPECT_EQ(B_BAD_VALUE, BMessageRunner(BMessenger(), &tick, 5000).InitCheck());
	BMessageRunner slow(fTarget, &tick, 1000000);
	EXPECT_EQ(B_OK, slow.SetInterval(2000));
	ASSERT_TRUE(WaitUntil([&] { return fLooper->Count('tick') >= 1; }));
}

// Exposes the kind recorded while InvokeNotify runs.
class NotifyingInvoker : public BInvoker
{
public:
	using BInvoker::BInvoker;
	status_t Invoke(BMessage* message) override
	{
		kindDuringInvoke = InvokeKind(&notifyDuringInvoke);
		return BInvoker::Invoke(message);
	}
	uint32 kindDuringInvoke = 0;
	bool notifyDuringInvoke = false;
};

TEST_F(RunnerTest, InvokerSendsItsMessageToItsTarget)
{
	NotifyingInvoker invoker;
	EXPECT_EQ(B_BAD_VALUE, invoker.Invoke(nullptr));
	invoker.SetMessage(new BMessage('invk'));
	EXPECT_EQ((uint32)'invk', invoker.Command());
	EXPECT_EQ(B_BAD_PORT_ID, invoker.Invoke(nullptr));
	EXPECT_EQ(B_OK, invoker.SetTarget(fLooper));
	EXPECT_TRUE(invoker.IsTargetLocal());
	EXPECT_EQ(B_OK, invoker.Invoke(nullptr));
	EXPECT_FALSE(invoker.notifyDuringInvoke);
	BMessage modified('modf');
	EXPECT_EQ(B_OK, invoker.InvokeNotify(&modified, B_CONTROL_MODIFIED));
	EXPECT_TRUE(invoker.notifyDuringInvoke);
	EXPECT_EQ((uint32)B_CONTROL_MODIFIED, invoker.kindDuringInvoke);
	ASSERT_TRUE(
	        WaitUntil([&] { return fLooper->Count('invk') == 1 && fLooper->Count('modf') == 1; }));
}

} // namespace
