// BHandler: an object that receives messages in a looper's thread. A handler belongs to
// at most one looper at a time; its filters see its messages first.
#ifndef _HANDLER_H
#define _HANDLER_H

#include <string>

#include <SupportDefs.h>

class BList;
class BLooper;
class BMessage;
class BMessageFilter;

namespace BPrivate {
class HandlerAccess;
}

class BHandler
{
public:
	BHandler(const char* name = nullptr);
	// Removes the handler from its looper (locking it) if it is still in one, and deletes
	// the handler's filters.
	virtual ~BHandler();

	// Passes the message on to the next handler; at the end of the chain, answers a sender
	// that waits for a reply with B_MESSAGE_NOT_UNDERSTOOD.
	virtual void MessageReceived(BMessage* message);

	BLooper* Looper() const { return fLooper; }

	void SetName(const char* name);
	const char* Name() const;

	// The next handler must belong to the same looper and must not lead back here.
	virtual void SetNextHandler(BHandler* handler);
	BHandler* NextHandler() const { return fNextHandler; }

	// The handler owns its filters; the looper must be locked if there is one.
	virtual void AddFilter(BMessageFilter* filter);
	// Gives the filter back to the caller; false if it was not in the list.
	virtual bool RemoveFilter(BMessageFilter* filter);
	// Deletes the current filters and takes ownership of the list and its filters.
	virtual void SetFilterList(BList* filters);
	BList* FilterList() { return fFilters; }

	// Locks the handler's looper, safe against the looper being deleted meanwhile.
	// False (B_BAD_VALUE) when the handler belongs to no looper.
	bool LockLooper();
	status_t LockLooperWithTimeout(bigtime_t timeout);
	void UnlockLooper();

private:
	friend class BLooper;
	friend class BPrivate::HandlerAccess;

	BHandler(const BHandler&) = delete;
	BHandler& operator=(const BHandler&) = delete;

	void _SetLooper(BLooper* looper);
	bool _LeadsTo(const BHandler* handler) const;

	int32 fToken;
	std::string fName;
	bool fHasName;
	BLooper* fLooper;
	BHandler* fNextHandler;
	BList* fFilters;
};

#endif // _HANDLER_H
