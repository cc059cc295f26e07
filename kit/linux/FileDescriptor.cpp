// Owned file descriptors for the kit.
#include "FileDescriptor.h"

#include <unistd.h>

namespace BPrivate {

FileDescriptor&
FileDescriptor::operator=(FileDescriptor&& other) noexcept
{
	if (this != &other)
		Reset(other.Release());
	return *this;
}

int
FileDescriptor::Release()
{
	int descriptor = fDescriptor;
	fDescriptor = -1;
	return descriptor;
}

void
FileDescriptor::Reset(int descriptor)
{
	if (fDescriptor >= 0 && fDescriptor != descriptor)
		close(fDescriptor);
	fDescriptor = descriptor;
}

} // namespace BPrivate
