// Kit-internal rules shared by BMessage's field operations and its flattened form: what
// a value of each known type must look like, so that a message built through the API
// always flattens to bytes that Unflatten accepts, and foreign bytes are held to the
// same rules.
#ifndef _MESSAGE_FORMAT_H
#define _MESSAGE_FORMAT_H

#include <SupportDefs.h>

namespace BPrivate {

// Deepest nesting of messages inside messages that Unflatten accepts.
const int32 kMaxMessageNesting = 16;

// Largest flattened message, header included (B_NO_MEMORY beyond it).
const size_t kMaxFlattenedSize = 256 * 1024 * 1024;

// Longest field name in bytes (the flattened form stores it in 16 bits).
const size_t kMaxFieldNameLength = 0xffff;

// Size every value of a known fixed-size type must have, or 0 for other types.
size_t FixedSizeOfType(type_code type);

// B_OK when the bytes are an acceptable value of the type (right size, a NUL-terminated
// string, a valid nested message...), B_BAD_VALUE otherwise.
status_t CheckValue(type_code type, const void* data, size_t size, int32 depth);

// Checks that buffer holds exactly one valid flattened message; nothing is built.
status_t ValidateFlattened(const char* buffer, size_t size, int32 depth);

} // namespace BPrivate

#endif // _MESSAGE_FORMAT_H
