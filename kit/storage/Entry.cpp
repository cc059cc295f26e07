// BEntry and entry_ref: locations in directories, resolved through the host's paths.
#include <Entry.h>

#include <Directory.h>
#include <Path.h>

#include "DirectoryTable.h"
#include "ErrnoStatus.h"
#include "HostPath.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

using BPrivate::JoinPath;

entry_ref::entry_ref() : device(-1), directory(0), name(nullptr)
{}

entry_ref::entry_ref(dev_t device, ino_t directory, const char* name)
    : device(device), directory(directory), name(nullptr)
{
	set_name(name);
}

entry_ref::entry_ref(const entry_ref& other)
    : device(other.device), directory(other.directory), name(nullptr)
{
	set_name(other.name);
}

entry_ref::~entry_ref()
{
	free(name);
}

status_t
entry_ref::set_name(const char* newName)
{
	char* copy = nullptr;
	if (newName != nullptr) {
		copy = strdup(newName);
		if (copy == nullptr)
			return B_NO_MEMORY;
	}
	free(name);
	name = copy;
	return B_OK;
}

bool
entry_ref::operator==(const entry_ref& other) const
{
	if (device != other.device || directory != other.directory)
		return false;
	if (name == nullptr || other.name == nullptr)
		return name == other.name;
	return strcmp(name, other.name) == 0;
}

bool
entry_ref::operator!=(const entry_ref& other) const
{
	return !(*this == other);
}

entry_ref&
entry_ref::operator=(const entry_ref& other)
{
	if (this != &other) {
		device = other.device;
		directory = other.directory;
		set_name(other.name);
	}
	return *this;
}

bool
operator<(const entry_ref& a, const entry_ref& b)
{
	if (a.device != b.device)
		return a.device < b.device;
	if (a.directory != b.directory)
		return a.directory < b.directory;
	if (a.name == nullptr || b.name == nullptr)
		return b.name != nullptr;
	return strcmp(a.name, b.name) < 0;
}

status_t
get_ref_for_path(const char* path, entry_ref* ref)
{
	if (ref == nullptr)
		return B_BAD_VALUE;
	BEntry entry(path);
	status_t status = entry.InitCheck();
	if (status != B_OK)
		return status;
	return entry.GetRef(ref);
}

BEntry::BEntry() : fDevice(-1), fDirectoryNode(0), fCStatus(B_NO_INIT)
{}

BEntry::BEntry(const BDirectory* dir, const char* path, bool traverse) : BEntry()
{
	SetTo(dir, path, traverse);
}

BEntry::BEntry(const entry_ref* ref, bool traverse) : BEntry()
{
	SetTo(ref, traverse);
}

BEntry::BEntry(const char* path, bool traverse) : BEntry()
{
	SetTo(path, traverse);
}

BEntry::BEntry(const BEntry& entry) : BEntry()
{
	*this = entry;
}

BEntry::~BEntry()
{}

status_t
BEntry::InitCheck() const
{
	return fCStatus;
}

bool
BEntry::Exists() const
{
	struct stat info;
	return fCStatus == B_OK && lstat(_FullPath().c_str(), &info) == 0;
}

status_t
BEntry::GetStat(struct stat* info) const
{
	if (info == nullptr)
		return B_BAD_VALUE;
	if (fCStatus != B_OK)
		return fCStatus;
	return lstat(_FullPath().c_str(), info) == 0 ? B_OK : BPrivate::LastErrorStatus();
}

status_t
BEntry::SetTo(const BDirectory* dir, const char* path, bool traverse)
{
	Unset();
	if (dir == nullptr)
		return fCStatus = B_BAD_VALUE;
	if (path != nullptr && path[0] == '/')
		return SetTo(path, traverse);
	if (dir->InitCheck() != B_OK)
		return fCStatus = dir->InitCheck();
	std::string base = dir->_CurrentPath();
	if (path == nullptr || path[0] == '\0')
		return _SetHostPath(base, traverse);
	return _SetHostPath(JoinPath(base, path), traverse);
}

status_t
BEntry::SetTo(const entry_ref* ref, bool traverse)
{
	Unset();
	if (ref == nullptr || ref->name == nullptr || ref->name[0] == '\0')
		return fCStatus = B_BAD_VALUE;
	if (strchr(ref->name, '/') != nullptr)
		return fCStatus = B_BAD_VALUE;
	std::string directory;
	status_t status = BPrivate::FindDirectory(ref->device, ref->directory, &directory);
	if (status != B_OK)
		return fCStatus = status;
	return _SetHostPath(JoinPath(directory, ref->name), traverse);
}

status_t
BEntry::SetTo(const char* path, bool traverse)
{
	Unset();
	if (path == nullptr || path[0] == '\0')
		return fCStatus = B_BAD_VALUE;
	return _SetHostPath(BPrivate::MapToHostPath(path), traverse);
}

void
BEntry::Unset()
{
	fDirectory.clear();
	fName.clear();
	fDevice = -1;
	fDirectoryNode = 0;
	fCStatus = B_NO_INIT;
}

status_t
BEntry::GetRef(entry_ref* ref) const
{
	if (ref == nullptr)
		return B_BAD_VALUE;
	if (fCStatus != B_OK)
		return fCStatus;
	ref->device = fDevice;
	ref->directory = fDirectoryNode;
	return ref->set_name(fName.c_str());
}

status_t
BEntry::GetPath(BPath* path) const
{
	if (path == nullptr)
		return B_BAD_VALUE;
	if (fCStatus != B_OK) {
		path->Unset();
		return fCStatus;
	}
	return path->_SetHostPath(_FullPath());
}

status_t
BEntry::GetParent(BEntry* entry) const
{
	if (entry == nullptr)
		return B_BAD_VALUE;
	if (fCStatus != B_OK)
		return fCStatus;
	if (fName.empty())
		return B_ENTRY_NOT_FOUND;
	std::string directory = fDirectory;
	return entry->_SetHostPath(directory, false);
}

status_t
BEntry::GetParent(BDirectory* dir) const
{
	if (dir == nullptr)
		return B_BAD_VALUE;
	if (fCStatus != B_OK)
		return fCStatus;
	if (fName.empty())
		return B_ENTRY_NOT_FOUND;
	return dir->_OpenDirectory(fDirectory);
}

status_t
BEntry::GetName(char* buffer) const
{
	if (buffer == nullptr)
		return B_BAD_VALUE;
	if (fCStatus != B_OK) {
		buffer[0] = '\0';
		return fCStatus;
	}
	const std::string& name = fName.empty() ? fDirectory : fName;
	snprintf(buffer, B_FILE_NAME_LENGTH, "%s", name.c_str());
	return B_OK;
}

status_t
BEntry::Rename(const char* path, bool clobber)
{
	if (path == nullptr || path[0] == '\0')
		return B_BAD_VALUE;
	if (fCStatus != B_OK)
		return fCStatus;
	std::string target =
	        path[0] == '/' ? BPrivate::MapToHostPath(path) : JoinPath(fDirectory, path);
	return _MoveToHostPath(target, clobber);
}

status_t
BEntry::MoveTo(BDirectory* dir, const char* path, bool clobber)
{
	if (dir == nullptr)
		return B_BAD_VALUE;
	if (fCStatus != B_OK)
		return fCStatus;
	if (path != nullptr && path[0] == '/')
		return Rename(path, clobber);
	if (dir->InitCheck() != B_OK)
		return dir->InitCheck();
	const char* leaf = path != nullptr && path[0] != '\0' ? path : fName.c_str();
	return _MoveToHostPath(JoinPath(dir->_CurrentPath(), leaf), clobber);
}

status_t
BEntry::Remove()
{
	if (fCStatus != B_OK)
		return fCStatus;
	std::string path = _FullPath();
	struct stat info;
	if (lstat(path.c_str(), &info) != 0)
		return BPrivate::LastErrorStatus();
	int result = S_ISDIR(info.st_mode) ? rmdir(path.c_str()) : unlink(path.c_str());
	return result == 0 ? B_OK : BPrivate::LastErrorStatus();
}

bool
BEntry::operator==(const BEntry& item) const
{
	if (fCStatus != B_OK || item.fCStatus != B_OK)
		return fCStatus != B_OK && item.fCStatus != B_OK;
	return fDevice == item.fDevice && fDirectoryNode == item.fDirectoryNode && fName == item.fName;
}

bool
BEntry::operator!=(const BEntry& item) const
{
	return !(*this == item);
}

BEntry&
BEntry::operator=(const BEntry& item)
{
	if (this != &item) {
		fDirectory = item.fDirectory;
		fName = item.fName;
		fDevice = item.fDevice;
		fDirectoryNode = item.fDirectoryNode;
		fCStatus = item.fCStatus;
	}
	return *this;
}

// Settles the entry on an already mapped host path: its directory resolved for good,
// and remembered so that refs into it resolve later.
status_t
BEntry::_SetHostPath(std::string path, bool traverse)
{
	std::string normalized;
	status_t status = BPrivate::NormalizeHostPath(path, &normalized);
	if (status == B_OK && traverse)
		status = _Traverse(&normalized);
	if (status != B_OK) {
		Unset();
		return fCStatus = status;
	}
	if (normalized == "/") {
		fDirectory.assign(1, '/');
		fName.clear();
	} else {
		BPrivate::SplitPath(normalized, &fDirectory, &fName);
	}
	struct stat info;
	if (stat(fDirectory.c_str(), &info) != 0) {
		status = BPrivate::LastErrorStatus();
		Unset();
		return fCStatus = status;
	}
	fDevice = info.st_dev;
	fDirectoryNode = info.st_ino;
	BPrivate::RememberDirectory(info.st_dev, info.st_ino, fDirectory);
	return fCStatus = B_OK;
}

void
BEntry::_SetInDirectory(const std::string& directory, const std::string& name, dev_t device,
                        ino_t directoryNode)
{
	fDirectory = directory;
	fName = name;
	fDevice = device;
	fDirectoryNode = directoryNode;
	fCStatus = B_OK;
}

// Follows a chain of links; the last element need not exist, its directory must.
status_t
BEntry::_Traverse(std::string* path) const
{
	std::vector<char> buffer(B_PATH_NAME_LENGTH + 1);
	for (int links = 0;; links++) {
		struct stat info;
		if (lstat(path->c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
			return B_OK;
		if (links >= B_MAX_SYMLINKS)
			return B_LINK_LIMIT;
		ssize_t length = readlink(path->c_str(), buffer.data(), buffer.size() - 1);
		if (length < 0)
			return BPrivate::LastErrorStatus();
		std::string target(buffer.data(), static_cast<size_t>(length));
		if (target.empty())
			return B_ENTRY_NOT_FOUND;
		if (target[0] != '/') {
			std::string parent;
			std::string leaf;
			BPrivate::SplitPath(*path, &parent, &leaf);
			target = JoinPath(parent, target);
		}
		std::string next;
		status_t status = BPrivate::NormalizeHostPath(target, &next);
		if (status != B_OK)
			return status;
		*path = next;
	}
}

status_t
BEntry::_MoveToHostPath(const std::string& target, bool clobber)
{
	std::string source = _FullPath();
	std::string normalized;
	status_t status = BPrivate::NormalizeHostPath(target, &normalized);
	if (status != B_OK)
		return status;
	unsigned int flags = clobber ? 0 : RENAME_NOREPLACE;
	if (renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, normalized.c_str(), flags) != 0) {
		if (errno != EINVAL || clobber)
			return BPrivate::LastErrorStatus();
		// A file system without RENAME_NOREPLACE: check, then rename.
		struct stat info;
		if (lstat(normalized.c_str(), &info) == 0)
			return B_FILE_EXISTS;
		if (rename(source.c_str(), normalized.c_str()) != 0)
			return BPrivate::LastErrorStatus();
	}
	return _SetHostPath(normalized, false);
}

std::string
BEntry::_FullPath() const
{
	if (fName.empty())
		return fDirectory;
	return JoinPath(fDirectory, fName);
}
