// The kit's one translation from a Linux errno value to a BeOS status_t.
#ifndef KIT_LINUX_ERRNO_STATUS_H
#define KIT_LINUX_ERRNO_STATUS_H

#include <SupportDefs.h>

namespace BPrivate {

// Maps errno to the matching B_* code; an unknown errno gives B_ERROR. 0 gives B_OK.
status_t StatusFromErrno(int error);

// StatusFromErrno(errno), for the common "call failed, report why" case.
status_t LastErrorStatus();

} // namespace BPrivate

#endif // KIT_LINUX_ERRNO_STATUS_H
