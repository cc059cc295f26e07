// The trace lines of the store.
#include "KVTrace.h"

#include <cstdarg>
#include <cstdio>

void
KVTrace(const char* signature, const char* format, ...)
{
	printf("%s:\n\t", signature);
	va_list arguments;
	va_start(arguments, format);
	vprintf(format, arguments);
	va_end(arguments);
	printf("\n");
}
