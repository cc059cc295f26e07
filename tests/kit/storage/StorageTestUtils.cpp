// Helpers for the storage kit tests.
#include "StorageTestUtils.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kvtest {

bool
Touch(const std::string& path)
{
	int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
	if (fd < 0)
		return false;
	close(fd);
	return true;
}

int
RunUnprivileged(const std::function<int()>& body)
{
	pid_t child = fork();
	if (child < 0)
		return -1;
	if (child == 0) {
		if (setgid(65534) != 0 || setuid(65534) != 0)
			_exit(100);
		_exit(body());
	}
	int status = 0;
	if (waitpid(child, &status, 0) != child || !WIFEXITED(status))
		return -1;
	return WEXITSTATUS(status);
}

} // namespace kvtest
