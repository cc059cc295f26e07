// BFile: a regular file's data, opened with the BeOS open modes.
#ifndef _FILE_H
#define _FILE_H

#include <DataIO.h>
#include <Node.h>

// openMode: one of B_READ_ONLY, B_WRITE_ONLY, B_READ_WRITE, with B_CREATE_FILE,
// B_ERASE_FILE (truncate), B_FAIL_IF_EXISTS (with B_CREATE_FILE: B_FILE_EXISTS if
// anything is there under that name, a symbolic link included, which is not followed;
// nothing that exists is opened) and B_OPEN_AT_END (every write appends, whatever the
// position). A directory cannot be opened as a file (B_IS_A_DIRECTORY).
class BFile : public BNode, public BPositionIO
{
public:
	BFile();
	BFile(const BFile& file);
	BFile(const entry_ref* ref, uint32 openMode);
	BFile(const BEntry* entry, uint32 openMode);
	BFile(const char* path, uint32 openMode);
	BFile(const BDirectory* dir, const char* path, uint32 openMode);
	virtual ~BFile();

	status_t SetTo(const entry_ref* ref, uint32 openMode);
	status_t SetTo(const BEntry* entry, uint32 openMode);
	status_t SetTo(const char* path, uint32 openMode);
	status_t SetTo(const BDirectory* dir, const char* path, uint32 openMode);
	void Unset();

	bool IsReadable() const;
	bool IsWritable() const;

	virtual ssize_t Read(void* buffer, size_t size);
	virtual ssize_t ReadAt(off_t location, void* buffer, size_t size);
	virtual ssize_t Write(const void* buffer, size_t size);
	virtual ssize_t WriteAt(off_t location, const void* buffer, size_t size);

	virtual off_t Seek(off_t offset, uint32 seekMode);
	virtual off_t Position() const;

	virtual status_t SetSize(off_t size);
	virtual status_t GetSize(off_t* size) const;

	BFile& operator=(const BFile& file);

private:
	status_t _OpenHostPath(const std::string& hostPath, uint32 openMode);

	uint32 fMode;
};

#endif // _FILE_H
