// Kit-internal: the loopers the application asks before it quits. BWindow registers
// itself here when it is created and unregisters when it is deleted; BApplication's
// QuitRequested() asks each of them, and quits them when all agree.
#ifndef _APPLICATION_PRIVATE_H
#define _APPLICATION_PRIVATE_H

#include <SupportDefs.h>

#include <vector>

class BLooper;

namespace BPrivate {

void RegisterWindowLooper(BLooper* looper);
void UnregisterWindowLooper(BLooper* looper);

// Whether looper is registered now (a window unregisters before it is freed).
bool IsWindowLooper(BLooper* looper);

// A snapshot of the registered loopers, in registration order.
std::vector<BLooper*> WindowLoopers();

// Called by QuitRequested() before it locks any window: ends what holds a window's
// thread (an open menu, an alert waited for), so that every window can be asked. The
// interface kit installs it; the application kit does not link the interface kit.
typedef void (*quit_preparation)();
void SetQuitPreparation(quit_preparation preparation);

// True from the moment QuitRequested() starts asking the windows until it is refused: a
// menu that opens meanwhile (from input queued before the request) closes at once, or it
// would hold its window, and the quit, until the user closes it.
bool IsQuitRequested();

// True once every window has agreed to quit: an alert asked for from then on would outlive
// the windows being closed. An alert a window opens while it is asked waits for the user.
bool IsQuitting();

} // namespace BPrivate

#endif // _APPLICATION_PRIVATE_H
