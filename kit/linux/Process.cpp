// Detached program starts with posix_spawn: no fork of a multi-threaded process, and a
// failed exec is reported to the caller instead of a silently dying child.
#include "Process.h"

#include "ErrnoStatus.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <limits.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace BPrivate {

namespace {

bool
IsExecutableFile(const std::string& path)
{
	struct stat info;
	return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
	       access(path.c_str(), X_OK) == 0;
}

// Owns the spawn attributes and file actions so every exit path releases them.
class SpawnSetup
{
public:
	SpawnSetup()
	{
		posix_spawnattr_init(&fAttributes);
		posix_spawn_file_actions_init(&fActions);
		sigset_t none;
		sigemptyset(&none);
		sigset_t all;
		sigfillset(&all);
		posix_spawnattr_setsigmask(&fAttributes, &none);
		posix_spawnattr_setsigdefault(&fAttributes, &all);
		posix_spawnattr_setflags(&fAttributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK |
		                                               POSIX_SPAWN_SETSIGDEF);
		posix_spawn_file_actions_addopen(&fActions, 0, "/dev/null", O_RDONLY, 0);
	}
	~SpawnSetup()
	{
		posix_spawn_file_actions_destroy(&fActions);
		posix_spawnattr_destroy(&fAttributes);
	}
	SpawnSetup(const SpawnSetup&) = delete;
	SpawnSetup& operator=(const SpawnSetup&) = delete;

	const posix_spawnattr_t* Attributes() const { return &fAttributes; }
	const posix_spawn_file_actions_t* Actions() const { return &fActions; }

private:
	posix_spawnattr_t fAttributes;
	posix_spawn_file_actions_t fActions;
};

} // namespace

status_t
SpawnDetached(const std::vector<std::string>& argv, team_id* team)
{
	if (argv.empty() || argv[0].empty())
		return B_BAD_VALUE;
	if (!IsExecutableFile(argv[0]))
		return B_LAUNCH_FAILED_EXECUTABLE;
	std::vector<char*> args;
	for (const std::string& arg : argv)
		args.push_back(const_cast<char*>(arg.c_str()));
	args.push_back(nullptr);

	SpawnSetup setup;
	pid_t child;
	int error = posix_spawn(&child, argv[0].c_str(), setup.Actions(), setup.Attributes(),
	                        args.data(), environ);
	if (error != 0)
		return error == ENOEXEC || error == EACCES ? B_LAUNCH_FAILED_EXECUTABLE
		                                           : StatusFromErrno(error);
	// The launched program lives on its own; a waiting thread only collects its exit
	// status so that it does not stay a zombie while this process runs.
	std::thread([child] {
		while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
		}
	}).detach();
	if (team != nullptr)
		*team = (team_id)child;
	return B_OK;
}

std::string
FindExecutable(const std::string& name)
{
	if (name.empty())
		return "";
	if (name.find('/') != std::string::npos)
		return IsExecutableFile(name) ? name : "";
	const char* path = getenv("PATH");
	std::string directories = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
	size_t start = 0;
	while (start <= directories.size()) {
		size_t end = directories.find(':', start);
		if (end == std::string::npos)
			end = directories.size();
		std::string directory = directories.substr(start, end - start);
		if (directory.empty())
			directory = ".";
		std::string candidate = directory + "/" + name;
		if (IsExecutableFile(candidate))
			return candidate;
		start = end + 1;
	}
	return "";
}

team_id
ProcessTeam()
{
	return (team_id)getpid();
}

std::vector<std::string>
CurrentArguments()
{
	std::vector<std::string> arguments;
	std::ifstream commandLine("/proc/self/cmdline", std::ios::binary);
	std::string argument;
	while (std::getline(commandLine, argument, '\0'))
		arguments.push_back(argument);
	return arguments;
}

std::string
TeamExecutable(team_id team)
{
	char link[PATH_MAX];
	std::string proc = "/proc/" + std::to_string(team) + "/exe";
	ssize_t length = readlink(proc.c_str(), link, sizeof(link) - 1);
	if (length <= 0)
		return "";
	return std::string(link, (size_t)length);
}

} // namespace BPrivate
