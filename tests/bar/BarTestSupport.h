// Shared pieces of the bar's tests: a private profile (configuration, home, application
// table with stand-in browsers that log their arguments), bookmark files written by the
// shell as another program would, and the real program run in the background.
#ifndef KV_TEST_BAR_TEST_SUPPORT_H
#define KV_TEST_BAR_TEST_SUPPORT_H

#include <string>
#include <sys/types.h>
#include <vector>

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

// A program running in the background with its standard output in a file.
class BackgroundProcess
{
public:
	BackgroundProcess(const std::vector<std::string>& argv,
	                  const std::vector<std::string>& extraEnv);
	~BackgroundProcess();

	pid_t Pid() const { return fPid; }
	bool IsRunning();
	void Signal(int signal);
	// The exit status (0..255), or -1 when it did not end in time or died of a signal.
	int Wait(int milliseconds = 10000);
	std::string Output() const;

private:
	TempDir fDir{"kvproc"};
	pid_t fPid = -1;
	int fStatus = -1;
	bool fDone = false;
};

// The built Kestrovane and kvsend.
std::string KestrovanePath();
std::string KvsendPath();

} // namespace kvtest

#endif // KV_TEST_BAR_TEST_SUPPORT_H
