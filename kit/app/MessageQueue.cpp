// BMessageQueue: a locked deque of owned message pointers.
#include <MessageQueue.h>

#include <algorithm>

#include <Autolock.h>
#include <Message.h>

BMessageQueue::BMessageQueue() : fLocker("message queue")
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
	BAutolock lock(fLocker);
	fMessages.push_back(message);
}

void
BMessageQueue::RemoveMessage(BMessage* message)
{
	BAutolock lock(fLocker);
	auto found = std::find(fMessages.begin(), fMessages.end(), message);
	if (found != fMessages.end())
		fMessages.erase(found);
}

int32
BMessageQueue::CountMessages() const
{
	BAutolock lock(fLocker);
	return static_cast<int32>(fMessages.size());
}

bool
BMessageQueue::IsEmpty() const
{
	BAutolock lock(fLocker);
	return fMessages.empty();
}

BMessage*
BMessageQueue::FindMessage(int32 index) const
{
	BAutolock lock(fLocker);
	if (index < 0 || static_cast<size_t>(index) >= fMessages.size())
		return nullptr;
	return fMessages[index];
}

BMessage*
BMessageQueue::FindMessage(uint32 what, int32 index) const
{
	BAutolock lock(fLocker);
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
	return fLocker.Lock();
}

void
BMessageQueue::Unlock()
{
	fLocker.Unlock();
}

bool
BMessageQueue::IsLocked() const
{
	return fLocker.IsLocked();
}

BMessage*
BMessageQueue::NextMessage()
{
	BAutolock lock(fLocker);
	if (fMessages.empty())
		return nullptr;
	BMessage* message = fMessages.front();
	fMessages.pop_front();
	return message;
}

bool
BMessageQueue::IsNextMessage(const BMessage* message) const
{
	BAutolock lock(fLocker);
	return !fMessages.empty() && fMessages.front() == message;
}
