// The C attribute calls over the kit's xattr layer.
#include <fs_attr.h>

#include "ErrnoStatus.h"
#include "FileDescriptor.h"
#include "HostPath.h"
#include "Xattr.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <string>
#include <vector>

namespace {

// What a DIR* from fs_open_attr_dir really points to: a sorted snapshot of the names.
struct AttrDirectory
{
	std::vector<std::string> names;
	size_t next = 0;
	struct dirent entry;
};

AttrDirectory*
FromDir(DIR* dir)
{
	return reinterpret_cast<AttrDirectory*>(dir);
}

DIR*
OpenAttrDir(int fd)
{
	AttrDirectory* directory = new (std::nothrow) AttrDirectory;
	if (directory == nullptr) {
		errno = ENOMEM;
		return nullptr;
	}
	status_t status = BPrivate::ListAttributes(fd, &directory->names);
	if (status != B_OK) {
		// errno still holds the host's reason.
		delete directory;
		return nullptr;
	}
	return reinterpret_cast<DIR*>(directory);
}

} // namespace

DIR*
fs_open_attr_dir(const char* path)
{
	std::string hostPath;
	if (BPrivate::HostPathFor(path, false, &hostPath) != B_OK) {
		errno = EINVAL;
		return nullptr;
	}
	BPrivate::FileDescriptor fd(open(hostPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
	if (!fd.IsValid() && errno == EACCES)
		fd.Reset(open(hostPath.c_str(), O_PATH | O_CLOEXEC));
	if (!fd.IsValid())
		return nullptr;
	return OpenAttrDir(fd.Get());
}

DIR*
fs_fopen_attr_dir(int fd)
{
	return OpenAttrDir(fd);
}

struct dirent*
fs_read_attr_dir(DIR* dir)
{
	AttrDirectory* directory = FromDir(dir);
	if (directory == nullptr || directory->next >= directory->names.size())
		return nullptr;
	const std::string& name = directory->names[directory->next++];
	memset(&directory->entry, 0, sizeof(directory->entry));
	size_t length = std::min(name.size(), sizeof(directory->entry.d_name) - 1);
	memcpy(directory->entry.d_name, name.data(), length);
	directory->entry.d_reclen = sizeof(directory->entry);
	directory->entry.d_type = DT_UNKNOWN;
	return &directory->entry;
}

void
fs_rewind_attr_dir(DIR* dir)
{
	if (dir != nullptr)
		FromDir(dir)->next = 0;
}

int
fs_close_attr_dir(DIR* dir)
{
	if (dir == nullptr)
		return B_BAD_VALUE;
	delete FromDir(dir);
	return 0;
}

ssize_t
fs_write_attr(int fd, const char* attribute, uint32 type, off_t pos, const void* buffer,
              size_t writeBytes)
{
	return BPrivate::WriteAttribute(fd, attribute, type, pos, buffer, writeBytes);
}

ssize_t
fs_read_attr(int fd, const char* attribute, uint32, off_t pos, void* buffer, size_t readBytes)
{
	return BPrivate::ReadAttribute(fd, attribute, pos, buffer, readBytes);
}

int
fs_remove_attr(int fd, const char* attribute)
{
	return BPrivate::RemoveAttribute(fd, attribute);
}

int
fs_stat_attr(int fd, const char* attribute, struct attr_info* info)
{
	if (info == nullptr)
		return B_BAD_VALUE;
	type_code type = 0;
	off_t size = 0;
	status_t status = BPrivate::StatAttribute(fd, attribute, &type, &size);
	if (status != B_OK)
		return status;
	info->type = type;
	info->size = size;
	return 0;
}
