// BMessageFilter: looks at messages before they reach their handler, and may drop them or
// send them to another handler. A filter matches by delivery (dropped or programmed), by
// source (this program or another) and optionally by what code; a matching message goes
// to the hook function if one was given, else to Filter().
#ifndef _MESSAGE_FILTER_H
#define _MESSAGE_FILTER_H

#include <SupportDefs.h>

class BHandler;
class BLooper;
class BMessage;
class BMessageFilter;

enum filter_result
{
	B_SKIP_MESSAGE,
	B_DISPATCH_MESSAGE
};

enum message_delivery
{
	B_ANY_DELIVERY,
	B_DROPPED_DELIVERY,
	B_PROGRAMMED_DELIVERY
};

enum message_source
{
	B_ANY_SOURCE,
	B_REMOTE_SOURCE,
	B_LOCAL_SOURCE
};

typedef filter_result (*filter_hook)(BMessage* message, BHandler** target, BMessageFilter* filter);

class BMessageFilter
{
public:
	BMessageFilter(uint32 what, filter_hook func = nullptr);
	BMessageFilter(message_delivery delivery, message_source source, filter_hook func = nullptr);
	BMessageFilter(message_delivery delivery, message_source source, uint32 what,
	               filter_hook func = nullptr);
	// A copy matches the same messages but belongs to no handler.
	BMessageFilter(const BMessageFilter& filter);
	BMessageFilter(const BMessageFilter* filter);
	virtual ~BMessageFilter();

	BMessageFilter& operator=(const BMessageFilter& from);

	// Called on the looper's thread with the looper locked. *target may be replaced by
	// another handler of the same looper; B_SKIP_MESSAGE drops the message.
	virtual filter_result Filter(BMessage* message, BHandler** target);

	message_delivery MessageDelivery() const { return fDelivery; }
	message_source MessageSource() const { return fSource; }
	uint32 Command() const { return fWhat; }
	bool FiltersAnyCommand() const { return fFiltersAny; }
	// The looper of the handler (or looper) whose list holds the filter, or null.
	BLooper* Looper() const { return fLooper; }

private:
	friend class BHandler;
	friend class BLooper;

	bool _Matches(BMessage* message) const;
	filter_result _Apply(BMessage* message, BHandler** target);

	bool fFiltersAny;
	uint32 fWhat;
	message_delivery fDelivery;
	message_source fSource;
	BLooper* fLooper;
	filter_hook fHook;
	// True while a handler's or looper's filter list holds (and owns) the filter.
	bool fAttached;
};

#endif // _MESSAGE_FILTER_H
