// The pointer watch: a message filter per window counts mouse moves and presses, and a
// condition variable wakes whoever waits for the next one.
#include "widgets/KVPointerWatch.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

#include <AppDefs.h>
#include <List.h>
#include <Message.h>
#include <MessageFilter.h>
#include <Window.h>

struct KVPointerWatch::Notices
{
	std::mutex lock;
	std::condition_variable arrived;
	uint64 count = 0;
	bool stopped = false;
};

class KVPointerWatch::MouseFilter : public BMessageFilter
{
public:
	explicit MouseFilter(std::shared_ptr<Notices> notices)
	    : BMessageFilter(B_ANY_DELIVERY, B_ANY_SOURCE), fNotices(std::move(notices))
	{}

	virtual filter_result Filter(BMessage* message, BHandler**)
	{
		if (message->what != B_MOUSE_MOVED && message->what != B_MOUSE_DOWN)
			return B_DISPATCH_MESSAGE;
		{
			std::lock_guard<std::mutex> lock(fNotices->lock);
			if (fNotices->stopped)
				return B_DISPATCH_MESSAGE;
			fNotices->count++;
		}
		fNotices->arrived.notify_all();
		return B_DISPATCH_MESSAGE;
	}

	bool BelongsTo(const std::shared_ptr<Notices>& notices) const { return fNotices == notices; }

	bool IsSilent() const
	{
		std::lock_guard<std::mutex> lock(fNotices->lock);
		return fNotices->stopped;
	}

private:
	std::shared_ptr<Notices> fNotices;
};

KVPointerWatch::KVPointerWatch() : fNotices(std::make_shared<Notices>())
{}

KVPointerWatch::~KVPointerWatch()
{
	Stop();
}

void
KVPointerWatch::Watch(BWindow* window)
{
	if (window == nullptr)
		return;
	BList* filters = window->CommonFilterList();
	bool watched = false;
	for (int32 i = filters != nullptr ? filters->CountItems() - 1 : -1; i >= 0; i--) {
		MouseFilter* filter =
		        dynamic_cast<MouseFilter*>(static_cast<BMessageFilter*>(filters->ItemAt(i)));
		if (filter == nullptr)
			continue;
		if (filter->BelongsTo(fNotices)) {
			watched = true;
		} else if (filter->IsSilent() && window->RemoveCommonFilter(filter)) {
			// Left behind by an earlier watch: it would only cost a lock per mouse move.
			delete filter;
		}
	}
	if (!watched)
		window->AddCommonFilter(new MouseFilter(fNotices));
}

uint64
KVPointerWatch::Stamp() const
{
	std::lock_guard<std::mutex> lock(fNotices->lock);
	return fNotices->count;
}

bool
KVPointerWatch::WaitForNotice(uint64 stamp, bigtime_t timeout) const
{
	std::unique_lock<std::mutex> lock(fNotices->lock);
	fNotices->arrived.wait_for(lock, std::chrono::microseconds(timeout),
	                           [&] { return fNotices->stopped || fNotices->count != stamp; });
	return !fNotices->stopped && fNotices->count != stamp;
}

void
KVPointerWatch::Stop()
{
	{
		std::lock_guard<std::mutex> lock(fNotices->lock);
		fNotices->stopped = true;
	}
	fNotices->arrived.notify_all();
}
