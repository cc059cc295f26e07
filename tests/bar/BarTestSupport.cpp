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

BackgroundProcess::BackgroundProcess(const std::vector<std::string>& argv,
                                     const std::vector<std::string>& extraEnv)
{
	std::vector<std::string> envStrings;
	for (char** e = environ; *e != nullptr; e++)
		envStrings.push_back(*e);
	for (const std::string& extra : extraEnv) {
		std::string name = extra.substr(0, extra.find('=') + 1);
		std::erase_if(envStrings,
		              [&](const std::string& s) { return s.compare(0, name.size(), name) == 0; });
		envStrings.push_back(extra);
	}
	std::vector<char*> envp;
	for (std::string& s : envStrings)
		envp.push_back(s.data());
	envp.push_back(nullptr);
	std::vector<std::string> argCopy(argv);
	std::vector<char*> args;
	for (std::string& s : argCopy)
		args.push_back(s.data());
	args.push_back(nullptr);
	std::string output = fDir.Sub("stdout");

	fPid = fork();
	if (fPid == 0) {
		int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
		int in = open("/dev/null", O_RDONLY);
		dup2(in, 0);
		dup2(out, 1);
		dup2(out, 2);
		execve(args[0], args.data(), envp.data());
		_exit(127);
	}
}

BackgroundProcess::~BackgroundProcess()
{
	if (IsRunning()) {
		kill(fPid, SIGKILL);
		Wait(5000);
	}
}

bool
BackgroundProcess::IsRunning()
{
	if (fPid <= 0 || fDone)
		return false;
	int status = 0;
	pid_t result = waitpid(fPid, &status, WNOHANG);
	if (result == fPid) {
		fDone = true;
		fStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
		return false;
	}
	return true;
}

void
BackgroundProcess::Signal(int signal)
{
	if (IsRunning())
		kill(fPid, signal);
}

int
BackgroundProcess::Wait(int milliseconds)
{
	WaitUntil([this] { return !IsRunning(); }, std::chrono::milliseconds(milliseconds));
	return fDone ? fStatus : -1;
}

std::string
BackgroundProcess::Output() const
{
	return ReadFile(fDir.Sub("stdout"));
}

std::string
KestrovanePath()
{
	return BinaryDir() + "/app/Kestrovane";
}

std::string
KvsendPath()
{
	return BinaryDir() + "/tools/kvsend/kvsend";
}

} // namespace kvtest
