// Background programs for the end-to-end tests.
#include "ProgramSupport.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace kvtest {

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

	// The child tells the moment it execs through a pipe that closes with the exec.
	int timing[2] = {-1, -1};
	if (pipe2(timing, O_CLOEXEC) != 0)
		timing[0] = timing[1] = -1;
	fPid = fork();
	if (fPid == 0) {
		prctl(PR_SET_PDEATHSIG, SIGKILL);
		int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
		int in = open("/dev/null", O_RDONLY);
		dup2(in, 0);
		dup2(out, 1);
		dup2(out, 2);
		auto now = std::chrono::steady_clock::now();
		if (timing[1] >= 0 && write(timing[1], &now, sizeof(now)) != (ssize_t)sizeof(now))
			_exit(127);
		execve(args[0], args.data(), envp.data());
		_exit(127);
	}
	fExecTime = std::chrono::steady_clock::now();
	if (timing[1] >= 0) {
		close(timing[1]);
		std::chrono::steady_clock::time_point execTime;
		if (fPid > 0 && read(timing[0], &execTime, sizeof(execTime)) == (ssize_t)sizeof(execTime))
			fExecTime = execTime;
		close(timing[0]);
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
		fStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
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

ProgramLines::ProgramLines(const std::string& command) : fPipe(popen(command.c_str(), "r"))
{}

ProgramLines::~ProgramLines()
{
	if (fPipe != nullptr)
		pclose(fPipe);
}

std::string
ProgramLines::Line()
{
	char buffer[4096];
	if (fPipe == nullptr || fgets(buffer, sizeof(buffer), fPipe) == nullptr)
		return "";
	std::string line(buffer);
	if (!line.empty() && line.back() == '\n')
		line.pop_back();
	return line;
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
