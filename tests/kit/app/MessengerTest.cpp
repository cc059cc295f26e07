// BMessenger and replies: validity after the target goes, synchronous sends with their
// reply, timeout and dead-target cases, reply targets, and the hook to other programs.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include <Looper.h>
#include <Message.h>
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

RecordingLooper*
StartLooper(std::atomic<bool>* deleted = nullptr)
{
	RecordingLooper* looper = new RecordingLooper(deleted);
	looper->Run();
	return looper;
}

void
QuitLooper(BLooper* looper)
{
	if (looper->Lock())
		looper->Quit();
}

TEST(MessengerTest, MessengerToADeletedLooperIsInvalid)
{
	std::atomic<bool> deleted{false};
	RecordingLooper* looper = StartLooper(&deleted);
	RecordingHandler handler;
	ASSERT_TRUE(looper->Lock());
	looper->AddHandler(&handler);
	looper->Unlock();
	BMessenger toLooper(looper);
	BMessenger toHandler(&handler);
	EXPECT_TRUE(toLooper.IsValid());
	EXPECT_TRUE(toLooper.IsTargetLocal());
	BLooper* found = nullptr;
	EXPECT_EQ(&handler, toHandler.Target(&found));
	EXPECT_EQ(looper, found);

	QuitLooper(looper);
	ASSERT_TRUE(deleted.load());
	for (const BMessenger& messenger : {toLooper, toHandler}) {
		EXPECT_FALSE(messenger.IsValid());
		EXPECT_EQ(B_BAD_PORT_ID, messenger.SendMessage('dead'));
		EXPECT_FALSE(messenger.LockTarget());
		EXPECT_EQ(nullptr, messenger.Target(&found));
		EXPECT_EQ(nullptr, found);
	}
}

TEST(MessengerTest, ConstructionChecksHandlerAndLooper)
{
	RecordingLooper* looper = StartLooper();
	RecordingLooper* other = StartLooper();
	RecordingHandler loose;
	RecordingHandler member;
	ASSERT_TRUE(looper->Lock());
	looper->AddHandler(&member);
	looper->Unlock();
	status_t status = B_OK;
	BMessenger(nullptr, nullptr, &status);
	EXPECT_EQ(B_BAD_VALUE, status);
	BMessenger(&loose, nullptr, &status);
	EXPECT_EQ(B_BAD_HANDLER, status);
	BMessenger(&member, other, &status);
	EXPECT_EQ(B_MISMATCHED_VALUES, status);
	BMessenger good(&member, looper, &status);
	EXPECT_EQ(B_OK, status);

	BMessenger same(&member);
	BMessenger preferred(looper);
	EXPECT_TRUE(good == same);
	EXPECT_FALSE(good == preferred);
	EXPECT_TRUE((good < preferred) != (preferred < good));
	EXPECT_FALSE(BMessenger().IsValid());

	ASSERT_TRUE(looper->Lock());
	looper->RemoveHandler(&member);
	looper->Unlock();
	EXPECT_FALSE(good.IsValid());
	EXPECT_EQ(B_BAD_HANDLER, good.SendMessage('gone'));
	QuitLooper(looper);
	QuitLooper(other);
}

TEST(MessengerTest, SynchronousSendGetsTheReply)
{
	RecordingLooper* looper = StartLooper();
	BMessenger messenger(looper);
	BMessage request('ping');
	request.AddInt32("value", 7);
	BMessage reply;
	ASSERT_EQ(B_OK, messenger.SendMessage(&request, &reply));
	EXPECT_EQ('pong', reply.what);
	EXPECT_TRUE(reply.IsReply());
	ASSERT_EQ(1u, looper->log.Count());
	BMessage received = looper->log.Messages()[0];
	int32 value = 0;
	EXPECT_EQ(B_OK, received.FindInt32("value", &value));
	EXPECT_EQ(7, value);
	EXPECT_TRUE(received.WasDelivered());
	EXPECT_FALSE(received.IsSourceRemote());
	QuitLooper(looper);
}

// Holds on to the current message to answer it late, or twice.
class SlowLooper : public BLooper
{
public:
	void MessageReceived(BMessage* message) override
	{
		if (message->what == 'hold')
			held = DetachCurrentMessage();
		else if (message->what == 'twce') {
			BMessage reply('one ');
			firstReply = message->SendReply(&reply);
			secondReply = message->SendReply(&reply);
		}
	}
	BMessage* held = nullptr;
	status_t firstReply = B_ERROR;
	status_t secondReply = B_ERROR;
};

TEST(MessengerTest, ReplyTimesOutAndLateOrDuplicateRepliesAreRefused)
{
	SlowLooper* looper = new SlowLooper;
	looper->Run();
	BMessenger messenger(looper);
	BMessage reply;
	BMessage hold('hold');
	EXPECT_EQ(B_TIMED_OUT, messenger.SendMessage(&hold, &reply, B_INFINITE_TIMEOUT, 20000));
	ASSERT_TRUE(looper->Lock());
	ASSERT_NE(nullptr, looper->held);
	// The waiting sender is gone: the late answer has nowhere to go.
	EXPECT_EQ(B_BAD_PORT_ID, looper->held->SendReply('late'));
	delete looper->held;
	looper->Unlock();

	ASSERT_EQ(B_OK, messenger.SendMessage('twce', &reply));
	EXPECT_EQ('one ', reply.what);
	ASSERT_TRUE(looper->Lock());
	EXPECT_EQ(B_OK, looper->firstReply);
	EXPECT_EQ(B_DUPLICATE_REPLY, looper->secondReply);
	looper->Quit();
}

TEST(MessengerTest, TargetHandlerDyingWithTheMessageQueuedAnswersNoReply)
{
	RecordingLooper* looper = StartLooper();
	RecordingHandler* handler = new RecordingHandler;
	ASSERT_TRUE(looper->Lock());
	looper->AddHandler(handler);
	// The looper's thread takes this one and waits for the lock; the ping stays queued.
	looper->PostMessage('wait');
	BMessenger messenger(handler);
	BMessage reply;
	status_t status = B_ERROR;
	std::thread sender([&] { status = messenger.SendMessage('ping', &reply); });
	ASSERT_TRUE(WaitUntil(
	        [&] { return looper->MessageQueue()->FindMessage((uint32)'ping') != nullptr; }));
	delete handler;
	looper->Unlock();
	sender.join();
	EXPECT_EQ(B_OK, status);
	EXPECT_EQ((uint32)B_NO_REPLY, reply.what);
	QuitLooper(looper);
}

TEST(MessengerTest, SynchronousSendToOwnLooperIsRefused)
{
	class SelfSender : public BLooper
	{
	public:
		void MessageReceived(BMessage*) override
		{
			BMessage reply;
			result = BMessenger(this).SendMessage('self', &reply);
			done = true;
		}
		std::atomic<status_t> result{B_OK};
		std::atomic<bool> done{false};
	};
	SelfSender* looper = new SelfSender;
	looper->Run();
	looper->PostMessage('go  ');
	ASSERT_TRUE(WaitUntil([&] { return looper->done.load(); }));
	EXPECT_EQ(B_MESSAGE_TO_SELF, looper->result.load());
	QuitLooper(looper);
}

TEST(MessengerTest, AsynchronousRepliesGoToTheReplyHandler)
{
	RecordingLooper* server = StartLooper();
	RecordingLooper* client = StartLooper();
	RecordingHandler replies;
	ASSERT_TRUE(client->Lock());
	client->AddHandler(&replies);
	client->Unlock();
	BMessage ping('ping');
	ASSERT_EQ(B_OK, BMessenger(server).SendMessage(&ping, &replies));
	ASSERT_TRUE(WaitUntil([&] { return replies.log.Count() == 1; }));
	EXPECT_EQ('pong', replies.log.Messages()[0].what);
	EXPECT_TRUE(replies.log.Messages()[0].IsReply());
	ASSERT_TRUE(client->Lock());
	client->RemoveHandler(&replies);
	client->Quit();
	QuitLooper(server);
}

// Stands in for the transport between programs.
std::atomic<int> sRemoteSends{0};
BPrivate::messenger_data sLastTarget;

status_t
FakeRemoteSend(const BPrivate::messenger_data& target, const BMessage&, bigtime_t, BMessage* reply,
               bigtime_t)
{
	sLastTarget = target;
	sRemoteSends++;
	if (reply != nullptr)
		*reply = BMessage('rmte');
	return B_OK;
}

TEST(MessengerTest, RemoteTargetsGoThroughTheTransportHook)
{
	sRemoteSends = 0;
	// Process 1 is never this test.
	BPrivate::messenger_data remote = {1, 5, -1};
	BMessenger messenger = BPrivate::MakeMessenger(remote);
	EXPECT_FALSE(messenger.IsTargetLocal());
	EXPECT_TRUE(messenger.IsValid());

	BPrivate::SetRemoteSendHook(nullptr);
	EXPECT_EQ(B_BAD_PORT_ID, messenger.SendMessage('away'));
	BPrivate::SetRemoteSendHook(FakeRemoteSend);
	EXPECT_EQ(B_OK, messenger.SendMessage('away'));
	BMessage reply;
	EXPECT_EQ(B_OK, messenger.SendMessage('sync', &reply));
	EXPECT_EQ('rmte', reply.what);
	EXPECT_EQ(2, sRemoteSends.load());
	EXPECT_EQ(5, sLastTarget.looperToken);
	BPrivate::SetRemoteSendHook(nullptr);
}

TEST(MessengerTest, RemoteMessagesReachTheApplicationLooperMarkedRemote)
{
	std::atomic<bool> deleted{false};
	RecordingLooper* looper = StartLooper(&deleted);
	EXPECT_EQ(B_BAD_PORT_ID, BPrivate::DeliverRemote(new BMessage('nowh')));
	BPrivate::SetApplicationLooper(looper);
	ASSERT_EQ(B_OK, BPrivate::DeliverRemote(new BMessage('from')));
	ASSERT_TRUE(WaitUntil([&] { return looper->log.Count() == 1; }));
	EXPECT_TRUE(looper->log.Messages()[0].IsSourceRemote());
	QuitLooper(looper);
	// The registration goes with the looper.
	EXPECT_EQ(B_BAD_PORT_ID, BPrivate::DeliverRemote(new BMessage('late')));
}

TEST(MessengerTest, PointersFromAnotherProgramAreDroppedOnArrival)
{
	std::atomic<bool> deleted{false};
	RecordingLooper* looper = StartLooper(&deleted);
	BPrivate::SetApplicationLooper(looper);
	int local = 0;
	BMessage* message = new BMessage('kvUo');
	message->AddPointer("source", &local);
	message->AddPointer("source", &deleted);
	message->AddInt32("slot", 3);
	BMessage inner('innr');
	inner.AddPointer("button", &local);
	inner.AddString("name", "kept");
	message->AddMessage("inner", &inner);
	ASSERT_EQ(B_OK, BPrivate::DeliverRemote(message));
	ASSERT_TRUE(WaitUntil([&] { return looper->log.Count() == 1; }));

	BMessage arrived = looper->log.Messages()[0];
	EXPECT_FALSE(arrived.HasPointer("source"));
	int32 slot = 0;
	EXPECT_EQ(B_OK, arrived.FindInt32("slot", &slot));
	EXPECT_EQ(3, slot);
	BMessage arrivedInner;
	ASSERT_EQ(B_OK, arrived.FindMessage("inner", &arrivedInner));
	EXPECT_FALSE(arrivedInner.HasPointer("button"));
	const char* name = nullptr;
	ASSERT_EQ(B_OK, arrivedInner.FindString("name", &name));
	EXPECT_STREQ("kept", name);
	QuitLooper(looper);
}

} // namespace
