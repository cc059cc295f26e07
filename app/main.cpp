// Kestrovane's entry point: --help and --version answer without touching a running copy;
// any other start runs the bar, or hands over to the copy that already runs.
#include <cstdio>
#include <cstring>

#include "KVApp.h"

namespace {

const char* const kUsage =
        "Usage: Kestrovane [--help | --version]\n"
        "\n"
        "A nice application to organize up to 100 bookmarks in 10 different categories.\n"
        "\n"
        "Starts the bookmark bar: ten buttons \"0\"..\"9\", each opening one folder of the\n"
        "store in ~/.config/Kestrovane. Only one copy runs; starting it again leaves the\n"
        "running bar alone. Other arguments are ignored.\n"
        "\n"
        "  --help     show this text and exit\n"
        "  --version  show the version and exit\n";

} // namespace

int
main(int argc, char** argv)
{
	for (int i = 1; i < argc; i++) {
		if (strcmp(argv[i], "--help") == 0 || strcmp(argv[i], "-h") == 0) {
			fputs(kUsage, stdout);
			return 0;
		}
		if (strcmp(argv[i], "--version") == 0) {
			puts("Kestrovane 1.5.0");
			return 0;
		}
	}
	// The trace lines are read by people and scripts as they happen, also through a pipe.
	setvbuf(stdout, nullptr, _IOLBF, 0);

	status_t error = B_OK;
	KVApp app(&error);
	if (error == B_OK)
		app.Run();
	return 0;
}
