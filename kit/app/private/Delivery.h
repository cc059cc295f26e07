// Kit-internal delivery of messages to an address (messenger_data), local or remote,
// shared by BMessenger, BMessage::SendReply and BMessageRunner.
#ifndef _DELIVERY_H
#define _DELIVERY_H

#include <MessengerPrivate.h>
#include <SupportDefs.h>

class BMessage;

namespace BPrivate {

// Delivers a copy of message to target; the caller keeps message. replyTo (may be null)
// becomes the copy's reply address; isReply marks the copy as a reply.
status_t DeliverTo(const messenger_data& target, const BMessage& message,
                   const messenger_data* replyTo, bool isReply, bigtime_t timeout);

// Delivers a copy of message and waits for the answer, which is stored in *reply. A
// target that drops the message unanswered answers B_NO_REPLY. B_MESSAGE_TO_SELF when the
// target looper's own thread asks (it could never answer).
status_t DeliverAndWait(const messenger_data& target, const BMessage& message, bool isReply,
                        bigtime_t deliveryTimeout, BMessage* reply, bigtime_t replyTimeout);

// Answers B_NO_REPLY when message's sender waits for a reply that was never sent. Called
// wherever the kit deletes a message it delivered.
void AnswerIfUnanswered(BMessage* message);

} // namespace BPrivate

#endif // _DELIVERY_H
