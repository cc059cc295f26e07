// BInvoker: a message plus a target, sent on demand. Controls and menu items derive from
// it. The invoker owns its message.
#ifndef _INVOKER_H
#define _INVOKER_H

#include <AppDefs.h>
#include <Messenger.h>

class BHandler;
class BLooper;
class BMessage;

class BInvoker
{
public:
	BInvoker();
	BInvoker(BMessage* message, const BHandler* handler, const BLooper* looper = nullptr);
	BInvoker(BMessage* message, BMessenger target);
	virtual ~BInvoker();

	// Takes ownership of message and deletes the previous one.
	virtual status_t SetMessage(BMessage* message);
	BMessage* Message() const { return fMessage; }
	uint32 Command() const;

	virtual status_t SetTarget(const BHandler* handler, const BLooper* looper = nullptr);
	virtual status_t SetTarget(BMessenger messenger);
	bool IsTargetLocal() const;
	BHandler* Target(BLooper** looper = nullptr) const;
	BMessenger Messenger() const { return fMessenger; }

	virtual status_t SetHandlerForReply(BHandler* handler);
	BHandler* HandlerForReply() const { return fReplyTo; }

	// Sends message (or, when null, the invoker's own) to the target; the caller keeps
	// message. B_BAD_VALUE when there is nothing to send.
	virtual status_t Invoke(BMessage* message = nullptr);
	// Invoke() with kind recorded for InvokeKind() while the send is in progress.
	status_t InvokeNotify(BMessage* message, uint32 kind = B_CONTROL_INVOKED);

	status_t SetTimeout(bigtime_t timeout);
	bigtime_t Timeout() const { return fTimeout; }

protected:
	uint32 InvokeKind(bool* notify = nullptr);
	void BeginInvokeNotify(uint32 kind = B_CONTROL_INVOKED);
	void EndInvokeNotify();

private:
	BInvoker(const BInvoker&) = delete;
	BInvoker& operator=(const BInvoker&) = delete;

	BMessage* fMessage;
	BMessenger fMessenger;
	BHandler* fReplyTo;
	bigtime_t fTimeout;
	uint32 fNotifyKind;
};

#endif // _INVOKER_H
