// Helpers shared by the widget tests: stand-in programs for the preferred applications of
// links, listed in a private application table.
#ifndef KV_WIDGET_TEST_SUPPORT_H
#define KV_WIDGET_TEST_SUPPORT_H

#include <memory>
#include <string>
#include <vector>

#include "support/TestSupport.h"

namespace kvtest {

// One stand-in script per link kind ("html", "email", "ftp"), each writing the number of
// its arguments and then every argument, one a line, to <dir>/<kind>.out. The table
// points $KIT_APPLICATION_TABLE at them for the fixture's lifetime.
class StandInPrograms
{
public:
	// kinds left out of the table resolve to a program that does not exist.
	explicit StandInPrograms(const std::vector<std::string>& missing = {});

	std::string Output(const std::string& kind) const { return fDir.Sub(kind + ".out"); }
	// The arguments the stand-in was started with, once it has written them; empty
	// after the deadline.
	std::vector<std::string> WaitForArguments(const std::string& kind) const;
	const TempDir& Dir() const { return fDir; }

private:
	TempDir fDir;
	std::unique_ptr<ScopedEnv> fTable;
};

} // namespace kvtest

#endif // KV_WIDGET_TEST_SUPPORT_H
