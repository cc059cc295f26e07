// BDirectory: sorted, stable enumeration of a host directory, and what can be made
// inside it.
#include <Directory.h>

#include <Entry.h>
#include <File.h>
#include <Path.h>

#include "DirectoryTable.h"
#include "ErrnoStatus.h"
#include "FileDescriptor.h"
#include "HostPath.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

using BPrivate::JoinPath;

namespace {

bool
MatchesFlavor(const struct stat& info, int32 nodeFlags)
{
	if (S_ISREG(info.st_mode))
		return (nodeFlags & B_FILE_NODE) != 0;
	if (S_ISDIR(info.st_mode))
		return (nodeFlags & B_DIRECTORY_NODE) != 0;
	if (S_ISLNK(info.st_mode))
		return (nodeFlags & B_SYMLINK_NODE) != 0;
	return nodeFlags == B_ANY_NODE;
}

// The names in an open directory, "." and ".." left out, sorted by bytes.
status_t
ListNames(int directoryFd, std::vector<std::string>* names)
{
	BPrivate::FileDescriptor fd(openat(directoryFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
	if (!fd.IsValid())
		return BPrivate::LastErrorStatus();
	DIR* directory = fdopendir(fd.Get());
	if (directory == nullptr)
		return BPrivate::LastErrorStatus();
	fd.Release();
	names->clear();
	while (struct dirent* entry = readdir(directory)) {
		if (strcmp(entry->d_name, ".") == 0 || strcmp(entry->d_name, "..") == 0)
			continue;
		names->push_back(entry->d_name);
	}
	closedir(directory);
	std::sort(names->begin(), names->end());
	return B_OK;
}

} // namespace

BDirectory::BDirectory() : fNextName(0), fListed(false)
{}

BDirectory::BDirectory(const BDirectory& dir) : BDirectory()
{
	*this = dir;
}

BDirectory::BDirectory(const entry_ref* ref) : BDirectory()
{
	SetTo(ref);
}

BDirectory::BDirectory(const node_ref* nref) : BDirectory()
{
	SetTo(nref);
}

BDirectory::BDirectory(const BEntry* entry) : BDirectory()
{
	SetTo(entry);
}

BDirectory::BDirectory(const char* path) : BDirectory()
{
	SetTo(path);
}

BDirectory::BDirectory(const BDirectory* dir, const char* path) : BDirectory()
{
	SetTo(dir, path);
}

BDirectory::~BDirectory()
{}

status_t
BDirectory::SetTo(const entry_ref* ref)
{
	Unset();
	std::string path;
	status_t status = _HostPathOf(ref, &path);
	if (status != B_OK)
		return fCStatus = status;
	return _OpenDirectory(path);
}

status_t
BDirectory::SetTo(const node_ref* nref)
{
	Unset();
	if (nref == nullptr)
		return fCStatus = B_BAD_VALUE;
	std::string path;
	status_t status = BPrivate::FindDirectory(nref->device, nref->node, &path);
	if (status != B_OK)
		return fCStatus = status;
	status = _OpenDirectory(path);
	node_ref opened;
	if (status == B_OK && (GetNodeRef(&opened) != B_OK || opened != *nref)) {
		Unset();
		return fCStatus = B_ENTRY_NOT_FOUND;
	}
	return status;
}

status_t
BDirectory::SetTo(const BEntry* entry)
{
	Unset();
	if (entry == nullptr)
		return fCStatus = B_BAD_VALUE;
	if (entry->InitCheck() != B_OK)
		return fCStatus = entry->InitCheck();
	return _OpenDirectory(entry->_FullPath());
}

status_t
BDirectory::SetTo(const char* path)
{
	Unset();
	std::string hostPath;
	status_t status = BPrivate::HostPathFor(path, false, &hostPath);
	if (status != B_OK)
		return fCStatus = status;
	return _OpenDirectory(hostPath);
}

status_t
BDirectory::SetTo(const BDirectory* dir, const char* path)
{
	if (dir == nullptr || path == nullptr || path[0] == '\0') {
		Unset();
		return fCStatus = B_BAD_VALUE;
	}
	if (path[0] == '/')
		return SetTo(path);
	status_t status = dir->InitCheck();
	// Taken before Unset: dir may be this very directory.
	std::string target = status == B_OK ? JoinPath(dir->_CurrentPath(), path) : std::string();
	Unset();
	if (status != B_OK)
		return fCStatus = status;
	return _OpenDirectory(target);
}

void
BDirectory::Unset()
{
	BNode::Unset();
	fPath.clear();
	fNames.clear();
	fNextName = 0;
	fListed = false;
}

status_t
BDirectory::GetEntry(BEntry* entry) const
{
	if (entry == nullptr)
		return B_BAD_VALUE;
	if (fCStatus != B_OK)
		return fCStatus;
	return entry->_SetHostPath(_CurrentPath(), false);
}

status_t
BDirectory::FindEntry(const char* path, BEntry* entry, bool traverse) const
{
	if (path == nullptr || entry == nullptr)
		return B_BAD_VALUE;
	if (fCStatus != B_OK)
		return fCStatus;
	status_t status = entry->SetTo(this, path, traverse);
	if (status == B_OK && !entry->Exists())
		status = B_ENTRY_NOT_FOUND;
	if (status != B_OK)
		entry->Unset();
	return status;
}

bool
BDirectory::Contains(const char* path, int32 nodeFlags) const
{
	if (path == nullptr || fCStatus != B_OK)
		return false;
	BEntry entry;
	if (FindEntry(path, &entry) != B_OK)
		return false;
	return Contains(&entry, nodeFlags);
}

bool
BDirectory::Contains(const BEntry* entry, int32 nodeFlags) const
{
	if (entry == nullptr || entry->InitCheck() != B_OK || fCStatus != B_OK)
		return false;
	std::string directory = _CurrentPath();
	std::string path = entry->_FullPath();
	std::string prefix = directory == "/" ? directory : directory + "/";
	if (path.compare(0, prefix.size(), prefix) != 0 || path.size() == prefix.size())
		return false;
	struct stat info;
	return lstat(path.c_str(), &info) == 0 && MatchesFlavor(info, nodeFlags);
}

status_t
BDirectory::GetNextEntry(BEntry* entry, bool traverse)
{
	if (entry == nullptr)
		return B_BAD_VALUE;
	std::string name;
	bool isLink = false;
	status_t status = _NextName(&name, &isLink);
	if (status != B_OK) {
		entry->Unset();
		return status;
	}
	// A link that cannot be followed (a loop, a missing directory) is handed out as
	// the link itself, so one bad link does not end the caller's walk.
	if (traverse && isLink && entry->_SetHostPath(JoinPath(fPath, name), true) == B_OK)
		return B_OK;
	// The snapshot's directory path is resolved already and the entry is no link (or one
	// that leads nowhere): no need to walk either again.
	entry->_SetInDirectory(fPath, name, fDevice, fNode);
	return B_OK;
}

status_t
BDirectory::GetNextRef(entry_ref* ref)
{
	if (ref == nullptr)
		return B_BAD_VALUE;
	std::string name;
	status_t status = _NextName(&name);
	if (status != B_OK)
		return status;
	ref->device = fDevice;
	ref->directory = fNode;
	return ref->set_name(name.c_str());
}

int32
BDirectory::GetNextDirents(struct dirent* buffer, size_t length, int32 count)
{
	if (buffer == nullptr)
		return B_BAD_VALUE;
	int32 filled = 0;
	while (filled < count && (filled + 1) * sizeof(struct dirent) <= length) {
		std::string name;
		status_t status = _NextName(&name);
		if (status == B_ENTRY_NOT_FOUND)
			break;
		if (status != B_OK)
			return filled > 0 ? filled : status;
		struct dirent* entry = buffer + filled;
		memset(entry, 0, sizeof(*entry));
		struct stat info;
		if (fstatat(fFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0)
			entry->d_ino = info.st_ino;
		entry->d_reclen = sizeof(*entry);
		snprintf(entry->d_name, sizeof(entry->d_name), "%s", name.c_str());
		filled++;
	}
	return filled;
}

status_t
BDirectory::Rewind()
{
	if (fCStatus != B_OK)
		return fCStatus;
	fNames.clear();
	fNextName = 0;
	fListed = false;
	return B_OK;
}

int32
BDirectory::CountEntries()
{
	if (fCStatus != B_OK)
		return fCStatus;
	std::vector<std::string> names;
	status_t status = ListNames(fFd, &names);
	return status == B_OK ? static_cast<int32>(names.size()) : status;
}

status_t
BDirectory::CreateFile(const char* path, BFile* file, bool failIfExists)
{
	if (path == nullptr || path[0] == '\0')
		return B_BAD_VALUE;
	if (fCStatus != B_OK)
		return fCStatus;
	uint32 mode = B_READ_WRITE | B_CREATE_FILE | (failIfExists ? B_FAIL_IF_EXISTS : B_ERASE_FILE);
	BFile created;
	BFile* target = file != nullptr ? file : &created;
	return target->SetTo(this, path, mode);
}

status_t
BDirectory::CreateDirectory(const char* path, BDirectory* dir)
{
	if (path == nullptr || path[0] == '\0')
		return B_BAD_VALUE;
	if (fCStatus != B_OK)
		return fCStatus;
	std::string full =
	        path[0] == '/' ? BPrivate::MapToHostPath(path) : JoinPath(_CurrentPath(), path);
	if (mkdir(full.c_str(), 0777) != 0)
		return BPrivate::LastErrorStatus();
	return dir != nullptr ? dir->_OpenDirectory(full) : B_OK;
}

BDirectory&
BDirectory::operator=(const BDirectory& dir)
{
	if (this == &dir)
		return *this;
	Unset();
	if (dir.fCStatus == B_OK)
		_OpenDirectory(dir._CurrentPath());
	return *this;
}

status_t
BDirectory::_OpenDirectory(const std::string& hostPath)
{
	Unset();
	status_t status = _OpenPath(hostPath, O_RDONLY | O_DIRECTORY);
	if (status != B_OK)
		return status;
	struct stat info;
	if (fstat(fFd, &info) != 0 || !S_ISDIR(info.st_mode)) {
		Unset();
		return fCStatus = B_NOT_A_DIRECTORY;
	}
	if (BPrivate::PathOfDescriptor(fFd, &fPath) != B_OK)
		fPath = hostPath;
	return B_OK;
}

status_t
BDirectory::_TakeSnapshot()
{
	fNames.clear();
	fNextName = 0;
	status_t status = ListNames(fFd, &fNames);
	if (status != B_OK)
		return status;
	struct stat info;
	if (fstat(fFd, &info) != 0)
		return BPrivate::LastErrorStatus();
	fPath = _CurrentPath();
	fDevice = info.st_dev;
	fNode = info.st_ino;
	BPrivate::RememberDirectory(fDevice, fNode, fPath);
	fListed = true;
	return B_OK;
}

// The next name of the snapshot whose entry is still there.
status_t
BDirectory::_NextName(std::string* name, bool* isLink)
{
	if (fCStatus != B_OK)
		return fCStatus;
	if (!fListed) {
		status_t status = _TakeSnapshot();
		if (status != B_OK)
			return status;
	}
	while (fNextName < fNames.size()) {
		const std::string& candidate = fNames[fNextName++];
		struct stat info;
		if (fstatat(fFd, candidate.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0) {
			*name = candidate;
			if (isLink != nullptr)
				*isLink = S_ISLNK(info.st_mode);
			return B_OK;
		}
	}
	return B_ENTRY_NOT_FOUND;
}

std::string
BDirectory::_CurrentPath() const
{
	std::string path;
	if (fCStatus == B_OK && BPrivate::PathOfDescriptor(fFd, &path) == B_OK)
		return path;
	return fPath;
}

namespace {

// How a failed mkdir() reads to create_directory's callers.
status_t
MakeDirectoryStatus(int error)
{
	switch (error) {
	case EROFS:
		return B_NOT_ALLOWED;
	case ENAMETOOLONG:
	case ENOTDIR:
		return B_BAD_VALUE;
	default:
		return BPrivate::StatusFromErrno(error);
	}
}

// Makes one component; it may have appeared meanwhile (another creator won the race).
status_t
MakeOne(const std::string& path, mode_t mode)
{
	struct stat info;
	if (stat(path.c_str(), &info) == 0)
		return S_ISDIR(info.st_mode) ? B_OK : B_BAD_VALUE;
	if (errno != ENOENT)
		return MakeDirectoryStatus(errno);
	if (mkdir(path.c_str(), mode) == 0)
		return B_OK;
	int error = errno;
	if (error == EEXIST && stat(path.c_str(), &info) == 0)
		return S_ISDIR(info.st_mode) ? B_OK : B_BAD_VALUE;
	return MakeDirectoryStatus(error);
}

} // namespace

status_t
create_directory(const char* path, mode_t mode)
{
	if (path == nullptr || path[0] == '\0')
		return B_BAD_VALUE;
	std::string full = BPrivate::MapToHostPath(path);
	if (full[0] != '/') {
		std::string absolute;
		status_t status = BPrivate::NormalizeHostPath(".", &absolute);
		if (status != B_OK)
			return status;
		full = JoinPath(absolute, full);
	}
	if (full.size() >= B_PATH_NAME_LENGTH)
		return B_BAD_VALUE;
	for (size_t end = full.find('/', 1);; end = full.find('/', end + 1)) {
		std::string prefix = full.substr(0, end);
		if (!prefix.empty() && prefix.back() != '/') {
			status_t status = MakeOne(prefix, mode);
			if (status != B_OK)
				return status;
		}
		if (end == std::string::npos)
			return B_OK;
	}
}
