// Kernel-kit internals shared between the thread registry and the clock.
#ifndef KIT_KERNEL_THREAD_PRIVATE_H
#define KIT_KERNEL_THREAD_PRIVATE_H

#include <SupportDefs.h>

namespace BPrivate {

// Sleeps until the absolute system_time() given; a kit thread that is killed meanwhile
// ends here instead of returning.
status_t SleepUntil(bigtime_t wakeTime);

} // namespace BPrivate

#endif // KIT_KERNEL_THREAD_PRIVATE_H
