// BMessageFilter: matching a message against delivery, source and command.
#include <MessageFilter.h>

#include <Message.h>

BMessageFilter::BMessageFilter(uint32 what, filter_hook func)
    : fFiltersAny(false), fWhat(what), fDelivery(B_ANY_DELIVERY), fSource(B_ANY_SOURCE),
      fLooper(nullptr), fHook(func), fAttached(false)
{}

BMessageFilter::BMessageFilter(message_delivery delivery, message_source source, filter_hook func)
    : fFiltersAny(true), fWhat(0), fDelivery(delivery), fSource(source), fLooper(nullptr),
      fHook(func), fAttached(false)
{}

BMessageFilter::BMessageFilter(message_delivery delivery, message_source source, uint32 what,
                               filter_hook func)
    : fFiltersAny(false), fWhat(what), fDelivery(delivery), fSource(source), fLooper(nullptr),
      fHook(func), fAttached(false)
{}

BMessageFilter::BMessageFilter(const BMessageFilter& filter)
    : fFiltersAny(filter.fFiltersAny), fWhat(filter.fWhat), fDelivery(filter.fDelivery),
      fSource(filter.fSource), fLooper(nullptr), fHook(filter.fHook), fAttached(false)
{}

BMessageFilter::BMessageFilter(const BMessageFilter* filter) : BMessageFilter(*filter)
{}

BMessageFilter::~BMessageFilter()
{}

BMessageFilter&
BMessageFilter::operator=(const BMessageFilter& from)
{
	// Only what the filter matches is copied: the copy stays in its own list, if any.
	fFiltersAny = from.fFiltersAny;
	fWhat = from.fWhat;
	fDelivery = from.fDelivery;
	fSource = from.fSource;
	fHook = from.fHook;
	return *this;
}

filter_result
BMessageFilter::Filter(BMessage*, BHandler**)
{
	return B_DISPATCH_MESSAGE;
}

bool
BMessageFilter::_Matches(BMessage* message) const
{
	if (!fFiltersAny && message->what != fWhat)
		return false;
	bool dropped = message->WasDropped();
	if ((fDelivery == B_DROPPED_DELIVERY && !dropped) ||
	    (fDelivery == B_PROGRAMMED_DELIVERY && dropped)) {
		return false;
	}
	bool remote = message->IsSourceRemote();
	if ((fSource == B_REMOTE_SOURCE && !remote) || (fSource == B_LOCAL_SOURCE && remote))
		return false;
	return true;
}

filter_result
BMessageFilter::_Apply(BMessage* message, BHandler** target)
{
	if (!_Matches(message))
		return B_DISPATCH_MESSAGE;
	if (fHook != nullptr)
		return fHook(message, target, this);
	return Filter(message, target);
}
