// BMessenger and the kit's delivery of messages to local loopers, reply slots and, through
// the transport hook, to other programs.
#include <Messenger.h>

#include <memory>

#include <Handler.h>
#include <Looper.h>
#include <Message.h>

#include "Delivery.h"
#include "LooperPort.h"
#include "MessagePrivate.h"
#include "RemoteTransport.h"
#include "TokenSpace.h"

using BPrivate::messenger_data;

namespace {

void
PrepareCopy(BMessage* copy, int32 targetToken, bool preferred, const messenger_data* replyTo,
            bool waiting, bool isReply)
{
	BPrivate::MessagePrivate access(copy);
	access.SetTarget(targetToken, preferred);
	access.SetRemote(false);
	access.SetIsReply(isReply);
	if (replyTo != nullptr)
		access.SetReplyTo(*replyTo, waiting);
	else
		access.ClearReplyTo();
}

// Where a message to (looperToken, handlerToken) is addressed within the looper.
void
PrepareLocal(BMessage* copy, const messenger_data& target, const messenger_data* replyTo,
             bool waiting, bool isReply)
{
	bool preferred = target.handlerToken < 0;
	PrepareCopy(copy, preferred ? target.looperToken : target.handlerToken, preferred, replyTo,
	            waiting, isReply);
	BPrivate::MessagePrivate(copy).SetWasDelivered(true);
}

status_t
DeliverLocal(const messenger_data& target, const BMessage& message, const messenger_data* replyTo,
             bool waiting, bool isReply)
{
	std::shared_ptr<BPrivate::LooperPort> port;
	std::shared_ptr<BPrivate::ReplySlot> slot;
	status_t status = BPrivate::FindTarget(target.looperToken, target.handlerToken, &port, &slot);
	if (status != B_OK)
		return status;
	if (slot) {
		BMessage copy(message);
		PrepareLocal(&copy, target, replyTo, waiting, isReply);
		return slot->Deposit(copy);
	}
	BMessage* copy = new BMessage(message);
	PrepareLocal(copy, target, replyTo, waiting, isReply);
	status = port->Post(copy);
	if (status != B_OK)
		delete copy;
	return status;
}

BMessage
RemoteCopy(const BMessage& message, const messenger_data* replyTo, bool isReply)
{
	BMessage copy(message);
	BPrivate::MessagePrivate access(&copy);
	access.SetRemote(false);
	access.SetIsReply(isReply);
	if (replyTo != nullptr)
		access.SetReplyTo(*replyTo, false);
	else
		access.ClearReplyTo();
	return copy;
}

} // namespace

namespace BPrivate {

status_t
DeliverTo(const messenger_data& target, const BMessage& message, const messenger_data* replyTo,
          bool isReply, bigtime_t timeout)
{
	if (target.team < 0)
		return B_BAD_PORT_ID;
	if (target.team != CurrentTeam())
		return SendRemote(target, RemoteCopy(message, replyTo, isReply), timeout, nullptr, 0);
	return DeliverLocal(target, message, replyTo, false, isReply);
}

status_t
DeliverAndWait(const messenger_data& target, const BMessage& message, bool isReply,
               bigtime_t deliveryTimeout, BMessage* reply, bigtime_t replyTimeout)
{
	if (target.team < 0)
		return B_BAD_PORT_ID;
	if (target.team != CurrentTeam()) {
		return SendRemote(target, RemoteCopy(message, nullptr, isReply), deliveryTimeout, reply,
		                  replyTimeout);
	}
	std::shared_ptr<LooperPort> port = FindLooperPort(target.looperToken);
	if (port && port->Thread() == CurrentThread())
		return B_MESSAGE_TO_SELF;

	std::shared_ptr<ReplySlot> slot = std::make_shared<ReplySlot>();
	messenger_data replyTo = {CurrentTeam(), NewReplyToken(slot), kNoHandlerToken};
	status_t status = DeliverLocal(target, message, &replyTo, true, isReply);
	if (status == B_OK)
		status = slot->Wait(replyTimeout, reply);
	RemoveToken(replyTo.looperToken);
	return status;
}

messenger_data
GetMessengerData(const BMessenger& messenger)
{
	return messenger_data{messenger.fTeam, messenger.fLooperToken, messenger.fHandlerToken};
}

BMessenger
MakeMessenger(const messenger_data& data)
{
	BMessenger messenger;
	messenger.fTeam = data.team;
	messenger.fLooperToken = data.looperToken;
	messenger.fHandlerToken = data.handlerToken;
	return messenger;
}

} // namespace BPrivate

BMessenger::BMessenger() : fTeam(-1), fLooperToken(-1), fHandlerToken(-1)
{}

BMessenger::BMessenger(const BHandler* handler, const BLooper* looper, status_t* result)
    : BMessenger()
{
	status_t status = SetTo(handler, looper);
	if (result != nullptr)
		*result = status;
}

BMessenger::BMessenger(const BMessenger& other) = default;

BMessenger::~BMessenger() = default;

BMessenger& BMessenger::operator=(const BMessenger& other) = default;

bool
BMessenger::operator==(const BMessenger& other) const
{
	return fTeam == other.fTeam && fLooperToken == other.fLooperToken &&
	       fHandlerToken == other.fHandlerToken;
}

void
BMessenger::_Clear()
{
	fTeam = -1;
	fLooperToken = -1;
	fHandlerToken = -1;
}

status_t
BMessenger::SetTo(const BHandler* handler, const BLooper* looper)
{
	_Clear();
	if (handler == nullptr && looper == nullptr)
		return B_BAD_VALUE;
	if (handler == nullptr) {
		fTeam = BPrivate::CurrentTeam();
		fLooperToken = BPrivate::HandlerAccess::Token(looper);
		return B_OK;
	}
	int32 handlerToken = BPrivate::HandlerAccess::Token(handler);
	int32 looperToken = -1;
	if (!BPrivate::FindHandlerLooper(handlerToken, &looperToken))
		return B_BAD_HANDLER;
	if (looper != nullptr && BPrivate::HandlerAccess::Token(looper) != looperToken)
		return B_MISMATCHED_VALUES;
	fTeam = BPrivate::CurrentTeam();
	fLooperToken = looperToken;
	fHandlerToken = handlerToken;
	return B_OK;
}

bool
BMessenger::IsTargetLocal() const
{
	return fTeam >= 0 && fTeam == BPrivate::CurrentTeam();
}

BHandler*
BMessenger::Target(BLooper** looper) const
{
	BLooper* found = nullptr;
	BHandler* handler = nullptr;
	if (IsTargetLocal() && BPrivate::FindLooperPort(fLooperToken, &found)) {
		if (fHandlerToken >= 0) {
			handler = BPrivate::FindHandler(fHandlerToken,
			                                BPrivate::ResolveLooperToken(fLooperToken));
		}
	}
	if (looper != nullptr)
		*looper = found;
	return handler;
}

bool
BMessenger::LockTarget() const
{
	return LockTargetWithTimeout(B_INFINITE_TIMEOUT) == B_OK;
}

status_t
BMessenger::LockTargetWithTimeout(bigtime_t timeout) const
{
	if (!IsTargetLocal())
		return B_BAD_VALUE;
	std::shared_ptr<BPrivate::LooperPort> port = BPrivate::FindLooperPort(fLooperToken);
	if (!port)
		return B_BAD_VALUE;
	status_t status = port->Lock().Lock(timeout);
	if (status != B_OK)
		return status;
	// The handler may have left the looper while the lock was awaited.
	if (fHandlerToken >= 0 &&
	    BPrivate::FindHandler(fHandlerToken, BPrivate::ResolveLooperToken(fLooperToken)) ==
	            nullptr) {
		port->Lock().Unlock();
		return B_BAD_HANDLER;
	}
	return B_OK;
}

status_t
BMessenger::SendMessage(uint32 command, BHandler* replyTo) const
{
	BMessage message(command);
	return SendMessage(&message, replyTo);
}

status_t
BMessenger::SendMessage(BMessage* message, BHandler* replyTo, bigtime_t timeout) const
{
	if (replyTo == nullptr)
		return SendMessage(message, BMessenger(), timeout);
	return SendMessage(message, BMessenger(replyTo), timeout);
}

status_t
BMessenger::SendMessage(BMessage* message, BMessenger replyTo, bigtime_t timeout) const
{
	if (message == nullptr)
		return B_BAD_VALUE;
	messenger_data target = BPrivate::GetMessengerData(*this);
	messenger_data reply = BPrivate::GetMessengerData(replyTo);
	return BPrivate::DeliverTo(target, *message, replyTo.fTeam >= 0 ? &reply : nullptr, false,
	                           timeout);
}

status_t
BMessenger::SendMessage(uint32 command, BMessage* reply) const
{
	BMessage message(command);
	return SendMessage(&message, reply);
}

status_t
BMessenger::SendMessage(BMessage* message, BMessage* reply, bigtime_t deliveryTimeout,
                        bigtime_t replyTimeout) const
{
	if (message == nullptr || reply == nullptr)
		return B_BAD_VALUE;
	return BPrivate::DeliverAndWait(BPrivate::GetMessengerData(*this), *message, false,
	                                deliveryTimeout, reply, replyTimeout);
}

bool
BMessenger::IsValid() const
{
	if (fTeam < 0)
		return false;
	if (!IsTargetLocal())
		return true;
	std::shared_ptr<BPrivate::LooperPort> port;
	std::shared_ptr<BPrivate::ReplySlot> slot;
	return BPrivate::FindTarget(fLooperToken, fHandlerToken, &port, &slot) == B_OK;
}

bool
operator!=(const BMessenger& a, const BMessenger& b)
{
	return !(a == b);
}

bool
operator<(const BMessenger& a, const BMessenger& b)
{
	BPrivate::messenger_data left = BPrivate::GetMessengerData(a);
	BPrivate::messenger_data right = BPrivate::GetMessengerData(b);
	if (left.team != right.team)
		return left.team < right.team;
	if (left.looperToken != right.looperToken)
		return left.looperToken < right.looperToken;
	return left.handlerToken < right.handlerToken;
}
