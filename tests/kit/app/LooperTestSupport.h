// Loopers and handlers that record what they receive, for the looper and messenger tests.
#ifndef KV_LOOPER_TEST_SUPPORT_H
#define KV_LOOPER_TEST_SUPPORT_H

#include <atomic>
#include <mutex>
#include <vector>

#include <Handler.h>
#include <Looper.h>
#include <Message.h>

namespace kvtest {

// What one handler saw: copies of the messages, in arrival order.
class MessageLog
{
public:
	void Add(const BMessage& message)
	{
		std::lock_guard<std::mutex> guard(fLock);
		fMessages.push_back(message);
	}
	size_t Count() const
	{
		std::lock_guard<std::mutex> guard(fLock);
		return fMessages.size();
	}
	std::vector<BMessage> Messages() const
	{
		std::lock_guard<std::mutex> guard(fLock);
		return fMessages;
	}

private:
	mutable std::mutex fLock;
	std::vector<BMessage> fMessages;
};

class RecordingHandler : public BHandler
{
public:
	explicit RecordingHandler(const char* name = "recorder") : BHandler(name) {}
	void MessageReceived(BMessage* message) override { log.Add(*message); }
	MessageLog log;
};

// Records every message, answers 'ping' with 'pong', and reports its own deletion.
class RecordingLooper : public BLooper
{
public:
	explicit RecordingLooper(std::atomic<bool>* deleted = nullptr, const char* name = "recorder")
	    : BLooper(name), fDeleted(deleted)
	{}
	~RecordingLooper() override
	{
		if (fDeleted != nullptr)
			fDeleted->store(true);
	}
	void MessageReceived(BMessage* message) override
	{
		log.Add(*message);
		if (message->what == 'ping') {
			BMessage reply('pong');
			message->SendReply(&reply);
		} else if (message->what == 'quit')
			Quit();
		else if (message->what == 'deaf')
			BLooper::MessageReceived(message);
	}
	MessageLog log;

private:
	std::atomic<bool>* fDeleted;
};

} // namespace kvtest

#endif // KV_LOOPER_TEST_SUPPORT_H
