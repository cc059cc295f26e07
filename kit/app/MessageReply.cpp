// Answering messages: BMessage::SendReply and ReturnAddress. A sender that waits gets
// exactly one answer; further ones are refused with B_DUPLICATE_REPLY.
#include <Message.h>

#include <Handler.h>
#include <Messenger.h>

#include "Delivery.h"
#include "MessagePrivate.h"
#include "TokenSpace.h"

using BPrivate::messenger_data;

namespace {

// Where a reply to message goes: its reply address or, for a message sent without one,
// the application looper.
messenger_data
ReplyAddress(BMessage* message)
{
	BPrivate::MessagePrivate access(message);
	if (access.HasReplyTo())
		return access.GetReplyTo();
	return messenger_data{BPrivate::CurrentTeam(), -1, BPrivate::kNoHandlerToken};
}

// Checks that message may be answered and claims its one reply if the sender waits.
status_t
ClaimReply(BMessage* message)
{
	BPrivate::MessagePrivate access(message);
	if (access.IsReplyRequired()) {
		if (access.IsReplyDone())
			return B_DUPLICATE_REPLY;
		access.SetReplyDone(true);
		return B_OK;
	}
	return message->WasDelivered() ? B_OK : B_BAD_REPLY;
}

} // namespace

BMessenger
BMessage::ReturnAddress() const
{
	BPrivate::MessagePrivate access(const_cast<BMessage*>(this));
	if (!WasDelivered() || !access.HasReplyTo())
		return BMessenger();
	return BPrivate::MakeMessenger(access.GetReplyTo());
}

status_t
BMessage::SendReply(uint32 command, BHandler* replyTo)
{
	BMessage reply(command);
	return SendReply(&reply, replyTo);
}

status_t
BMessage::SendReply(BMessage* reply, BHandler* replyTo, bigtime_t timeout)
{
	if (replyTo == nullptr)
		return SendReply(reply, BMessenger(), timeout);
	return SendReply(reply, BMessenger(replyTo), timeout);
}

status_t
BMessage::SendReply(BMessage* reply, BMessenger replyTo, bigtime_t timeout)
{
	if (reply == nullptr)
		return B_BAD_VALUE;
	status_t status = ClaimReply(this);
	if (status != B_OK)
		return status;
	messenger_data answerTo = BPrivate::GetMessengerData(replyTo);
	return BPrivate::DeliverTo(ReplyAddress(this), *reply, answerTo.team >= 0 ? &answerTo : nullptr,
	                           true, timeout);
}

status_t
BMessage::SendReply(uint32 command, BMessage* replyToReply)
{
	BMessage reply(command);
	return SendReply(&reply, replyToReply);
}

status_t
BMessage::SendReply(BMessage* reply, BMessage* replyToReply, bigtime_t sendTimeout,
                    bigtime_t replyTimeout)
{
	if (reply == nullptr || replyToReply == nullptr)
		return B_BAD_VALUE;
	status_t status = ClaimReply(this);
	if (status != B_OK)
		return status;
	return BPrivate::DeliverAndWait(ReplyAddress(this), *reply, true, sendTimeout, replyToReply,
	                                replyTimeout);
}

namespace BPrivate {

void
AnswerIfUnanswered(BMessage* message)
{
	if (message == nullptr || !message->IsSourceWaiting())
		return;
	BMessage reply(B_NO_REPLY);
	message->SendReply(&reply);
}

} // namespace BPrivate
