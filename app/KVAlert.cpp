// Stand-in alerts that write the alert's body to standard error until the interface
// kit's BAlert can show it: the same body texts, so the user still reads the whole
// message before a fatal stop.
#include "KVAlert.h"

#include <cstdio>

void
AlertError(const char* text)
{
	fprintf(stderr, "ERROR:\n\n%s\n", text != nullptr ? text : "");
	fflush(stderr);
}

void
AlertWarning(const char* text)
{
	fprintf(stderr, "WARNING:\n\n%s\n", text != nullptr ? text : "");
	fflush(stderr);
}

void
AlertMsg(const char* text)
{
	fprintf(stderr, "%s", text != nullptr ? text : "");
	fflush(stderr);
}
