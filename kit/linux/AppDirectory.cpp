// The per-user directory of application sockets. A socket file outlives a process that
// crashed; every lookup proves a file live by connecting to it and removes the dead ones.
#include "AppDirectory.h"

#include "ErrnoStatus.h"
#include "UnixSocket.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace BPrivate {

namespace {

const size_t kMaxSocketPath = sizeof(((sockaddr_un*)nullptr)->sun_path) - 1;

bool
IsPlainNameChar(char c)
{
	return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' ||
	       c == '_';
}

std::string
EncodeSignature(const char* signature)
{
	std::string encoded;
	for (const char* p = signature; *p != '\0'; p++) {
		char c = (*p >= 'A' && *p <= 'Z') ? (char)(*p - 'A' + 'a') : *p;
		if (IsPlainNameChar(c)) {
			encoded += c;
		} else {
			char escape[4];
			snprintf(escape, sizeof(escape), "%%%02X", (unsigned char)c);
			encoded += escape;
		}
	}
	return encoded;
}

std::string
DecodeSignature(const std::string& encoded)
{
	std::string decoded;
	for (size_t i = 0; i < encoded.size(); i++) {
		if (encoded[i] == '%' && i + 2 < encoded.size()) {
			decoded += (char)strtol(encoded.substr(i + 1, 2).c_str(), nullptr, 16);
			i += 2;
		} else {
			decoded += encoded[i];
		}
	}
	return decoded;
}

// The file name stem for signature, shortened with a hash when the whole path would not
// fit a socket address. '~' never occurs in an encoded signature, so it marks the hash.
std::string
SocketStem(const std::string& directory, const char* signature)
{
	std::string encoded = EncodeSignature(signature);
	const size_t teamRoom = 12; // "@" and up to ten digits, and the slash
	if (directory.size() + encoded.size() + teamRoom <= kMaxSocketPath)
		return encoded;
	uint64 hash = 14695981039346656037ULL;
	for (char c : encoded) {
		hash ^= (uint8)c;
		hash *= 1099511628211ULL;
	}
	char hashText[20];
	snprintf(hashText, sizeof(hashText), "~%016llx", (unsigned long long)hash);
	size_t room = kMaxSocketPath - directory.size() - teamRoom - 17;
	if (directory.size() + teamRoom + 17 > kMaxSocketPath)
		room = 0;
	return encoded.substr(0, room) + hashText;
}

bool
ParseSocketName(const char* name, std::string& stem, team_id& team)
{
	const char* at = strrchr(name, '@');
	if (at == nullptr || at == name || at[1] == '\0')
		return false;
	char* end;
	long value = strtol(at + 1, &end, 10);
	if (*end != '\0' || value <= 0 || value > INT32_MAX)
		return false;
	stem.assign(name, at - name);
	team = (team_id)value;
	return true;
}

// Connecting proves somebody listens; a refused connection means a dead owner.
bool
IsListening(const std::string& path)
{
	UnixSocket probe;
	return probe.Connect(path) != B_NAME_NOT_FOUND;
}

status_t
MakePrivateDirectory(const std::string& path)
{
	if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
		return LastErrorStatus();
	struct stat info;
	if (lstat(path.c_str(), &info) != 0)
		return LastErrorStatus();
	if (!S_ISDIR(info.st_mode))
		return B_NOT_A_DIRECTORY;
	// Another user's directory, or one others can enter, could hand us their sockets.
	if (info.st_uid != geteuid() || (info.st_mode & 0077) != 0)
		return B_PERMISSION_DENIED;
	return B_OK;
}

} // namespace

status_t
AppSocketDirectory(std::string& directory)
{
	const char* runtime = getenv("XDG_RUNTIME_DIR");
	if (runtime != nullptr && runtime[0] == '/')
		directory = std::string(runtime) + "/kestrovane-kit";
	else
		directory = "/tmp/kestrovane-kit-" + std::to_string(geteuid());
	return MakePrivateDirectory(directory);
}

std::string
AppSocketPath(const std::string& directory, const char* signature, team_id team)
{
	return directory + "/" + SocketStem(directory, signature) + "@" + std::to_string(team);
}

std::vector<running_app_socket>
FindRunningApps(const char* signature, team_id onlyTeam)
{
	std::vector<running_app_socket> apps;
	std::string directory;
	if (AppSocketDirectory(directory) != B_OK)
		return apps;
	std::string wanted = signature != nullptr ? SocketStem(directory, signature) : "";
	DIR* dir = opendir(directory.c_str());
	if (dir == nullptr)
		return apps;
	while (dirent* entry = readdir(dir)) {
		std::string stem;
		team_id team;
		if (!ParseSocketName(entry->d_name, stem, team))
			continue;
		if ((signature != nullptr && stem != wanted) || (onlyTeam > 0 && team != onlyTeam))
			continue;
		std::string path = directory + "/" + entry->d_name;
		if (!IsListening(path)) {
			// A live program may be between bind() and listen(): only the socket of a
			// process that is gone is stale.
			if (kill(team, 0) != 0 && errno == ESRCH)
				unlink(path.c_str());
			continue;
		}
		bool hashed = stem.find('~') != std::string::npos;
		apps.push_back({team, path, hashed ? std::string() : DecodeSignature(stem)});
	}
	closedir(dir);
	return apps;
}

void
RemoveAppSocket(const std::string& path)
{
	unlink(path.c_str());
}

status_t
FindAppSocket(team_id team, running_app_socket& app)
{
	if (team <= 0)
		return B_BAD_TEAM_ID;
	std::vector<running_app_socket> apps = FindRunningApps(nullptr, team);
	if (apps.empty())
		return B_BAD_TEAM_ID;
	app = apps.front();
	return B_OK;
}

SignatureLock::SignatureLock(const char* signature) : fStatus(B_NO_INIT)
{
	std::string directory;
	fStatus = AppSocketDirectory(directory);
	if (fStatus != B_OK)
		return;
	std::string path = directory + "/" + SocketStem(directory, signature) + ".lock";
	fFD.Reset(open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
	if (!fFD.IsValid()) {
		fStatus = LastErrorStatus();
		return;
	}
	int result;
	do {
		result = flock(fFD.Get(), LOCK_EX);
	} while (result != 0 && errno == EINTR);
	fStatus = result == 0 ? B_OK : LastErrorStatus();
}

} // namespace BPrivate
