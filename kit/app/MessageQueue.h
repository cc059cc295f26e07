// BMessageQueue: the FIFO of messages waiting for a looper. The queue owns the messages
// it holds; NextMessage and RemoveMessage hand ownership back to the caller.
#ifndef _MESSAGE_QUEUE_H
#define _MESSAGE_QUEUE_H

#include <deque>
#include <memory>

#include <SupportDefs.h>

class BMessage;

namespace BPrivate {
class LooperLock;
}

class BMessageQueue
{
public:
	BMessageQueue();
	virtual ~BMessageQueue();

	// Appends message; the queue takes ownership. Null is ignored.
	void AddMessage(BMessage* message);
	// Takes message out of the queue without deleting it; the caller owns it again.
	void RemoveMessage(BMessage* message);

	int32 CountMessages() const;
	bool IsEmpty() const;

	// The index-th message from the front (or the index-th with that what code); the
	// queue keeps ownership. Null when there is none.
	BMessage* FindMessage(int32 index) const;
	BMessage* FindMessage(uint32 what, int32 index = 0) const;

	// Holds the queue across several calls (recursive, owned by the calling thread).
	bool Lock();
	void Unlock();
	bool IsLocked() const;

	// Removes and returns the oldest message; the caller owns it. Null when empty.
	BMessage* NextMessage();
	bool IsNextMessage(const BMessage* message) const;

private:
	BMessageQueue(const BMessageQueue&) = delete;
	BMessageQueue& operator=(const BMessageQueue&) = delete;

	std::unique_ptr<BPrivate::LooperLock> fLock;
	std::deque<BMessage*> fMessages;
};

#endif // _MESSAGE_QUEUE_H
