// BeOS-to-host path mapping and normalisation for the storage kit.
#include "HostPath.h"

#include "ErrnoStatus.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace BPrivate {

namespace {

const char kBootHome[] = "/boot/home";
const char kBootSettings[] = "/boot/home/config/settings";
const size_t kPathLimit = 1024;
const size_t kLeafLimit = 255;

// The rest of path after prefix when prefix is a whole-component prefix of it.
bool
StripPrefix(const char* path, const char* prefix, const char** rest)
{
	size_t length = strlen(prefix);
	if (strncmp(path, prefix, length) != 0)
		return false;
	if (path[length] != '\0' && path[length] != '/')
		return false;
	*rest = path + length;
	return true;
}

std::string
CurrentDirectory()
{
	std::vector<char> buffer(PATH_MAX);
	if (getcwd(buffer.data(), buffer.size()) == nullptr)
		return "/";
	return buffer.data();
}

status_t
RealPath(const std::string& path, std::string* result)
{
	char* resolved = realpath(path.c_str(), nullptr);
	if (resolved == nullptr)
		return LastErrorStatus();
	*result = resolved;
	free(resolved);
	return B_OK;
}

} // namespace

std::string
HomeDirectory()
{
	const char* home = getenv("HOME");
	if (home != nullptr && home[0] == '/')
		return home;
	struct passwd entry;
	struct passwd* found = nullptr;
	std::vector<char> buffer(4096);
	if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
	    found != nullptr && found->pw_dir != nullptr && found->pw_dir[0] == '/') {
		return found->pw_dir;
	}
	return "/";
}

std::string
ConfigDirectory()
{
	const char* config = getenv("XDG_CONFIG_HOME");
	if (config != nullptr && config[0] == '/')
		return config;
	return JoinPath(HomeDirectory(), ".config");
}

std::string
MapToHostPath(const char* path)
{
	const char* rest = nullptr;
	if (StripPrefix(path, kBootSettings, &rest))
		return ConfigDirectory() + rest;
	if (StripPrefix(path, kBootHome, &rest))
		return HomeDirectory() + rest;
	return path;
}

bool
NeedsNormalizing(const std::string& path)
{
	if (path.empty() || path[0] != '/')
		return true;
	if (path.size() > 1 && path.back() == '/')
		return true;
	size_t start = 1;
	while (start <= path.size()) {
		size_t end = path.find('/', start);
		if (end == std::string::npos)
			end = path.size();
		std::string component = path.substr(start, end - start);
		if (component.empty() || component == "." || component == "..")
			return end != path.size() || !component.empty();
		start = end + 1;
	}
	return false;
}

void
SplitPath(const std::string& path, std::string* parent, std::string* leaf)
{
	size_t slash = path.rfind('/');
	if (slash == std::string::npos) {
		*parent = ".";
		*leaf = path;
		return;
	}
	*leaf = path.substr(slash + 1);
	*parent = slash == 0 ? "/" : path.substr(0, slash);
}

std::string
JoinPath(const std::string& directory, const std::string& relative)
{
	if (directory.empty())
		return relative;
	if (directory.back() == '/')
		return directory + relative;
	return directory + "/" + relative;
}

status_t
NormalizeHostPath(std::string absolute, std::string* result)
{
	if (absolute.empty())
		return B_BAD_VALUE;
	if (absolute[0] != '/')
		absolute = JoinPath(CurrentDirectory(), absolute);
	while (absolute.size() > 1 && absolute.back() == '/')
		absolute.pop_back();

	std::string parent;
	std::string leaf;
	SplitPath(absolute, &parent, &leaf);
	if (leaf.size() > kLeafLimit)
		return B_NAME_TOO_LONG;
	if (leaf.empty() || leaf == "." || leaf == "..")
		return RealPath(absolute, result);

	std::string resolved;
	status_t status = RealPath(parent, &resolved);
	if (status != B_OK)
		return status;
	*result = JoinPath(resolved, leaf);
	return result->size() < kPathLimit ? B_OK : B_NAME_TOO_LONG;
}

status_t
NormalizePath(const char* path, std::string* result)
{
	if (path == nullptr || path[0] == '\0')
		return B_BAD_VALUE;
	return NormalizeHostPath(MapToHostPath(path), result);
}

status_t
HostPathFor(const char* path, bool normalize, std::string* result)
{
	if (path == nullptr || path[0] == '\0')
		return B_BAD_VALUE;
	std::string mapped = MapToHostPath(path);
	if (normalize || NeedsNormalizing(mapped))
		return NormalizeHostPath(mapped, result);
	if (mapped.size() >= kPathLimit)
		return B_NAME_TOO_LONG;
	std::string parent;
	std::string leaf;
	SplitPath(mapped, &parent, &leaf);
	if (leaf.size() > kLeafLimit)
		return B_NAME_TOO_LONG;
	*result = mapped;
	return B_OK;
}

status_t
PathOfDescriptor(int fd, std::string* path)
{
	if (fd < 0)
		return B_FILE_ERROR;
	std::string link = "/proc/self/fd/" + std::to_string(fd);
	std::vector<char> buffer(PATH_MAX + 1);
	ssize_t length = readlink(link.c_str(), buffer.data(), buffer.size() - 1);
	if (length < 0)
		return LastErrorStatus();
	std::string result(buffer.data(), static_cast<size_t>(length));
	if (result.empty() || result[0] != '/')
		return B_ENTRY_NOT_FOUND;
	struct stat byPath;
	struct stat byDescriptor;
	if (stat(result.c_str(), &byPath) != 0 || fstat(fd, &byDescriptor) != 0 ||
	    byPath.st_dev != byDescriptor.st_dev || byPath.st_ino != byDescriptor.st_ino) {
		return B_ENTRY_NOT_FOUND;
	}
	*path = result;
	return B_OK;
}

} // namespace BPrivate
