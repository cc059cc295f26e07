// The hook to the transport between programs, and the entry of messages that arrive from
// other programs into the local loopers.
#include "RemoteTransport.h"

#include <atomic>
#include <memory>
#include <string>

#include <Handler.h>
#include <Looper.h>
#include <Message.h>

#include "Delivery.h"
#include "LooperPort.h"
#include "MessagePrivate.h"
#include "TokenSpace.h"

namespace BPrivate {

namespace {

std::atomic<remote_send_hook> sRemoteSendHook{nullptr};

// The looper (or reply slot) a message from outside names: a looper by its token with
// the preferred flag, else a handler by its token; -1 stands for the application.
status_t
FindIncomingTarget(BMessage* message, std::shared_ptr<LooperPort>* port,
                   std::shared_ptr<ReplySlot>* slot)
{
	MessagePrivate access(message);
	int32 token = access.GetTarget();
	if (access.UsePreferredTarget() || token < 0) {
		if (token < 0)
			access.SetTarget(ApplicationLooperToken(), access.UsePreferredTarget());
		return FindTarget(token, kNoHandlerToken, port, slot);
	}
	int32 looperToken = -1;
	if (!FindHandlerLooper(token, &looperToken))
		return B_BAD_PORT_ID;
	return FindTarget(looperToken, token, port, slot);
}

// A pointer is an address in the sender's memory; here it could only point at something
// else. Nested messages are cleaned as well (Unflatten bounds their depth). True when
// something was dropped.
bool
DropPointers(BMessage* message)
{
	bool dropped = false;
	char* name = nullptr;
	type_code type = 0;
	while (message->GetInfo(B_POINTER_TYPE, 0, &name, &type) == B_OK) {
		message->RemoveName(name);
		dropped = true;
	}
	int32 count = 0;
	for (int32 i = 0; message->GetInfo(B_MESSAGE_TYPE, i, &name, &type, &count) == B_OK; i++) {
		const std::string field(name);
		for (int32 index = 0; index < count; index++) {
			BMessage nested;
			if (message->FindMessage(field.c_str(), index, &nested) == B_OK &&
			    DropPointers(&nested)) {
				message->ReplaceMessage(field.c_str(), index, &nested);
				dropped = true;
			}
		}
	}
	return dropped;
}

} // namespace

void
SetRemoteSendHook(remote_send_hook hook)
{
	sRemoteSendHook.store(hook);
}

status_t
SendRemote(const messenger_data& target, const BMessage& message, bigtime_t timeout,
           BMessage* reply, bigtime_t replyTimeout)
{
	remote_send_hook hook = sRemoteSendHook.load();
	if (hook == nullptr)
		return B_BAD_PORT_ID;
	return hook(target, message, timeout, reply, replyTimeout);
}

status_t
DeliverRemote(BMessage* message)
{
	if (message == nullptr)
		return B_BAD_VALUE;
	DropPointers(message);
	MessagePrivate access(message);
	access.SetRemote(true);
	access.SetWasDelivered(true);
	std::shared_ptr<LooperPort> port;
	std::shared_ptr<ReplySlot> slot;
	status_t status = FindIncomingTarget(message, &port, &slot);
	if (status == B_OK && slot)
		status = slot->Deposit(*message);
	else if (status == B_OK && port && port->Post(message) == B_OK)
		return B_OK;
	else if (status == B_OK)
		status = B_BAD_PORT_ID;
	AnswerIfUnanswered(message);
	delete message;
	return status;
}

void
SetApplicationLooper(BLooper* looper)
{
	SetApplicationLooperToken(looper != nullptr ? HandlerAccess::Token(looper) : -1);
}

} // namespace BPrivate
