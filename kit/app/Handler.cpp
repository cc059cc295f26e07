// BHandler: names, the handler chain, filters and locking the owning looper.
#include <Handler.h>

#include <List.h>
#include <Looper.h>
#include <Message.h>
#include <MessageFilter.h>
#include <OS.h>

#include "LooperPort.h"
#include "TokenSpace.h"

BHandler::BHandler(const char* name)
    : fToken(-1), fHasName(name != nullptr), fLooper(nullptr), fNextHandler(nullptr),
      fFilters(nullptr)
{
	if (name != nullptr)
		fName = name;
	fToken = BPrivate::NewHandlerToken(this);
}

BHandler::~BHandler()
{
	if (fLooper != nullptr && fLooper != this && LockLooper()) {
		BLooper* looper = fLooper;
		looper->RemoveHandler(this);
		looper->Unlock();
	}
	BPrivate::RemoveToken(fToken);
	if (fFilters != nullptr) {
		for (int32 i = 0; i < fFilters->CountItems(); i++)
			delete static_cast<BMessageFilter*>(fFilters->ItemAt(i));
		delete fFilters;
	}
}

void
BHandler::MessageReceived(BMessage* message)
{
	if (fNextHandler != nullptr && fNextHandler->Looper() == fLooper) {
		fNextHandler->MessageReceived(message);
		return;
	}
	if (message->IsSourceWaiting() && !message->IsReply()) {
		BMessage reply(B_MESSAGE_NOT_UNDERSTOOD);
		message->SendReply(&reply);
	}
}

void
BHandler::SetName(const char* name)
{
	fHasName = name != nullptr;
	fName = name != nullptr ? name : "";
}

const char*
BHandler::Name() const
{
	return fHasName ? fName.c_str() : nullptr;
}

bool
BHandler::_LeadsTo(const BHandler* handler) const
{
	// A chain is at most as long as the looper's handler list; stop at a cycle anyway.
	const BHandler* current = this;
	for (int32 steps = 0; current != nullptr && steps < 100000; steps++) {
		if (current == handler)
			return true;
		current = current->fNextHandler;
	}
	return false;
}

void
BHandler::SetNextHandler(BHandler* handler)
{
	if (fLooper == nullptr) {
		debugger("handler must belong to a looper before setting its next handler");
		return;
	}
	if (!fLooper->IsLocked()) {
		debugger("the owning looper must be locked to set the next handler");
		return;
	}
	if (handler != nullptr && handler->Looper() != fLooper) {
		debugger("the next handler must belong to the same looper");
		return;
	}
	if (handler != nullptr && handler->_LeadsTo(this)) {
		debugger("the next handler would close a loop in the handler chain");
		return;
	}
	fNextHandler = handler;
}

void
BHandler::AddFilter(BMessageFilter* filter)
{
	if (filter == nullptr || filter->fAttached) {
		debugger("filter is null or already belongs to a handler or looper");
		return;
	}
	if (fLooper != nullptr && !fLooper->IsLocked()) {
		debugger("the owning looper must be locked to add a filter");
		return;
	}
	if (fFilters == nullptr)
		fFilters = new BList;
	fFilters->AddItem(filter);
	filter->fLooper = fLooper;
	filter->fAttached = true;
}

bool
BHandler::RemoveFilter(BMessageFilter* filter)
{
	if (fLooper != nullptr && !fLooper->IsLocked()) {
		debugger("the owning looper must be locked to remove a filter");
		return false;
	}
	if (fFilters == nullptr || !fFilters->RemoveItem(filter))
		return false;
	filter->fLooper = nullptr;
	filter->fAttached = false;
	return true;
}

void
BHandler::SetFilterList(BList* filters)
{
	if (fLooper != nullptr && !fLooper->IsLocked()) {
		debugger("the owning looper must be locked to replace the filters");
		return;
	}
	if (fFilters != nullptr) {
		for (int32 i = 0; i < fFilters->CountItems(); i++)
			delete static_cast<BMessageFilter*>(fFilters->ItemAt(i));
		delete fFilters;
	}
	fFilters = filters;
	if (fFilters == nullptr)
		return;
	for (int32 i = 0; i < fFilters->CountItems(); i++) {
		BMessageFilter* filter = static_cast<BMessageFilter*>(fFilters->ItemAt(i));
		filter->fLooper = fLooper;
		filter->fAttached = true;
	}
}

bool
BHandler::LockLooper()
{
	return LockLooperWithTimeout(B_INFINITE_TIMEOUT) == B_OK;
}

status_t
BHandler::LockLooperWithTimeout(bigtime_t timeout)
{
	int32 looperToken = -1;
	std::shared_ptr<BPrivate::LooperPort> port = BPrivate::FindHandlerLooper(fToken, &looperToken);
	if (!port)
		return B_BAD_VALUE;
	status_t status = port->Lock().Lock(timeout);
	if (status != B_OK)
		return status;
	// The handler may have moved while the lock was awaited.
	if (BPrivate::FindHandler(fToken, looperToken) != this) {
		port->Lock().Unlock();
		return B_MISMATCHED_VALUES;
	}
	return B_OK;
}

void
BHandler::UnlockLooper()
{
	if (fLooper != nullptr)
		fLooper->Unlock();
}

void
BHandler::_SetLooper(BLooper* looper)
{
	fLooper = looper;
	BPrivate::SetHandlerLooper(fToken, looper != nullptr ? looper->fToken : -1);
	if (fFilters == nullptr)
		return;
	for (int32 i = 0; i < fFilters->CountItems(); i++)
		static_cast<BMessageFilter*>(fFilters->ItemAt(i))->fLooper = looper;
}

namespace BPrivate {

int32
HandlerAccess::Token(const BHandler* handler)
{
	return handler->fToken;
}

} // namespace BPrivate
