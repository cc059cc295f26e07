// Reading and writing whole files with BFile.
#include "FileBytes.h"

#include <Entry.h>
#include <File.h>
#include <Path.h>

status_t
ReadWholeFile(const char* path, std::string* bytes)
{
	BFile file(path, B_READ_ONLY);
	status_t status = file.InitCheck();
	if (status != B_OK)
		return status;
	off_t size = 0;
	if ((status = file.GetSize(&size)) != B_OK)
		return status;
	if (size > kMaxInputSize)
		return B_FILE_TOO_LARGE;
	bytes->clear();
	// The size is a hint: a file that grows while read is read to its end.
	std::string buffer(65536, '\0');
	bytes->reserve(static_cast<size_t>(size));
	for (;;) {
		ssize_t read = file.Read(buffer.data(), buffer.size());
		if (read < 0)
			return static_cast<status_t>(read);
		if (read == 0)
			return B_OK;
		if (bytes->size() + static_cast<size_t>(read) > static_cast<size_t>(kMaxInputSize))
			return B_FILE_TOO_LARGE;
		bytes->append(buffer.data(), static_cast<size_t>(read));
	}
}

namespace {

status_t
WriteAll(BFile& file, const std::string& bytes)
{
	size_t done = 0;
	while (done < bytes.size()) {
		ssize_t written = file.Write(bytes.data() + done, bytes.size() - done);
		if (written <= 0)
			return written < 0 ? static_cast<status_t>(written) : B_IO_ERROR;
		done += static_cast<size_t>(written);
	}
	return B_OK;
}

} // namespace

status_t
WriteWholeFile(const char* path, const std::string& bytes)
{
	BFile file(path, B_WRITE_ONLY | B_CREATE_FILE | B_ERASE_FILE);
	status_t status = file.InitCheck();
	if (status != B_OK)
		return status;
	return WriteAll(file, bytes);
}

status_t
ReplaceWholeFile(const char* path, const std::string& bytes)
{
	BEntry target(path, true);
	BPath resolved;
	status_t status = target.InitCheck();
	if (status == B_OK && target.Exists() && !target.IsFile())
		return WriteWholeFile(path, bytes);
	if (status != B_OK || (status = target.GetPath(&resolved)) != B_OK)
		return status;
	std::string temporary = std::string(resolved.Path()) + ".part";
	{
		BFile file(temporary.c_str(), B_WRITE_ONLY | B_CREATE_FILE | B_ERASE_FILE);
		status = file.InitCheck();
		if (status == B_OK)
			status = WriteAll(file, bytes);
		if (status == B_OK)
			status = file.Sync();
	}
	if (status == B_OK)
		status = BEntry(temporary.c_str()).Rename(resolved.Path(), true);
	if (status != B_OK)
		BEntry(temporary.c_str()).Remove();
	return status;
}
