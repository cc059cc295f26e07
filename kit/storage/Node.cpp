// BNode and node_ref: an open node of the host file system and its attributes.
#include <Node.h>

#include <Directory.h>
#include <Entry.h>

#include "DirectoryTable.h"
#include "ErrnoStatus.h"
#include "FileDescriptor.h"
#include "HostPath.h"
#include "Xattr.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

using BPrivate::FileDescriptor;

node_ref::node_ref() : device(-1), node(0)
{}

node_ref::node_ref(dev_t device, ino_t node) : device(device), node(node)
{}

bool
node_ref::operator==(const node_ref& other) const
{
	return device == other.device && node == other.node;
}

bool
node_ref::operator!=(const node_ref& other) const
{
	return !(*this == other);
}

bool
node_ref::operator<(const node_ref& other) const
{
	if (device != other.device)
		return device < other.device;
	return node < other.node;
}

BNode::BNode()
    : fFd(-1), fCStatus(B_NO_INIT), fAttrIndex(0), fAttrsListed(false), fTypedAttrsKnown(false)
{}

BNode::BNode(const entry_ref* ref) : BNode()
{
	SetTo(ref);
}

BNode::BNode(const BEntry* entry) : BNode()
{
	SetTo(entry);
}

BNode::BNode(const char* path) : BNode()
{
	SetTo(path);
}

BNode::BNode(const BDirectory* dir, const char* path) : BNode()
{
	SetTo(dir, path);
}

BNode::BNode(const BNode& node) : BNode()
{
	*this = node;
}

BNode::~BNode()
{
	BNode::Unset();
}

status_t
BNode::InitCheck() const
{
	return fCStatus;
}

status_t
BNode::GetStat(struct stat* info) const
{
	if (info == nullptr)
		return B_BAD_VALUE;
	if (fCStatus != B_OK)
		return fCStatus;
	return fstat(fFd, info) == 0 ? B_OK : BPrivate::LastErrorStatus();
}

status_t
BNode::SetTo(const entry_ref* ref)
{
	Unset();
	std::string path;
	status_t status = _HostPathOf(ref, &path);
	if (status != B_OK)
		return fCStatus = status;
	return _OpenPath(path, O_RDONLY | O_NONBLOCK);
}

status_t
BNode::SetTo(const BEntry* entry)
{
	Unset();
	if (entry == nullptr)
		return fCStatus = B_BAD_VALUE;
	if (entry->InitCheck() != B_OK)
		return fCStatus = entry->InitCheck();
	return _OpenPath(entry->_FullPath(), O_RDONLY | O_NONBLOCK);
}

status_t
BNode::SetTo(const char* path)
{
	Unset();
	std::string hostPath;
	status_t status = BPrivate::HostPathFor(path, false, &hostPath);
	if (status != B_OK)
		return fCStatus = status;
	return _OpenPath(hostPath, O_RDONLY | O_NONBLOCK);
}

status_t
BNode::SetTo(const BDirectory* dir, const char* path)
{
	Unset();
	if (dir == nullptr || path == nullptr || path[0] == '\0')
		return fCStatus = B_BAD_VALUE;
	if (path[0] == '/')
		return SetTo(path);
	if (dir->InitCheck() != B_OK)
		return fCStatus = dir->InitCheck();
	return _OpenPath(BPrivate::JoinPath(dir->_CurrentPath(), path), O_RDONLY | O_NONBLOCK);
}

void
BNode::Unset()
{
	if (fFd >= 0)
		close(fFd);
	fFd = -1;
	fCStatus = B_NO_INIT;
	fAttrNames.clear();
	fAttrIndex = 0;
	fAttrsListed = false;
	fTypedAttrs.clear();
	fTypedAttrsKnown = false;
}

status_t
BNode::Sync()
{
	if (fCStatus != B_OK)
		return B_FILE_ERROR;
	return fsync(fFd) == 0 ? B_OK : BPrivate::LastErrorStatus();
}

ssize_t
BNode::WriteAttr(const char* name, type_code type, off_t offset, const void* buffer, size_t length)
{
	if (fCStatus != B_OK)
		return B_FILE_ERROR;
	return BPrivate::WriteAttribute(fFd, name, type, offset, buffer, length, _TypedAttrs());
}

ssize_t
BNode::ReadAttr(const char* name, type_code, off_t offset, void* buffer, size_t length) const
{
	if (fCStatus != B_OK)
		return B_FILE_ERROR;
	return BPrivate::ReadAttribute(fFd, name, offset, buffer, length);
}

status_t
BNode::RemoveAttr(const char* name)
{
	if (fCStatus != B_OK)
		return B_FILE_ERROR;
	return BPrivate::RemoveAttribute(fFd, name, _TypedAttrs());
}

status_t
BNode::GetAttrInfo(const char* name, attr_info* info) const
{
	if (info == nullptr)
		return B_BAD_VALUE;
	if (fCStatus != B_OK)
		return B_FILE_ERROR;
	type_code type = 0;
	off_t size = 0;
	status_t status = BPrivate::StatAttribute(fFd, name, &type, &size);
	if (status != B_OK)
		return status;
	info->type = type;
	info->size = size;
	return B_OK;
}

status_t
BNode::GetNextAttrName(char* buffer)
{
	if (buffer == nullptr)
		return B_BAD_VALUE;
	if (fCStatus != B_OK)
		return B_FILE_ERROR;
	if (!fAttrsListed) {
		status_t status = BPrivate::ListAttributes(fFd, &fAttrNames);
		if (status != B_OK)
			return status;
		fAttrsListed = true;
		fAttrIndex = 0;
	}
	if (fAttrIndex >= fAttrNames.size())
		return B_ENTRY_NOT_FOUND;
	const std::string& name = fAttrNames[fAttrIndex++];
	size_t length = std::min(name.size(), size_t(B_ATTR_NAME_LENGTH - 1));
	memcpy(buffer, name.data(), length);
	buffer[length] = '\0';
	return B_OK;
}

status_t
BNode::RewindAttrs()
{
	if (fCStatus != B_OK)
		return B_FILE_ERROR;
	fAttrsListed = false;
	fAttrNames.clear();
	fAttrIndex = 0;
	return B_OK;
}

int
BNode::Dup()
{
	if (fCStatus != B_OK)
		return B_FILE_ERROR;
	int fd = fcntl(fFd, F_DUPFD_CLOEXEC, 0);
	return fd >= 0 ? fd : BPrivate::LastErrorStatus();
}

BNode&
BNode::operator=(const BNode& node)
{
	if (this == &node)
		return *this;
	Unset();
	if (node.fCStatus != B_OK)
		return *this;
	int fd = fcntl(node.fFd, F_DUPFD_CLOEXEC, 0);
	_SetDescriptor(fd, fd >= 0 ? B_OK : BPrivate::LastErrorStatus());
	return *this;
}

bool
BNode::operator==(const BNode& node) const
{
	if (fCStatus != B_OK || node.fCStatus != B_OK)
		return fCStatus != B_OK && node.fCStatus != B_OK;
	node_ref mine;
	node_ref theirs;
	return GetNodeRef(&mine) == B_OK && node.GetNodeRef(&theirs) == B_OK && mine == theirs;
}

bool
BNode::operator!=(const BNode& node) const
{
	return !(*this == node);
}

status_t
BNode::_SetDescriptor(int fd, status_t status, bool mayBeDirectory)
{
	if (fd < 0) {
		fCStatus = status != B_OK ? status : B_ERROR;
		return fCStatus;
	}
	fFd = fd;
	fCStatus = B_OK;
	if (!mayBeDirectory)
		return B_OK;
	struct stat info;
	if (fstat(fFd, &info) == 0 && S_ISDIR(info.st_mode)) {
		std::string path;
		if (BPrivate::PathOfDescriptor(fFd, &path) == B_OK)
			BPrivate::RememberDirectory(info.st_dev, info.st_ino, path);
	}
	return B_OK;
}

void
BNode::_NodeIsNew()
{
	fTypedAttrs.clear();
	fTypedAttrsKnown = true;
}

// NULL while the node's records are unknown (the listing failed): writes then remove a
// record that may be there, as they must.
std::vector<std::string>*
BNode::_TypedAttrs()
{
	if (!fTypedAttrsKnown)
		fTypedAttrsKnown = BPrivate::ListTypedAttributes(fFd, &fTypedAttrs) == B_OK;
	return fTypedAttrsKnown ? &fTypedAttrs : nullptr;
}

status_t
BNode::_HostPathOf(const entry_ref* ref, std::string* path) const
{
	if (ref == nullptr || ref->name == nullptr || ref->name[0] == '\0')
		return B_BAD_VALUE;
	std::string directory;
	status_t status = BPrivate::FindDirectory(ref->device, ref->directory, &directory);
	if (status != B_OK)
		return status;
	*path = BPrivate::JoinPath(directory, ref->name);
	return B_OK;
}

// A node that cannot be opened for reading (no read permission) is still a node: it
// is held by an O_PATH descriptor, so stat works and attribute calls report their own
// permission failures.
status_t
BNode::_OpenPath(const std::string& hostPath, int flags)
{
	FileDescriptor fd(open(hostPath.c_str(), flags | O_CLOEXEC));
	if (!fd.IsValid() && errno == EACCES && (flags & O_ACCMODE) == O_RDONLY)
		fd.Reset(open(hostPath.c_str(), O_PATH | O_CLOEXEC));
	if (!fd.IsValid())
		return _SetDescriptor(-1, BPrivate::LastErrorStatus());
	return _SetDescriptor(fd.Release(), B_OK);
}
