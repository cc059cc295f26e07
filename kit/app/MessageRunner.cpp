// BMessageRunner and the one scheduler thread that sends every runner's messages on a
// deadline schedule (each due time is the previous one plus the interval, so a slow
// send does not push later messages back).
#include <MessageRunner.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

#include <Message.h>
#include <OS.h>

#include "Delivery.h"

using BPrivate::messenger_data;

namespace {

// Shorter intervals are raised to this, so a runner cannot keep the thread spinning.
const bigtime_t kMinimumInterval = 1000;

struct RunnerEntry
{
	messenger_data target;
	BMessage message;
	bool hasReplyTo = false;
	messenger_data replyTo;
	bigtime_t interval = 0;
	int32 count = -1;
	bigtime_t nextTime = 0;
};

class RunnerScheduler
{
public:
	static RunnerScheduler& Default();

	int32 Add(RunnerEntry&& entry);
	void Remove(int32 id);
	status_t SetInterval(int32 id, bigtime_t interval);
	status_t SetCount(int32 id, int32 count);
	status_t GetInfo(int32 id, bigtime_t* interval, int32* count);

private:
	void _Run();
	bool _SendDue(std::unique_lock<std::mutex>& lock);

	std::mutex fLock;
	std::condition_variable fChanged;
	std::condition_variable fSendDone;
	std::map<int32, RunnerEntry> fRunners;
	int32 fNextId = 1;
	int32 fSending = -1;
	bool fStarted = false;
};

RunnerScheduler&
RunnerScheduler::Default()
{
	// Never destroyed: its thread serves the program until the process ends.
	static RunnerScheduler* sScheduler = new RunnerScheduler;
	return *sScheduler;
}

int32
RunnerScheduler::Add(RunnerEntry&& entry)
{
	std::lock_guard<std::mutex> guard(fLock);
	if (!fStarted) {
		std::thread(&RunnerScheduler::_Run, this).detach();
		fStarted = true;
	}
	int32 id = fNextId++;
	if (fNextId <= 0)
		fNextId = 1;
	fRunners.emplace(id, std::move(entry));
	fChanged.notify_all();
	return id;
}

void
RunnerScheduler::Remove(int32 id)
{
	std::unique_lock<std::mutex> lock(fLock);
	fRunners.erase(id);
	fSendDone.wait(lock, [&] { return fSending != id; });
	fChanged.notify_all();
}

status_t
RunnerScheduler::SetInterval(int32 id, bigtime_t interval)
{
	if (interval <= 0)
		return B_BAD_VALUE;
	std::lock_guard<std::mutex> guard(fLock);
	auto found = fRunners.find(id);
	if (found == fRunners.end())
		return B_BAD_VALUE;
	found->second.interval = std::max(interval, kMinimumInterval);
	found->second.nextTime = system_time() + found->second.interval;
	fChanged.notify_all();
	return B_OK;
}

status_t
RunnerScheduler::SetCount(int32 id, int32 count)
{
	std::lock_guard<std::mutex> guard(fLock);
	auto found = fRunners.find(id);
	if (found == fRunners.end())
		return B_BAD_VALUE;
	if (count == 0)
		fRunners.erase(found);
	else {
		found->second.count = count;
		found->second.nextTime = system_time() + found->second.interval;
	}
	fChanged.notify_all();
	return B_OK;
}

status_t
RunnerScheduler::GetInfo(int32 id, bigtime_t* interval, int32* count)
{
	std::lock_guard<std::mutex> guard(fLock);
	auto found = fRunners.find(id);
	if (found == fRunners.end())
		return B_BAD_VALUE;
	if (interval != nullptr)
		*interval = found->second.interval;
	if (count != nullptr)
		*count = found->second.count;
	return B_OK;
}

void
RunnerScheduler::_Run()
{
	std::unique_lock<std::mutex> lock(fLock);
	for (;;) {
		if (fRunners.empty()) {
			fChanged.wait(lock);
			continue;
		}
		if (!_SendDue(lock)) {
			bigtime_t next = B_INFINITE_TIMEOUT;
			for (const auto& [id, entry] : fRunners)
				next = std::min(next, entry.nextTime);
			bigtime_t wait = next - system_time();
			if (wait > 0)
				fChanged.wait_for(lock, std::chrono::microseconds(wait));
		}
	}
}

// Sends the most overdue message, if any is due; the lock is released while sending.
bool
RunnerScheduler::_SendDue(std::unique_lock<std::mutex>& lock)
{
	bigtime_t now = system_time();
	auto due = fRunners.end();
	for (auto it = fRunners.begin(); it != fRunners.end(); ++it) {
		if (it->second.nextTime <= now &&
		    (due == fRunners.end() || it->second.nextTime < due->second.nextTime)) {
			due = it;
		}
	}
	if (due == fRunners.end())
		return false;

	int32 id = due->first;
	RunnerEntry& entry = due->second;
	messenger_data target = entry.target;
	BMessage message(entry.message);
	bool hasReplyTo = entry.hasReplyTo;
	messenger_data replyTo = entry.replyTo;
	entry.nextTime += entry.interval;
	// After a long stall, resume the rhythm from now instead of sending a burst.
	if (entry.nextTime <= now)
		entry.nextTime = now + entry.interval;
	bool last = entry.count > 0 && --entry.count == 0;
	if (last)
		fRunners.erase(due);

	fSending = id;
	lock.unlock();
	status_t status =
	        BPrivate::DeliverTo(target, message, hasReplyTo ? &replyTo : nullptr, false, 0);
	lock.lock();
	fSending = -1;
	fSendDone.notify_all();
	// A target that is gone never comes back: the runner stops.
	if (status == B_BAD_PORT_ID || status == B_BAD_HANDLER)
		fRunners.erase(id);
	return true;
}

} // namespace

BMessageRunner::BMessageRunner(BMessenger target, const BMessage* message, bigtime_t interval,
                               int32 count)
    : fToken(B_NO_INIT)
{
	_Init(target, message, interval, count, nullptr);
}

BMessageRunner::BMessageRunner(BMessenger target, const BMessage* message, bigtime_t interval,
                               int32 count, BMessenger replyTo)
    : fToken(B_NO_INIT)
{
	_Init(target, message, interval, count, &replyTo);
}

BMessageRunner::BMessageRunner(BMessenger target, const BMessage& message, bigtime_t interval,
                               int32 count)
    : fToken(B_NO_INIT)
{
	_Init(target, &message, interval, count, nullptr);
}

BMessageRunner::BMessageRunner(BMessenger target, const BMessage& message, bigtime_t interval,
                               int32 count, BMessenger replyTo)
    : fToken(B_NO_INIT)
{
	_Init(target, &message, interval, count, &replyTo);
}

BMessageRunner::~BMessageRunner()
{
	if (fToken > 0)
		RunnerScheduler::Default().Remove(fToken);
}

void
BMessageRunner::_Init(BMessenger target, const BMessage* message, bigtime_t interval, int32 count,
                      const BMessenger* replyTo)
{
	if (message == nullptr || !target.IsValid() || count == 0 || interval <= 0) {
		fToken = B_BAD_VALUE;
		return;
	}
	RunnerEntry entry;
	entry.target = BPrivate::GetMessengerData(target);
	entry.message = *message;
	if (replyTo != nullptr && replyTo->Team() >= 0) {
		entry.hasReplyTo = true;
		entry.replyTo = BPrivate::GetMessengerData(*replyTo);
	}
	entry.interval = std::max(interval, kMinimumInterval);
	entry.count = count < 0 ? -1 : count;
	entry.nextTime = system_time() + entry.interval;
	fToken = RunnerScheduler::Default().Add(std::move(entry));
}

status_t
BMessageRunner::InitCheck() const
{
	return fToken > 0 ? B_OK : fToken;
}

status_t
BMessageRunner::SetInterval(bigtime_t interval)
{
	if (fToken <= 0)
		return B_NO_INIT;
	return RunnerScheduler::Default().SetInterval(fToken, interval);
}

status_t
BMessageRunner::SetCount(int32 count)
{
	if (fToken <= 0)
		return B_NO_INIT;
	return RunnerScheduler::Default().SetCount(fToken, count < 0 ? -1 : count);
}

status_t
BMessageRunner::GetInfo(bigtime_t* interval, int32* count) const
{
	if (fToken <= 0)
		return B_NO_INIT;
	return RunnerScheduler::Default().GetInfo(fToken, interval, count);
}
