// Reading and writing whole files with BFile.
#include "FileBytes.h"

#include <File.h>

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

status_t
WriteWholeFile(const char* path, const std::string& bytes)
{
	BFile file(path, B_WRITE_ONLY | B_CREATE_FILE | B_ERASE_FILE);
	status_t status = file.InitCheck();
	if (status != B_OK)
		return status;
	size_t done = 0;
	while (done < bytes.size()) {
		ssize_t written = file.Write(bytes.data() + done, bytes.size() - done);
		if (written <= 0)
			return written < 0 ? static_cast<status_t>(written) : B_IO_ERROR;
		done += static_cast<size_t>(written);
	}
	return B_OK;
}
