// BMessageQueue: a locked deque of owned message pointers.
#include <MessageQueue.h>

#include <algorithm>

#include <Message.h>

#include "LooperPort.h"

namespace {

// Holds the queue's lock for one call.
class QueueLocker
{
public:
	explicit QueueLocker(BPrivate::LooperLock& lock) : fLock(lock) { fLock.Lock(); }
	~QueueLocker() { fLock.Unlock(); }

private:
	BPrivate::LooperLock& fLock;
};

} // namespace

BMessageQueue::BMessageQueue() : fLock(new BPrivate::LooperLock)
{}

BMessageQueue::~BMessageQueue()
{
	for (BMessage* message : fMessages)
		delete message;
}

void
BMessageQueue::AddMessage(BMessage* message)
{
	if (message == nullptr)
		return;
	QueueLocker lock(*fLock);
	fMessages.push_back(message);
}

void
BMessageQueue::RemoveMessage(BMessage* message)
{
	QueueLocker lock(*fLock);
	auto found = std::find(fMessages.begin(), fMessages.end(), message);
	if (found != fMessages.end())
		fMessages.erase(found);
}

int32
BMessageQueue::CountMessages() const
{
	QueueLocker lock(*fLock);
	return static_cast<int32>(fMessages.size());
}

bool
BMessageQueue::IsEmpty() const
{
	QueueLocker lock(*fLock);
	return fMessages.empty();
}

BMessage*
BMessageQueue::FindMessage(int32 index) const
{
	QueueLocker lock(*fLock);
	if (index < 0 || static_cast<size_t>(index) >= fMessages.size())
		return nullptr;
	return fMessages[index];
}

BMessage*
BMessageQueue::FindMessage(uint32 what, int32 index) const
{
	QueueLocker lock(*fLock);
	if (index < 0)
		return nullptr;
	for (BMessage* message : fMessages) {
		if (message->what == what && index-- == 0)
			return message;
	}
	return nullptr;
}

bool
BMessageQueue::Lock()
{
	return fLock->Lock() == B_OK;
}

void
BMessageQueue::Unlock()
{
	fLock->Unlock();
}

bool
BMessageQueue::IsLocked() const
{
	return fLock->IsLockedByCaller();
}

BMessage*
BMessageQueue::NextMessage()
{
	QueueLocker lock(*fLock);
	if (fMessages.empty())
		return nullptr;
	BMessage* message = fMessages.front();
	fMessages.pop_front();
	return message;
}

bool
BMessageQueue::IsNextMessage(const BMessage* message) const
{
	QueueLocker lock(*fLock);
	return !fMessages.empty() && fMessages.front() == message;
}
