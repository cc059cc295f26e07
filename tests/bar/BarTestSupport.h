// Shared pieces of the bar's tests: a private profile (configuration, home, application
// table with stand-in browsers that log their arguments), bookmark files written by the
// shell as another program would.
#ifndef KV_TEST_BAR_TEST_SUPPORT_H
#define KV_TEST_BAR_TEST_SUPPORT_H

#include <string>
#include <sys/types.h>
#include <vector>

#include "support/ProgramSupport.h"
#include "support/TestSupport.h"

namespace kvtest {

class BarProfile
{
public:
	// opera and netPositive: whether a stand-in answers for that browser; a missing one
	// has a table line naming a program that does not exist.
	BarProfile(bool opera = true, bool netPositive = true);

	std::string Store() const { return fConfig.Sub("Kestrovane"); }
	std::string SettingsFile() const { return fConfig.Sub("Kestrovane.settings"); }
	std::string Config() const { return fConfig.Path(); }
	// "NAME=value" entries that put a child process into this profile, apart from any
	// other copy of the program on this machine.
	std::vector<std::string> Environment() const;

	// Each launch of a stand-in browser, as "<browser> <argc>: <args joined by |>".
	std::vector<std::string> Launches() const;
	bool WaitForLaunches(size_t count, int milliseconds = 5000) const;

	// Writes a bookmark file (type, URL, keywords) the way another program would.
	void AddBookmark(const std::string& relativePath, const std::string& url) const;

private:
	void _WriteBrowser(const std::string& name) const;

	TempDir fConfig{"kvbar"};
	TempDir fHome{"kvbarhome"};
	// Where the kit's programs find each other: a bar the user runs is never this one.
	TempDir fRuntime{"kvbarrun"};
	std::string fTable;
	std::string fLog;
	ScopedEnv fXdg;
	ScopedEnv fHomeEnv;
	ScopedEnv fTableEnv;
};

} // namespace kvtest

#endif // KV_TEST_BAR_TEST_SUPPORT_H
