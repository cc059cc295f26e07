// Test helpers over POSIX: tests may use the host directly to check what the kit did.
#include "TestSupport.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

extern char** environ;

namespace kvtest {

TempDir::TempDir(const char* tag)
{
	const char* base = getenv("TMPDIR");
	std::string pattern =
	        std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/" + tag + "-XXXXXX";
	std::vector<char> buffer(pattern.begin(), pattern.end());
	buffer.push_back('\0');
	if (mkdtemp(buffer.data()) != nullptr)
		fPath = buffer.data();
}

TempDir::~TempDir()
{
	if (!fPath.empty())
		RemoveTree(fPath);
}

ScopedEnv::ScopedEnv(const char* name, const char* value) : fName(name), fHadOld(false)
{
	if (const char* old = getenv(name)) {
		fHadOld = true;
		fOld = old;
	}
	if (value != nullptr)
		setenv(name, value, 1);
	else
		unsetenv(name);
}

ScopedEnv::~ScopedEnv()
{
	if (fHadOld)
		setenv(fName.c_str(), fOld.c_str(), 1);
	else
		unsetenv(fName.c_str());
}

static void
DrainPipes(int inFd, const std::string& input, int outFd, int errFd, ProcessResult& result)
{
	size_t written = 0;
	if (input.empty()) {
		close(inFd);
		inFd = -1;
	}
	char buffer[65536];
	while (outFd >= 0 || errFd >= 0) {
		pollfd fds[3];
		int count = 0;
		if (outFd >= 0)
			fds[count++] = {outFd, POLLIN, 0};
		if (errFd >= 0)
			fds[count++] = {errFd, POLLIN, 0};
		if (inFd >= 0)
			fds[count++] = {inFd, POLLOUT, 0};
		if (poll(fds, count, -1) < 0 && errno != EINTR)
			break;
		for (int i = 0; i < count; i++) {
			if (fds[i].revents == 0)
				continue;
			if (fds[i].fd == inFd) {
				ssize_t n = write(inFd, input.data() + written, input.size() - written);
				if (n > 0)
					written += n;
				if (n < 0 || written == input.size()) {
					close(inFd);
					inFd = -1;
				}
				continue;
			}
			ssize_t n = read(fds[i].fd, buffer, sizeof(buffer));
			std::string& sink = fds[i].fd == outFd ? result.output : result.error;
			if (n > 0) {
				sink.append(buffer, n);
			} else {
				close(fds[i].fd);
				(fds[i].fd == outFd ? outFd : errFd) = -1;
			}
		}
	}
	if (inFd >= 0)
		close(inFd);
}

ProcessResult
RunProcess(const std::vector<std::string>& argv, const std::string& input,
           const std::vector<std::string>& extraEnv)
{
	ProcessResult result;
	int inPipe[2], outPipe[2], errPipe[2];
	if (pipe2(inPipe, O_CLOEXEC) != 0 || pipe2(outPipe, O_CLOEXEC) != 0 ||
	    pipe2(errPipe, O_CLOEXEC) != 0)
		return result;

	std::vector<std::string> envStrings;
	for (char** e = environ; *e != nullptr; e++)
		envStrings.push_back(*e);
	for (const std::string& extra : extraEnv) {
		std::string name = extra.substr(0, extra.find('='));
		std::erase_if(envStrings, [&](const std::string& s) {
			return s.compare(0, name.size() + 1, name + "=") == 0;
		});
		envStrings.push_back(extra);
	}
	std::vector<char*> envp, args;
	for (std::string& s : envStrings)
		envp.push_back(s.data());
	envp.push_back(nullptr);
	std::vector<std::string> argCopy(argv);
	for (std::string& s : argCopy)
		args.push_back(s.data());
	args.push_back(nullptr);

	pid_t pid = fork();
	if (pid == 0) {
		dup2(inPipe[0], 0);
		dup2(outPipe[1], 1);
		dup2(errPipe[1], 2);
		execve(args[0], args.data(), envp.data());
		_exit(127);
	}
	close(inPipe[0]);
	close(outPipe[1]);
	close(errPipe[1]);
	if (pid < 0) {
		close(inPipe[1]);
		close(outPipe[0]);
		close(errPipe[0]);
		return result;
	}
	DrainPipes(inPipe[1], input, outPipe[0], errPipe[0], result);
	int status = 0;
	while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
	}
	result.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
	return result;
}

bool
WaitUntil(const std::function<bool()>& predicate, std::chrono::milliseconds deadline)
{
	auto end = std::chrono::steady_clock::now() + deadline;
	while (true) {
		if (predicate())
			return true;
		if (std::chrono::steady_clock::now() >= end)
			return predicate();
		std::this_thread::sleep_for(std::chrono::milliseconds(2));
	}
}

bool
WriteFile(const std::string& path, const std::string& contents)
{
	std::ofstream out(path, std::ios::binary | std::ios::trunc);
	out << contents;
	return out.good();
}

std::string
ReadFile(const std::string& path)
{
	std::ifstream in(path, std::ios::binary);
	std::ostringstream contents;
	contents << in.rdbuf();
	return contents.str();
}

bool
RemoveTree(const std::string& path)
{
	std::error_code error;
	// Make everything writable first so read-only test trees can be removed.
	std::filesystem::recursive_directory_iterator it(
	        path, std::filesystem::directory_options::skip_permission_denied, error);
	for (; !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
		if (it->is_directory(error) && !it->is_symlink(error))
			chmod(it->path().c_str(), 0700);
	}
	chmod(path.c_str(), 0700);
	std::filesystem::remove_all(path, error);
	return !error;
}

bool
GetXattr(const std::string& path, const std::string& name, std::string* value)
{
	ssize_t size = lgetxattr(path.c_str(), name.c_str(), nullptr, 0);
	if (size < 0)
		return false;
	std::string buffer(size, '\0');
	size = lgetxattr(path.c_str(), name.c_str(), buffer.data(), buffer.size());
	if (size < 0)
		return false;
	buffer.resize(size);
	*value = buffer;
	return true;
}

bool
SetXattr(const std::string& path, const std::string& name, const std::string& value)
{
	return lsetxattr(path.c_str(), name.c_str(), value.data(), value.size(), 0) == 0;
}

std::vector<std::string>
ListXattrs(const std::string& path)
{
	std::vector<std::string> names;
	ssize_t size = llistxattr(path.c_str(), nullptr, 0);
	if (size <= 0)
		return names;
	std::string buffer(size, '\0');
	size = llistxattr(path.c_str(), buffer.data(), buffer.size());
	for (ssize_t start = 0; start < size;) {
		std::string name(buffer.c_str() + start);
		start += name.size() + 1;
		names.push_back(name);
	}
	return names;
}

std::string
SourceDir()
{
	const char* dir = getenv("KV_SOURCE_DIR");
	return dir != nullptr ? dir : KV_DEFAULT_SOURCE_DIR;
}

std::string
BinaryDir()
{
	const char* dir = getenv("KV_BINARY_DIR");
	return dir != nullptr ? dir : KV_DEFAULT_BINARY_DIR;
}

bool
CanMount()
{
	if (geteuid() != 0)
		return false;
	TempDir probe("kv-mount");
	ScopedMount mount("tmpfs", probe.Path(), "size=64k");
	return mount.IsMounted();
}

ScopedMount::ScopedMount(const std::string& type, const std::string& where,
                         const std::string& options)
    : fWhere(where), fMounted(false)
{
	fMounted = mount("none", where.c_str(), type.c_str(), 0, options.c_str()) == 0;
}

ScopedMount::~ScopedMount()
{
	if (fMounted)
		umount2(fWhere.c_str(), MNT_DETACH);
}

} // namespace kvtest
