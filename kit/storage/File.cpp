// BFile: reading and writing a regular file through its descriptor.
#include <File.h>

#include <Directory.h>
#include <Entry.h>

#include "ErrnoStatus.h"
#include "FileDescriptor.h"
#include "HostPath.h"

#include <fcntl.h>
#include <unistd.h>

namespace {

const uint32 kAccessMask = 0x0003;

int
HostFlags(uint32 openMode)
{
	int flags = O_CLOEXEC;
	switch (openMode & kAccessMask) {
	case B_WRITE_ONLY:
		flags |= O_WRONLY;
		break;
	case B_READ_WRITE:
		flags |= O_RDWR;
		break;
	default:
		flags |= O_RDONLY;
		break;
	}
	if ((openMode & B_CREATE_FILE) != 0)
		flags |= O_CREAT;
	// An exclusive create never opens what is already there: not the end of a link, and
	// not a FIFO or device that would block or act on being opened.
	if ((openMode & B_FAIL_IF_EXISTS) != 0)
		flags |= O_EXCL | O_NOFOLLOW | O_NONBLOCK;
	if ((openMode & B_ERASE_FILE) != 0)
		flags |= O_TRUNC;
	if ((openMode & B_OPEN_AT_END) != 0)
		flags |= O_APPEND;
	return flags;
}

} // namespace

BFile::BFile() : fMode(0)
{}

BFile::BFile(const BFile& file) : BNode(), BPositionIO(), fMode(0)
{
	*this = file;
}

BFile::BFile(const entry_ref* ref, uint32 openMode) : BFile()
{
	SetTo(ref, openMode);
}

BFile::BFile(const BEntry* entry, uint32 openMode) : BFile()
{
	SetTo(entry, openMode);
}

BFile::BFile(const char* path, uint32 openMode) : BFile()
{
	SetTo(path, openMode);
}

BFile::BFile(const BDirectory* dir, const char* path, uint32 openMode) : BFile()
{
	SetTo(dir, path, openMode);
}

BFile::~BFile()
{}

status_t
BFile::SetTo(const entry_ref* ref, uint32 openMode)
{
	Unset();
	std::string path;
	status_t status = _HostPathOf(ref, &path);
	if (status != B_OK)
		return fCStatus = status;
	return _OpenHostPath(path, openMode);
}

status_t
BFile::SetTo(const BEntry* entry, uint32 openMode)
{
	Unset();
	if (entry == nullptr)
		return fCStatus = B_BAD_VALUE;
	if (entry->InitCheck() != B_OK)
		return fCStatus = entry->InitCheck();
	return _OpenHostPath(entry->_FullPath(), openMode);
}

status_t
BFile::SetTo(const char* path, uint32 openMode)
{
	Unset();
	std::string hostPath;
	status_t status = BPrivate::HostPathFor(path, false, &hostPath);
	if (status != B_OK)
		return fCStatus = status;
	return _OpenHostPath(hostPath, openMode);
}

status_t
BFile::SetTo(const BDirectory* dir, const char* path, uint32 openMode)
{
	Unset();
	if (dir == nullptr || path == nullptr || path[0] == '\0')
		return fCStatus = B_BAD_VALUE;
	if (path[0] == '/')
		return SetTo(path, openMode);
	if (dir->InitCheck() != B_OK)
		return fCStatus = dir->InitCheck();
	return _OpenHostPath(BPrivate::JoinPath(dir->_CurrentPath(), path), openMode);
}

void
BFile::Unset()
{
	BNode::Unset();
	fMode = 0;
}

bool
BFile::IsReadable() const
{
	uint32 access = fMode & kAccessMask;
	return fCStatus == B_OK && (access == B_READ_ONLY || access == B_READ_WRITE);
}

bool
BFile::IsWritable() const
{
	uint32 access = fMode & kAccessMask;
	return fCStatus == B_OK && (access == B_WRITE_ONLY || access == B_READ_WRITE);
}

ssize_t
BFile::Read(void* buffer, size_t size)
{
	if (fCStatus != B_OK)
		return B_FILE_ERROR;
	ssize_t result = read(fFd, buffer, size);
	return result >= 0 ? result : BPrivate::LastErrorStatus();
}

ssize_t
BFile::ReadAt(off_t location, void* buffer, size_t size)
{
	if (fCStatus != B_OK)
		return B_FILE_ERROR;
	if (location < 0)
		return B_BAD_VALUE;
	ssize_t result = pread(fFd, buffer, size, location);
	return result >= 0 ? result : BPrivate::LastErrorStatus();
}

ssize_t
BFile::Write(const void* buffer, size_t size)
{
	if (fCStatus != B_OK)
		return B_FILE_ERROR;
	ssize_t result = write(fFd, buffer, size);
	return result >= 0 ? result : BPrivate::LastErrorStatus();
}

// With B_OPEN_AT_END the host appends whatever location is given.
ssize_t
BFile::WriteAt(off_t location, const void* buffer, size_t size)
{
	if (fCStatus != B_OK)
		return B_FILE_ERROR;
	if (location < 0)
		return B_BAD_VALUE;
	ssize_t result = pwrite(fFd, buffer, size, location);
	return result >= 0 ? result : BPrivate::LastErrorStatus();
}

off_t
BFile::Seek(off_t offset, uint32 seekMode)
{
	if (fCStatus != B_OK)
		return B_FILE_ERROR;
	int whence = seekMode == SEEK_CUR ? SEEK_CUR : seekMode == SEEK_END ? SEEK_END : SEEK_SET;
	if (seekMode != SEEK_SET && seekMode != SEEK_CUR && seekMode != SEEK_END)
		return B_BAD_VALUE;
	off_t result = lseek(fFd, offset, whence);
	return result >= 0 ? result : BPrivate::LastErrorStatus();
}

off_t
BFile::Position() const
{
	if (fCStatus != B_OK)
		return B_FILE_ERROR;
	off_t result = lseek(fFd, 0, SEEK_CUR);
	return result >= 0 ? result : BPrivate::LastErrorStatus();
}

status_t
BFile::SetSize(off_t size)
{
	if (fCStatus != B_OK)
		return B_FILE_ERROR;
	if (size < 0)
		return B_BAD_VALUE;
	return ftruncate(fFd, size) == 0 ? B_OK : BPrivate::LastErrorStatus();
}

status_t
BFile::GetSize(off_t* size) const
{
	if (size == nullptr)
		return B_BAD_VALUE;
	struct stat info;
	status_t status = GetStat(&info);
	if (status == B_OK)
		*size = info.st_size;
	return status;
}

BFile&
BFile::operator=(const BFile& file)
{
	if (this != &file) {
		BNode::operator=(file);
		fMode = fCStatus == B_OK ? file.fMode : 0;
	}
	return *this;
}

status_t
BFile::_OpenHostPath(const std::string& hostPath, uint32 openMode)
{
	int flags = HostFlags(openMode);
	BPrivate::FileDescriptor fd(open(hostPath.c_str(), flags, 0666));
	if (!fd.IsValid())
		return _SetDescriptor(-1, BPrivate::LastErrorStatus());
	// The host refuses to create or write a directory itself; only a plain read-only open
	// can reach one.
	if ((flags & (O_CREAT | O_ACCMODE)) == O_RDONLY) {
		struct stat info;
		if (fstat(fd.Get(), &info) == 0 && S_ISDIR(info.st_mode))
			return _SetDescriptor(-1, B_IS_A_DIRECTORY);
	}
	fMode = openMode;
	_SetDescriptor(fd.Release(), B_OK, false);
	if ((flags & (O_CREAT | O_EXCL)) == (O_CREAT | O_EXCL))
		_NodeIsNew();
	return B_OK;
}
