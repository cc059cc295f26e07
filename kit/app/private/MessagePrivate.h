// Kit-internal access to a BMessage's delivery state: the target handler, the reply
// address, the remote and drop marks. Loopers, messengers and the transport between
// programs set these; programs only read them through BMessage's public calls.
#ifndef _MESSAGE_PRIVATE_H
#define _MESSAGE_PRIVATE_H

#include <Message.h>
#include <MessengerPrivate.h>

namespace BPrivate {

// Bits of the message's delivery flags, as they are stored in the flattened header.
enum
{
	kMessageTargetPreferred = 0x01,
	kMessageSourceRemote = 0x02,
	kMessageDropped = 0x04,
	kMessageHasReplyTo = 0x08,
	kMessageReplyRequired = 0x10,
	kMessageReplyDone = 0x20,
	kMessageIsReply = 0x40,
	kMessageDelivered = 0x80,
	kMessageKnownFlags = 0xff
};

// The token of "no handler": the message goes to the looper's preferred handler or,
// without kMessageTargetPreferred, to the looper itself.
const int32 kNoHandlerToken = -1;

// A light view of one message; it does not own it and must not outlive it.
class MessagePrivate
{
public:
	explicit MessagePrivate(BMessage* message) : fMessage(message) {}

	uint32 GetFlags() const { return fMessage->fFlags; }
	void SetFlag(uint32 flag, bool on)
	{
		if (on)
			fMessage->fFlags |= flag;
		else
			fMessage->fFlags &= ~flag;
	}

	int32 GetTarget() const { return fMessage->fTarget; }
	bool UsePreferredTarget() const { return (fMessage->fFlags & kMessageTargetPreferred) != 0; }
	void SetTarget(int32 token, bool preferred)
	{
		fMessage->fTarget = token;
		SetFlag(kMessageTargetPreferred, preferred);
	}

	bool IsRemote() const { return (fMessage->fFlags & kMessageSourceRemote) != 0; }
	void SetRemote(bool remote) { SetFlag(kMessageSourceRemote, remote); }

	void SetWasDelivered(bool delivered) { SetFlag(kMessageDelivered, delivered); }
	void SetIsReply(bool reply) { SetFlag(kMessageIsReply, reply); }

	void SetDropped(BPoint where, BPoint offset)
	{
		fMessage->fDropPoint = where;
		fMessage->fDropOffset = offset;
		SetFlag(kMessageDropped, true);
	}
	void ClearDropped()
	{
		fMessage->fDropPoint = BPoint();
		fMessage->fDropOffset = BPoint();
		SetFlag(kMessageDropped, false);
	}

	// The address a reply goes to, and whether the sender blocks until it arrives.
	bool HasReplyTo() const { return (fMessage->fFlags & kMessageHasReplyTo) != 0; }
	messenger_data GetReplyTo() const
	{
		return messenger_data{fMessage->fReplyTeam, fMessage->fReplyLooper,
		                      fMessage->fReplyHandler};
	}
	void SetReplyTo(const messenger_data& replyTo, bool sourceWaiting)
	{
		fMessage->fReplyTeam = replyTo.team;
		fMessage->fReplyLooper = replyTo.looperToken;
		fMessage->fReplyHandler = replyTo.handlerToken;
		SetFlag(kMessageHasReplyTo, true);
		SetFlag(kMessageReplyRequired, sourceWaiting);
		SetFlag(kMessageReplyDone, false);
	}
	void ClearReplyTo()
	{
		fMessage->fReplyTeam = -1;
		fMessage->fReplyLooper = -1;
		fMessage->fReplyHandler = -1;
		SetFlag(kMessageHasReplyTo | kMessageReplyRequired | kMessageReplyDone, false);
	}

	bool IsReplyRequired() const { return (fMessage->fFlags & kMessageReplyRequired) != 0; }
	bool IsReplyDone() const { return (fMessage->fFlags & kMessageReplyDone) != 0; }
	void SetReplyDone(bool done) { SetFlag(kMessageReplyDone, done); }

private:
	BMessage* fMessage;
};

} // namespace BPrivate

#endif // _MESSAGE_PRIVATE_H
