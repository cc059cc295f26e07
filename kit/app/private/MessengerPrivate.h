// Kit-internal view of a BMessenger: the team and tokens it holds. BMessage uses it to
// flatten reply-to messengers; the transport between programs uses it to address targets.
#ifndef _MESSENGER_PRIVATE_H
#define _MESSENGER_PRIVATE_H

#include <SupportDefs.h>

class BMessenger;

namespace BPrivate {

// The address a messenger stands for. team is the target's process id; a token of -1
// means "none": a handler token of -1 targets the looper's preferred handler, a looper
// token of -1 in a remote address targets that program's application looper.
struct messenger_data
{
	int32 team;
	int32 looperToken;
	int32 handlerToken;
};

messenger_data GetMessengerData(const BMessenger& messenger);
BMessenger MakeMessenger(const messenger_data& data);

} // namespace BPrivate

#endif // _MESSENGER_PRIVATE_H
