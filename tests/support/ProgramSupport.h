// The project's programs run as a user runs them: in the background, in an environment
// of the test's making, with their output kept for the test to read.
#ifndef KV_TEST_PROGRAM_SUPPORT_H
#define KV_TEST_PROGRAM_SUPPORT_H

#include <chrono>
#include <cstdio>
#include <string>
#include <sys/types.h>
#include <vector>

#include "TestSupport.h"

namespace kvtest {

// A program running in the background with its standard output and error in one file.
// extraEnv holds "NAME=value" entries that replace or add to the test's environment. The
// program dies with the test process; a program still running at destruction is killed.
class BackgroundProcess
{
public:
	BackgroundProcess(const std::vector<std::string>& argv,
	                  const std::vector<std::string>& extraEnv);
	~BackgroundProcess();

	pid_t Pid() const { return fPid; }
	bool IsRunning();
	void Signal(int signal);
	// The exit status (0..255); -1 when it did not end in time; 128 + the signal's number
	// when it died of one, as a shell tells it.
	int Wait(int milliseconds = 10000);
	std::string Output() const;
	// When the program was handed to execve(), for timings "from exec".
	std::chrono::steady_clock::time_point ExecTime() const { return fExecTime; }

private:
	TempDir fDir{"kvproc"};
	pid_t fPid = -1;
	std::chrono::steady_clock::time_point fExecTime;
	int fStatus = -1;
	bool fDone = false;
};

// A program started through the shell whose standard output the test reads line by line,
// as it reports. The program is waited for at destruction.
class ProgramLines
{
public:
	explicit ProgramLines(const std::string& command);
	~ProgramLines();
	ProgramLines(const ProgramLines&) = delete;
	ProgramLines& operator=(const ProgramLines&) = delete;

	// The next line without its line feed; "" at the end of the output.
	std::string Line();

private:
	FILE* fPipe;
};

// The built Kestrovane and kvsend.
std::string KestrovanePath();
std::string KvsendPath();

} // namespace kvtest

#endif // KV_TEST_PROGRAM_SUPPORT_H
