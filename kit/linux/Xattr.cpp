// Attribute reads, writes and listings over the user.* extended attributes of a file.
#include "Xattr.h"

#include "ErrnoStatus.h"

#include <TypeConstants.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/xattr.h>

namespace BPrivate {

namespace {

const std::string kTypePrefix = std::string(kUserNamespace) + kTypeRecordPrefix;
const size_t kXattrNameLimit = 255;
// Enough for the listing of a bookmark and then some, so one call usually does.
const size_t kFirstListingSize = 1024;

// A descriptor opened with O_PATH (a node that could not be opened for reading) takes
// no f*xattr calls; its /proc link reaches the same inode.
std::string
ProcPath(int fd)
{
	return "/proc/self/fd/" + std::to_string(fd);
}

ssize_t
Get(int fd, const std::string& name, void* buffer, size_t size)
{
	ssize_t result = fgetxattr(fd, name.c_str(), buffer, size);
	if (result < 0 && errno == EBADF)
		result = getxattr(ProcPath(fd).c_str(), name.c_str(), buffer, size);
	return result;
}

int
Set(int fd, const std::string& name, const void* buffer, size_t size)
{
	int result = fsetxattr(fd, name.c_str(), buffer, size, 0);
	if (result < 0 && errno == EBADF)
		result = setxattr(ProcPath(fd).c_str(), name.c_str(), buffer, size, 0);
	return result;
}

int
Remove(int fd, const std::string& name)
{
	int result = fremovexattr(fd, name.c_str());
	if (result < 0 && errno == EBADF)
		result = removexattr(ProcPath(fd).c_str(), name.c_str());
	return result;
}

ssize_t
List(int fd, char* buffer, size_t size)
{
	ssize_t result = flistxattr(fd, buffer, size);
	if (result < 0 && errno == EBADF)
		result = listxattr(ProcPath(fd).c_str(), buffer, size);
	return result;
}

// The errno of a failed write: the kernel says E2BIG for a value over its own limit.
status_t
WriteErrorStatus(int error)
{
	if (error == E2BIG)
		return B_FILE_TOO_LARGE;
	return StatusFromErrno(error);
}

status_t
CheckName(const char* name)
{
	if (name == nullptr || name[0] == '\0')
		return B_BAD_VALUE;
	if (strncmp(name, kTypeRecordPrefix, strlen(kTypeRecordPrefix)) == 0)
		return B_BAD_VALUE;
	if (strlen(kUserNamespace) + strlen(name) > kXattrNameLimit)
		return B_NAME_TOO_LONG;
	return B_OK;
}

std::string
ValueName(const char* name)
{
	return std::string(kUserNamespace) + name;
}

std::string
TypeName(const char* name)
{
	return kTypePrefix + name;
}

// Whether a record for name can exist at all: the name of one must fit the host's limit.
bool
TypeRecordFits(const char* name)
{
	return kTypePrefix.size() + strlen(name) <= kXattrNameLimit;
}

// Whether a record for name may exist: always, unless the caller knows the node's records.
bool
MayHaveTypeRecord(const char* name, const std::vector<std::string>* typedNames)
{
	if (!TypeRecordFits(name))
		return false;
	return typedNames == nullptr ||
	       std::find(typedNames->begin(), typedNames->end(), name) != typedNames->end();
}

void
ForgetTypeRecord(const char* name, std::vector<std::string>* typedNames)
{
	if (typedNames != nullptr)
		typedNames->erase(std::remove(typedNames->begin(), typedNames->end(), name),
		                  typedNames->end());
}

void
NoteTypeRecord(const char* name, std::vector<std::string>* typedNames)
{
	if (typedNames != nullptr &&
	    std::find(typedNames->begin(), typedNames->end(), name) == typedNames->end()) {
		typedNames->push_back(name);
	}
}

// Every xattr name of the node, NUL-separated. The first call guesses a size, so a node
// with a short listing costs one call.
status_t
ListRaw(int fd, std::string* buffer)
{
	buffer->resize(kFirstListingSize);
	ssize_t listed = List(fd, buffer->data(), buffer->size());
	for (int attempt = 0; listed < 0; attempt++) {
		if (errno != ERANGE || attempt >= 8)
			return LastErrorStatus();
		ssize_t size = List(fd, nullptr, 0);
		if (size < 0)
			return LastErrorStatus();
		buffer->resize(static_cast<size_t>(size));
		listed = List(fd, buffer->data(), buffer->size());
	}
	buffer->resize(static_cast<size_t>(listed));
	return B_OK;
}

// Reads a whole xattr, growing the buffer when another writer makes it larger meanwhile.
status_t
ReadWhole(int fd, const std::string& name, std::string* value)
{
	for (int attempt = 0; attempt < 8; attempt++) {
		ssize_t size = Get(fd, name, nullptr, 0);
		if (size < 0)
			return LastErrorStatus();
		value->resize(static_cast<size_t>(size));
		ssize_t read = Get(fd, name, value->data(), value->size());
		if (read >= 0) {
			value->resize(static_cast<size_t>(read));
			return B_OK;
		}
		if (errno != ERANGE)
			return LastErrorStatus();
	}
	return B_BUSY;
}

status_t
WriteType(int fd, const char* name, type_code type, std::vector<std::string>* typedNames)
{
	if (type == B_STRING_TYPE) {
		if (!MayHaveTypeRecord(name, typedNames))
			return B_OK;
		if (Remove(fd, TypeName(name)) < 0 && errno != ENODATA)
			return LastErrorStatus();
		ForgetTypeRecord(name, typedNames);
		return B_OK;
	}
	if (!TypeRecordFits(name))
		return B_NAME_TOO_LONG;
	unsigned char code[4] = {
	        static_cast<unsigned char>(type >> 24), static_cast<unsigned char>(type >> 16),
	        static_cast<unsigned char>(type >> 8), static_cast<unsigned char>(type)};
	if (Set(fd, TypeName(name), code, sizeof(code)) < 0)
		return WriteErrorStatus(errno);
	NoteTypeRecord(name, typedNames);
	return B_OK;
}

type_code
ReadType(int fd, const char* name)
{
	unsigned char code[4];
	if (!TypeRecordFits(name))
		return B_STRING_TYPE;
	if (Get(fd, TypeName(name), code, sizeof(code)) != static_cast<ssize_t>(sizeof(code)))
		return B_STRING_TYPE;
	return (type_code(code[0]) << 24) | (type_code(code[1]) << 16) | (type_code(code[2]) << 8) |
	       type_code(code[3]);
}

// The value that a write at pos > 0 leaves: the old bytes with the new ones laid over.
status_t
MergeValue(int fd, const char* name, off_t pos, const void* buffer, size_t size,
           std::string* merged)
{
	status_t status = ReadWhole(fd, ValueName(name), merged);
	if (status == B_ENTRY_NOT_FOUND)
		merged->clear();
	else if (status != B_OK)
		return status;
	size_t end = static_cast<size_t>(pos) + size;
	if (merged->size() < end)
		merged->resize(end, '\0');
	if (size > 0)
		memcpy(merged->data() + pos, buffer, size);
	return B_OK;
}

} // namespace

ssize_t
ReadAttribute(int fd, const char* name, off_t pos, void* buffer, size_t size)
{
	status_t status = CheckName(name);
	if (status != B_OK)
		return status;
	if (pos < 0 || (buffer == nullptr && size > 0))
		return B_BAD_VALUE;
	if (pos == 0 && size > 0) {
		ssize_t read = Get(fd, ValueName(name), buffer, size);
		if (read >= 0)
			return read;
		if (errno != ERANGE)
			return LastErrorStatus();
	}
	std::string value;
	status = ReadWhole(fd, ValueName(name), &value);
	if (status != B_OK)
		return status;
	if (static_cast<size_t>(pos) >= value.size())
		return 0;
	size_t count = std::min(size, value.size() - static_cast<size_t>(pos));
	if (count > 0)
		memcpy(buffer, value.data() + pos, count);
	return static_cast<ssize_t>(count);
}

ssize_t
WriteAttribute(int fd, const char* name, type_code type, off_t pos, const void* buffer, size_t size,
               std::vector<std::string>* typedNames)
{
	status_t status = CheckName(name);
	if (status != B_OK)
		return status;
	if (pos < 0 || (buffer == nullptr && size > 0))
		return B_BAD_VALUE;
	if (size > kMaxAttributeSize || static_cast<size_t>(pos) > kMaxAttributeSize - size)
		return B_FILE_TOO_LARGE;

	std::string merged;
	const void* data = buffer;
	size_t length = size;
	if (pos > 0) {
		status = MergeValue(fd, name, pos, buffer, size, &merged);
		if (status != B_OK)
			return status;
		data = merged.data();
		length = merged.size();
	}
	if (Set(fd, ValueName(name), data, length) < 0)
		return WriteErrorStatus(errno);
	status = WriteType(fd, name, type, typedNames);
	if (status != B_OK) {
		// A value whose type could not be recorded would read back as a string: take it
		// away rather than leave it mistyped.
		Remove(fd, ValueName(name));
		return status;
	}
	return static_cast<ssize_t>(size);
}

status_t
ReadAttributeValue(int fd, const char* name, std::string* value)
{
	status_t status = CheckName(name);
	if (status != B_OK)
		return status;
	return ReadWhole(fd, ValueName(name), value);
}

status_t
StatAttribute(int fd, const char* name, type_code* type, off_t* size)
{
	status_t status = CheckName(name);
	if (status != B_OK)
		return status;
	ssize_t length = Get(fd, ValueName(name), nullptr, 0);
	if (length < 0)
		return LastErrorStatus();
	if (size != nullptr)
		*size = length;
	if (type != nullptr)
		*type = ReadType(fd, name);
	return B_OK;
}

status_t
RemoveAttribute(int fd, const char* name, std::vector<std::string>* typedNames)
{
	status_t status = CheckName(name);
	if (status != B_OK)
		return status;
	if (Remove(fd, ValueName(name)) < 0)
		return LastErrorStatus();
	if (MayHaveTypeRecord(name, typedNames) && Remove(fd, TypeName(name)) == 0)
		ForgetTypeRecord(name, typedNames);
	return B_OK;
}

status_t
ListAttributes(int fd, std::vector<std::string>* names)
{
	std::string buffer;
	status_t status = ListRaw(fd, &buffer);
	if (status != B_OK)
		return status;
	names->clear();
	size_t userLength = strlen(kUserNamespace);
	for (size_t start = 0; start < buffer.size();) {
		std::string name(buffer.c_str() + start);
		start += name.size() + 1;
		if (name.compare(0, userLength, kUserNamespace) != 0 ||
		    name.compare(0, kTypePrefix.size(), kTypePrefix) == 0) {
			continue;
		}
		names->push_back(name.substr(userLength));
	}
	std::sort(names->begin(), names->end());
	return B_OK;
}

status_t
ListTypedAttributes(int fd, std::vector<std::string>* names)
{
	std::string buffer;
	status_t status = ListRaw(fd, &buffer);
	if (status != B_OK)
		return status;
	names->clear();
	for (size_t start = 0; start < buffer.size();) {
		std::string name(buffer.c_str() + start);
		start += name.size() + 1;
		if (name.compare(0, kTypePrefix.size(), kTypePrefix) == 0)
			names->push_back(name.substr(kTypePrefix.size()));
	}
	return B_OK;
}

} // namespace BPrivate
