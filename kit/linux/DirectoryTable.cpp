// Directory (device, inode) -> host path table behind entry_ref and node_ref.
#include "DirectoryTable.h"

#include "HostPath.h"

#include <dirent.h>
#include <map>
#include <mutex>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace BPrivate {

namespace {

typedef std::pair<dev_t, ino_t> DirectoryKey;

// Bounds the memory a long-running process spends on directories it met once, and the
// work of a search for a moved directory.
const size_t kTableLimit = 65536;
const size_t kSearchLimit = 1024;

std::mutex sTableLock;
std::map<DirectoryKey, std::string> sTable;

bool
IsDirectoryAt(const std::string& path, dev_t device, ino_t inode)
{
	struct stat info;
	return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_dev == device &&
	       info.st_ino == inode;
}

bool
IsNodeAt(const std::string& path, dev_t device, ino_t inode)
{
	struct stat info;
	return lstat(path.c_str(), &info) == 0 && info.st_dev == device && info.st_ino == inode;
}

bool
SearchChildren(const std::string& parent, dev_t device, ino_t inode, std::string* found,
               bool directoriesOnly = true)
{
	DIR* directory = opendir(parent.c_str());
	if (directory == nullptr)
		return false;
	bool result = false;
	while (struct dirent* entry = readdir(directory)) {
		if (entry->d_ino != inode)
			continue;
		std::string candidate = JoinPath(parent, entry->d_name);
		if (directoriesOnly ? IsDirectoryAt(candidate, device, inode)
		                    : IsNodeAt(candidate, device, inode)) {
			*found = candidate;
			result = true;
			break;
		}
	}
	closedir(directory);
	return result;
}

std::vector<std::string>
KnownDirectories()
{
	std::lock_guard<std::mutex> lock(sTableLock);
	std::vector<std::string> paths;
	for (const auto& [key, path] : sTable) {
		if (paths.size() >= kSearchLimit)
			break;
		paths.push_back(path);
	}
	return paths;
}

} // namespace

void
RememberDirectory(dev_t device, ino_t inode, const std::string& path)
{
	std::lock_guard<std::mutex> lock(sTableLock);
	DirectoryKey key(device, inode);
	auto found = sTable.find(key);
	if (found != sTable.end()) {
		found->second = path;
		return;
	}
	if (sTable.size() >= kTableLimit)
		sTable.erase(sTable.begin());
	sTable.emplace(key, path);
}

void
RememberDirectoryPath(const std::string& path)
{
	struct stat info;
	if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
		RememberDirectory(info.st_dev, info.st_ino, path);
}

status_t
FindDirectory(dev_t device, ino_t inode, std::string* path)
{
	std::string recorded;
	{
		std::lock_guard<std::mutex> lock(sTableLock);
		auto found = sTable.find(DirectoryKey(device, inode));
		if (found == sTable.end())
			return B_ENTRY_NOT_FOUND;
		recorded = found->second;
	}
	if (IsDirectoryAt(recorded, device, inode)) {
		*path = recorded;
		return B_OK;
	}

	// A rename inside the same parent is the common case: look there first.
	std::string parent;
	std::string leaf;
	SplitPath(recorded, &parent, &leaf);
	std::vector<std::string> candidates = KnownDirectories();
	candidates.insert(candidates.begin(), parent);
	for (const std::string& known : candidates) {
		std::string moved;
		if (SearchChildren(known, device, inode, &moved)) {
			RememberDirectory(device, inode, moved);
			*path = moved;
			return B_OK;
		}
	}

	std::lock_guard<std::mutex> lock(sTableLock);
	sTable.erase(DirectoryKey(device, inode));
	return B_ENTRY_NOT_FOUND;
}

status_t
FindNode(dev_t device, ino_t inode, std::string* path)
{
	if (FindDirectory(device, inode, path) == B_OK)
		return B_OK;
	for (const std::string& known : KnownDirectories()) {
		if (SearchChildren(known, device, inode, path, false))
			return B_OK;
	}
	return B_ENTRY_NOT_FOUND;
}

} // namespace BPrivate
