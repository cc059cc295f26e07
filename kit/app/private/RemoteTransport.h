// Kit-internal meeting point between local messaging (loopers, messengers) and the
// transport that carries messages between programs. The transport installs the send hook
// at start-up and calls DeliverRemote for every message that arrives from another program.
#ifndef _REMOTE_TRANSPORT_H
#define _REMOTE_TRANSPORT_H

#include <MessengerPrivate.h>
#include <SupportDefs.h>

class BLooper;
class BMessage;

namespace BPrivate {

// Sends message to a target in another program. timeout bounds the delivery; when reply
// is not null the call also waits up to replyTimeout for the answer and stores it there
// (B_NO_REPLY as its what code when the receiver dropped the message unanswered). The
// message is only read; the caller keeps it. Called from any thread.
typedef status_t (*remote_send_hook)(const messenger_data& target, const BMessage& message,
                                     bigtime_t timeout, BMessage* reply, bigtime_t replyTimeout);

// Installs (or, with nullptr, removes) the hook. Thread-safe.
void SetRemoteSendHook(remote_send_hook hook);

// Calls the installed hook; B_BAD_PORT_ID when none is installed.
status_t SendRemote(const messenger_data& target, const BMessage& message, bigtime_t timeout,
                    BMessage* reply, bigtime_t replyTimeout);

// Hands a message that arrived from another program to its local target: the looper whose
// token the message carries as its target, or the application looper when that token is
// -1. The message is marked remote before it is queued. Takes ownership of message in every
// case (it is deleted when it cannot be delivered). Returns B_OK, B_BAD_PORT_ID when no
// such looper exists, or B_BAD_VALUE for a null message.
status_t DeliverRemote(BMessage* message);

// Registers the looper that receives remote messages addressed to no looper in particular
// (the BApplication). nullptr clears it; a looper that is deleted clears it as well.
void SetApplicationLooper(BLooper* looper);

} // namespace BPrivate

#endif // _REMOTE_TRANSPORT_H
