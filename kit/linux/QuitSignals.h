// The signals by which the system or a user asks a program to end (SIGTERM at logout or
// from kill, SIGHUP when its terminal goes) turned into calls on an ordinary thread, where
// the application kit can post a quit request; and SIGPIPE ignored, so that writing to a
// socket whose reader has gone is an error, not death.
#ifndef KIT_LINUX_QUIT_SIGNALS_H
#define KIT_LINUX_QUIT_SIGNALS_H

#include <SupportDefs.h>

namespace BPrivate {

// Called on the kit's signal thread with the signal's number, never inside a handler.
typedef void (*quit_signal_hook)(int signal);

// Catches SIGTERM and SIGHUP and ignores SIGPIPE until StopQuitSignals(). One user at a
// time: B_NOT_ALLOWED while started, B_NO_MORE_THREADS or an errno status on failure.
status_t StartQuitSignals(quit_signal_hook hook);

// Puts back the dispositions the three signals had before the start and returns once the
// hook can no longer be called. Harmless when not started.
void StopQuitSignals();

} // namespace BPrivate

#endif // KIT_LINUX_QUIT_SIGNALS_H
