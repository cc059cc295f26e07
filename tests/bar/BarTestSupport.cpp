// The bar tests' profile, stand-in browsers and background processes.
#include "BarTestSupport.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include <gtest/gtest.h>

extern char** environ;

namespace kvtest {

namespace {

std::string
ShellQuote(const std::string& text)
{
	std::string quoted = "'";
	for (char c : text) {
		if (c == '\'')
			quoted += "'\\''";
		else
			quoted += c;
	}
	return quoted + "'";
}

} // namespace

BarProfile::BarProfile(bool opera, bool netPositive)
    : fTable(fConfig.Sub("applications")), fLog(fConfig.Sub("launches.log")),
      fXdg("XDG_CONFIG_HOME", fConfig.Path().c_str()), fHomeEnv("HOME", fHome.Path().c_str()),
      fTableEnv("KIT_APPLICATION_TABLE", fConfig.Sub("applications").c_str())
{
	_WriteBrowser("opera");
	_WriteBrowser("netpositive");
	std::string table;
	table += std::string("application/x-vnd.operasoftware-opera ") +
	         (opera ? fConfig.Sub("opera") : "/nonexistent/opera") + "\n";
	table += std::string("application/x-vnd.Be-NPOS ") +
	         (netPositive ? fConfig.Sub("netpositive") : "/nonexistent/netpositive") + "\n";
	WriteFile(fTable, table);
}

void
BarProfile::_WriteBrowser(const std::string& name) const
{
	// One line per launch, written at once so that parallel launches never interleave.
	std::string script = "#!/bin/sh\nline=\"" + name +
	                     " $#:\"\nfor a in \"$@\"; do line=\"$line $a|\"; done\n"
	                     "printf '%s\\n' \"$line\" >> " +
	                     ShellQuote(fLog) + "\n";
	std::string path = fConfig.Sub(name);
	WriteFile(path, script);
	chmod(path.c_str(), 0755);
}

std::vector<std::string>
BarProfile::Environment() const
{
	return {"XDG_CONFIG_HOME=" + fConfig.Path(), "HOME=" + fHome.Path(),
	        "KIT_APPLICATION_TABLE=" + fTable, "XDG_RUNTIME_DIR=" + fRuntime.Path()};
}

std::vector<std::string>
BarProfile::Launches() const
{
	std::vector<std::string> lines;
	std::istringstream in(ReadFile(fLog));
	std::string line;
	while (std::getline(in, line))
		lines.push_back(line);
	return lines;
}

bool
BarProfile::WaitForLaunches(size_t count, int milliseconds) const
{
	return WaitUntil([&] { return Launches().size() >= count; },
	                 std::chrono::milliseconds(milliseconds));
}

void
BarProfile::AddBookmark(const std::string& relativePath, const std::string& url) const
{
	std::string path = Store() + "/" + relativePath;
	std::string command =
	        "mkdir -p " + ShellQuote(path.substr(0, path.rfind('/'))) + " && touch " +
	        ShellQuote(path) + " && setfattr -n user.mime_type -v application/x-vnd.Be-bookmark " +
	        ShellQuote(path) + " && setfattr -n user.META:url -v " + ShellQuote(url) + " " +
	        ShellQuote(path) + " && setfattr -n user.META:keyw -v kw " + ShellQuote(path);
	ProcessResult result = RunProcess({"/bin/sh", "-c", command});
	ASSERT_EQ(result.exitStatus, 0) << command << "\n" << result.error;
}

} // namespace kvtest
