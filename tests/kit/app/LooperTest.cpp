// BLooper and BHandler: locking, targeting, per-sender order, filters, and quitting from
// the looper's own thread and from others without losing or leaking messages.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include <Looper.h>
#include <Message.h>
#include <MessageFilter.h>
#include <MessageQueue.h>
#include <Messenger.h>
#include <OS.h>

#include "LooperTestSupport.h"
#include "MessagePrivate.h"
#include "MessengerPrivate.h"
#include "RemoteTransport.h"
#include "TestSupport.h"

using kvtest::RecordingHandler;
using kvtest::RecordingLooper;
using kvtest::WaitUntil;

namespace {

// Starts a looper and quits it (from this thread) at the end of the test.
template <typename LooperType> class RunningLooper
{
public:
	template <typename... Args>
	explicit RunningLooper(Args&&... args) : fLooper(new LooperType(args...))
	{
		fLooper->Run();
	}
	~RunningLooper()
	{
		if (fLooper != nullptr && fLooper->Lock())
			fLooper->Quit();
	}
	LooperType* operator->() const { return fLooper; }
	LooperType* Get() const { return fLooper; }
	void Forget() { fLooper = nullptr; }

private:
	LooperType* fLooper;
};

TEST(LooperTest, LockBelongsToCreatorUntilRunAndIsRecursive)
{
	std::atomic<bool> deleted{false};
	RecordingLooper* looper = new RecordingLooper(&deleted);
	EXPECT_TRUE(looper->IsLocked());
	EXPECT_EQ(find_thread(nullptr), looper->LockingThread());

	status_t fromOther = B_OK;
	std::thread([&] { fromOther = looper->LockWithTimeout(10000); }).join();
	EXPECT_EQ(B_TIMED_OUT, fromOther);

	looper->Run();
	EXPECT_FALSE(looper->IsLocked());
	ASSERT_TRUE(looper->Lock());
	ASSERT_TRUE(looper->Lock());
	EXPECT_EQ(2, looper->CountLocks());
	looper->Unlock();
	EXPECT_TRUE(looper->IsLocked());
	looper->Quit();
	EXPECT_TRUE(deleted.load());
}

TEST(LooperTest, QuitBeforeRunDeletesTheLooper)
{
	std::atomic<bool> deleted{false};
	RecordingLooper* looper = new RecordingLooper(&deleted);
	BMessenger messenger(looper);
	looper->Quit();
	EXPECT_TRUE(deleted.load());
	EXPECT_FALSE(messenger.IsValid());
}

TEST(LooperTest, PostMessageTargetsLooperHandlerOrPreferredHandler)
{
	RunningLooper<RecordingLooper> looper;
	RecordingHandler handler, preferred;
	RecordingHandler stranger;
	ASSERT_TRUE(looper->Lock());
	looper->AddHandler(&handler);
	looper->AddHandler(&preferred);
	looper->SetPreferredHandler(&preferred);
	EXPECT_EQ(looper.Get(), handler.NextHandler());
	looper->Unlock();

	EXPECT_EQ(B_OK, looper->PostMessage('self'));
	EXPECT_EQ(B_OK, looper->PostMessage('hand', &handler));
	EXPECT_EQ(B_OK, looper->PostMessage('pref', nullptr));
	EXPECT_EQ(B_BAD_HANDLER, looper->PostMessage('lost', &stranger));
	ASSERT_TRUE(WaitUntil([&] { return preferred.log.Count() == 1; }));
	ASSERT_TRUE(WaitUntil([&] { return looper->log.Count() == 1 && handler.log.Count() == 1; }));
	EXPECT_EQ('self', looper->log.Messages()[0].what);
	EXPECT_EQ('hand', handler.log.Messages()[0].what);
	EXPECT_EQ('pref', preferred.log.Messages()[0].what);

	ASSERT_TRUE(looper->Lock());
	looper->RemoveHandler(&handler);
	looper->RemoveHandler(&preferred);
	EXPECT_EQ(nullptr, looper->PreferredHandler());
	looper->Unlock();
}

TEST(LooperTest, MessagesFromSeveralThreadsKeepEachSendersOrder)
{
	const int kSenders = 4;
	const int kPerSender = 2000;
	RunningLooper<RecordingLooper> looper;
	BMessenger messenger(looper.Get());
	std::vector<std::thread> senders;
	for (int sender = 0; sender < kSenders; sender++) {
		senders.emplace_back([&, sender] {
			for (int i = 0; i < kPerSender; i++) {
				BMessage message('ordr');
				message.AddInt32("sender", sender);
				message.AddInt32("sequence", i);
				ASSERT_EQ(B_OK, messenger.SendMessage(&message));
			}
		});
	}
	for (std::thread& thread : senders)
		thread.join();
	ASSERT_TRUE(WaitUntil([&] { return looper->log.Count() == kSenders * kPerSender; },
	                      std::chrono::seconds(30)));
	std::vector<int32> next(kSenders, 0);
	for (const BMessage& message : looper->log.Messages()) {
		int32 sender = -1;
		int32 sequence = -1;
		ASSERT_EQ(B_OK, message.FindInt32("sender", &sender));
		ASSERT_EQ(B_OK, message.FindInt32("sequence", &sequence));
		ASSERT_EQ(next[sender]++, sequence);
	}
}

TEST(LooperTest, HandlerRemovedAfterSendingDoesNotGetTheMessage)
{
	RunningLooper<RecordingLooper> looper;
	RecordingHandler handler;
	ASSERT_TRUE(looper->Lock());
	looper->AddHandler(&handler);
	EXPECT_EQ(B_OK, looper->PostMessage('late', &handler));
	looper->RemoveHandler(&handler);
	looper->Unlock();
	BMessage reply;
	ASSERT_EQ(B_OK, BMessenger(looper.Get()).SendMessage('sync', &reply));
	EXPECT_EQ(0u, handler.log.Count());
	EXPECT_EQ(nullptr, handler.Looper());
}

TEST(LooperTest, DeletedHandlerLeavesItsLooper)
{
	RunningLooper<RecordingLooper> looper;
	RecordingHandler* handler = new RecordingHandler;
	ASSERT_TRUE(looper->Lock());
	looper->AddHandler(handler);
	looper->Unlock();
	BMessenger messenger(handler);
	EXPECT_TRUE(messenger.IsValid());
	delete handler;
	EXPECT_FALSE(messenger.IsValid());
	ASSERT_TRUE(looper->Lock());
	EXPECT_EQ(1, looper->CountHandlers());
	looper->Unlock();
}

// The application's two quit filters: another program's quit always passes, this
// program's own only while the "window" is active.
class RemoteQuitFilter : public BMessageFilter
{
public:
	explicit RemoteQuitFilter(std::atomic<int>* seen)
	    : BMessageFilter(B_ANY_DELIVERY, B_REMOTE_SOURCE, B_QUIT_REQUESTED), fSeen(seen)
	{}
	filter_result Filter(BMessage*, BHandler**) override
	{
		(*fSeen)++;
		return B_DISPATCH_MESSAGE;
	}

private:
	std::atomic<int>* fSeen;
};

class LocalQuitFilter : public BMessageFilter
{
public:
	LocalQuitFilter(std::atomic<bool>* active, std::atomic<int>* seen)
	    : BMessageFilter(B_ANY_DELIVERY, B_LOCAL_SOURCE, B_QUIT_REQUESTED), fActive(active),
	      fSeen(seen)
	{}
	filter_result Filter(BMessage*, BHandler**) override
	{
		(*fSeen)++;
		return fActive->load() ? B_DISPATCH_MESSAGE : B_SKIP_MESSAGE;
	}

private:
	std::atomic<bool>* fActive;
	std::atomic<int>* fSeen;
};

TEST(LooperTest, QuitFiltersTellLocalFromRemoteRequests)
{
	std::atomic<bool> deleted{false};
	std::atomic<bool> active{false};
	RecordingLooper* looper = new RecordingLooper(&deleted);
	std::atomic<int> remoteSeen{0};
	std::atomic<int> localSeen{0};
	looper->AddFilter(new RemoteQuitFilter(&remoteSeen));
	looper->AddFilter(new LocalQuitFilter(&active, &localSeen));
	looper->Run();
	BMessenger messenger(looper);

	// A local request while inactive is dropped; the sender learns it was not answered.
	BMessage reply;
	ASSERT_EQ(B_OK, messenger.SendMessage(B_QUIT_REQUESTED, &reply));
	EXPECT_EQ((uint32)B_NO_REPLY, reply.what);
	EXPECT_EQ(1, localSeen.load());
	EXPECT_EQ(0, remoteSeen.load());
	EXPECT_FALSE(deleted.load());

	// The same request from another program passes.
	BMessage* request = new BMessage(B_QUIT_REQUESTED);
	BPrivate::MessagePrivate(request).SetTarget(BPrivate::GetMessengerData(messenger).looperToken,
	                                            true);
	ASSERT_EQ(B_OK, BPrivate::DeliverRemote(request));
	ASSERT_TRUE(WaitUntil([&] { return deleted.load(); }));
	EXPECT_EQ(1, remoteSeen.load());
	EXPECT_EQ(1, localSeen.load());
	EXPECT_FALSE(messenger.IsValid());
}

filter_result
RedirectToTarget(BMessage* message, BHandler** target, BMessageFilter* filter)
{
	if (message->what == 'redi')
		*target = filter->Looper()->HandlerAt(1);
	return B_DISPATCH_MESSAGE;
}

filter_result
SkipEverything(BMessage*, BHandler**, BMessageFilter*)
{
	return B_SKIP_MESSAGE;
}

TEST(LooperTest, FiltersRedirectAndSkipByCommandAndDelivery)
{
	RunningLooper<RecordingLooper> looper;
	RecordingHandler other;
	ASSERT_TRUE(looper->Lock());
	looper->AddHandler(&other);
	looper->AddCommonFilter(new BMessageFilter(B_ANY_DELIVERY, B_ANY_SOURCE, RedirectToTarget));
	looper->AddCommonFilter(new BMessageFilter('drop', SkipEverything));
	looper->AddCommonFilter(new BMessageFilter(B_DROPPED_DELIVERY, B_ANY_SOURCE, SkipEverything));
	looper->Unlock();

	BMessage dropped('norm');
	BPrivate::MessagePrivate(&dropped).SetDropped(BPoint(1, 1), BPoint());
	EXPECT_EQ(B_OK, looper->PostMessage(&dropped));
	EXPECT_EQ(B_OK, looper->PostMessage('drop'));
	EXPECT_EQ(B_OK, looper->PostMessage('redi'));
	EXPECT_EQ(B_OK, looper->PostMessage('norm'));
	ASSERT_TRUE(WaitUntil([&] { return looper->log.Count() == 1 && other.log.Count() == 1; }));
	EXPECT_EQ('norm', looper->log.Messages()[0].what);
	EXPECT_FALSE(looper->log.Messages()[0].WasDropped());
	EXPECT_EQ('redi', other.log.Messages()[0].what);
	ASSERT_TRUE(looper->Lock());
	looper->RemoveHandler(&other);
	looper->Unlock();
}

// Two handlers whose filters send every message to each other.
class PingPongFilter : public BMessageFilter
{
public:
	explicit PingPongFilter(BHandler** partner)
	    : BMessageFilter(B_ANY_DELIVERY, B_ANY_SOURCE), fPartner(partner)
	{}
	filter_result Filter(BMessage*, BHandler** target) override
	{
		*target = *fPartner;
		return B_DISPATCH_MESSAGE;
	}

private:
	BHandler** fPartner;
};

TEST(LooperTest, FiltersRedirectingInACircleStillDeliver)
{
	RunningLooper<RecordingLooper> looper;
	RecordingHandler first, second;
	BHandler* firstTarget = &first;
	BHandler* secondTarget = &second;
	ASSERT_TRUE(looper->Lock());
	looper->AddHandler(&first);
	looper->AddHandler(&second);
	first.AddFilter(new PingPongFilter(&secondTarget));
	second.AddFilter(new PingPongFilter(&firstTarget));
	looper->Unlock();
	EXPECT_EQ(B_OK, looper->PostMessage('circ', &first));
	ASSERT_TRUE(WaitUntil([&] { return first.log.Count() + second.log.Count() == 1; }));
	ASSERT_TRUE(looper->Lock());
	looper->RemoveHandler(&first);
	looper->RemoveHandler(&second);
	looper->Unlock();
}

// Counts what it receives into a counter that outlives the looper.
class CountingHandler : public BHandler
{
public:
	explicit CountingHandler(std::atomic<int>* count) : fCount(count) {}
	void MessageReceived(BMessage*) override { (*fCount)++; }

private:
	std::atomic<int>* fCount;
};

TEST(LooperTest, QuitFromAnotherThreadHandlesEverythingQueuedFirst)
{
	std::atomic<bool> deleted{false};
	std::atomic<int> handled{0};
	RecordingLooper* looper = new RecordingLooper(&deleted);
	CountingHandler counter(&handled);
	looper->AddHandler(&counter);
	looper->Run();
	BMessenger messenger(looper);
	// Holding the lock keeps everything below queued when Quit() is called.
	ASSERT_TRUE(looper->Lock());
	const int kMessages = 500;
	for (int i = 0; i < kMessages; i++)
		ASSERT_EQ(B_OK, looper->PostMessage('work', &counter));
	EXPECT_EQ(0, handled.load());
	looper->Quit();
	EXPECT_TRUE(deleted.load());
	EXPECT_EQ(kMessages, handled.load());
	EXPECT_FALSE(messenger.IsValid());
	EXPECT_EQ(B_BAD_PORT_ID, messenger.SendMessage('gone'));
	EXPECT_EQ(nullptr, counter.Looper());
}

TEST(LooperTest, QuitFromOwnThreadDropsTheRestAndAnswersWaitingSenders)
{
	std::atomic<bool> deleted{false};
	RecordingLooper* looper = new RecordingLooper(&deleted);
	looper->Run();
	BMessenger messenger(looper);
	ASSERT_TRUE(looper->Lock());
	looper->PostMessage('quit');
	BMessage reply;
	status_t status = B_ERROR;
	std::thread waiter([&] { status = messenger.SendMessage('ping', &reply); });
	ASSERT_TRUE(WaitUntil(
	        [&] { return looper->MessageQueue()->FindMessage((uint32)'ping') != nullptr; }));
	looper->Unlock();
	waiter.join();
	ASSERT_TRUE(WaitUntil([&] { return deleted.load(); }));
	EXPECT_EQ(B_OK, status);
	EXPECT_EQ((uint32)B_NO_REPLY, reply.what);
}

TEST(LooperTest, QuitRequestedAnswersWithTheDecision)
{
	class Stubborn : public BLooper
	{
	public:
		bool QuitRequested() override { return false; }
	};
	Stubborn* looper = new Stubborn;
	looper->Run();
	BMessage reply;
	ASSERT_EQ(B_OK, BMessenger(looper).SendMessage(B_QUIT_REQUESTED, &reply));
	EXPECT_EQ((uint32)B_REPLY, reply.what);
	bool result = true;
	EXPECT_EQ(B_OK, reply.FindBool("result", &result));
	EXPECT_FALSE(result);
	ASSERT_TRUE(looper->Lock());
	looper->Quit();
}

TEST(LooperTest, KilledLooperThreadLeavesAnInvalidLooper)
{
	class Sleeper : public BLooper
	{
	public:
		void MessageReceived(BMessage* message) override
		{
			if (message->what == 'nap ') {
				asleep = true;
				snooze(10000000);
			}
		}
		std::atomic<bool> asleep{false};
	};
	Sleeper* looper = new Sleeper;
	thread_id thread = looper->Run();
	BMessenger messenger(looper);
	messenger.SendMessage('nap ');
	ASSERT_TRUE(WaitUntil([&] { return looper->asleep.load(); }));
	BMessage reply;
	status_t status = B_ERROR;
	std::thread waiter([&] { status = messenger.SendMessage('ping', &reply); });
	ASSERT_TRUE(WaitUntil([&] { return looper->MessageQueue()->CountMessages() == 1; }));
	EXPECT_EQ(B_OK, kill_thread(thread));
	waiter.join();
	EXPECT_EQ(B_OK, status);
	EXPECT_EQ((uint32)B_NO_REPLY, reply.what);
	EXPECT_FALSE(messenger.IsValid());
	// The object stays behind until Quit() deletes it.
	ASSERT_TRUE(looper->Lock());
	looper->Quit();
}

TEST(LooperTest, HandlerChainEndsInNotUnderstood)
{
	RunningLooper<RecordingLooper> looper;
	BMessage reply;
	ASSERT_EQ(B_OK, BMessenger(looper.Get()).SendMessage('deaf', &reply));
	EXPECT_EQ((uint32)B_MESSAGE_NOT_UNDERSTOOD, reply.what);
	EXPECT_TRUE(reply.IsReply());
}

TEST(LooperTest, LockLooperFailsForALooperThatIsGone)
{
	RecordingHandler handler;
	EXPECT_FALSE(handler.LockLooper());
	std::atomic<bool> deleted{false};
	RecordingLooper* looper = new RecordingLooper(&deleted);
	looper->AddHandler(&handler);
	looper->Run();
	ASSERT_TRUE(handler.LockLooper());
	EXPECT_TRUE(looper->IsLocked());
	handler.UnlockLooper();
	ASSERT_TRUE(looper->Lock());
	looper->Quit();
	EXPECT_EQ(nullptr, handler.Looper());
	EXPECT_EQ(B_BAD_VALUE, handler.LockLooperWithTimeout(0));
}

// BeOS code may lock a looper through a pointer kept after another thread deleted it;
// the kit must fail without touching the object. The sanitizer's own check of the
// object's type at the call would read it, so it is left out here.
__attribute__((no_sanitize("vptr"))) status_t
LockMaybeGone(BLooper* looper, bigtime_t timeout)
{
	return looper->LockWithTimeout(timeout);
}

__attribute__((no_sanitize("vptr"))) bool
LockMaybeGone(BLooper* looper)
{
	return looper->Lock();
}

TEST(LooperTest, LockingALooperThatIsGoneFailsWithoutTouchingIt)
{
	std::atomic<bool> deleted{false};
	RecordingLooper* looper = new RecordingLooper(&deleted);
	looper->Run();
	// Another thread keeps locking it while it quits, as a helper holding a window
	// pointer would.
	std::atomic<int32> locks{0};
	std::thread other([&] {
		while (LockMaybeGone(looper)) {
			locks++;
			looper->Unlock();
		}
	});
	ASSERT_TRUE(WaitUntil([&] { return locks.load() > 0; }));
	ASSERT_TRUE(looper->Lock());
	looper->Quit();
	other.join();
	ASSERT_TRUE(deleted.load());
	EXPECT_FALSE(LockMaybeGone(looper));
	EXPECT_EQ(B_BAD_VALUE, LockMaybeGone(looper, 0));
}

} // namespace
