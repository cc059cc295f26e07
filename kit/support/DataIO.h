// Byte streams: BDataIO (sequential), BPositionIO (seekable), and the in-memory
// BMemoryIO (over a caller's buffer) and BMallocIO (a growing buffer it owns).
#ifndef _DATA_IO_H
#define _DATA_IO_H

#include <SupportDefs.h>

#include <vector>

#ifndef SEEK_SET
#define SEEK_SET 0
#define SEEK_CUR 1
#define SEEK_END 2
#endif

class BDataIO
{
public:
	BDataIO();
	virtual ~BDataIO();

	// Bytes transferred (possibly fewer than asked), or a negative error.
	virtual ssize_t Read(void* buffer, size_t size);
	virtual ssize_t Write(const void* buffer, size_t size);
	virtual status_t Flush();

	// Loop until all bytes moved: B_OK, or an error (B_PARTIAL_READ/WRITE as B_IO_ERROR).
	status_t ReadExactly(void* buffer, size_t size, size_t* bytesRead = nullptr);
	status_t WriteExactly(const void* buffer, size_t size, size_t* bytesWritten = nullptr);

private:
	BDataIO(const BDataIO&) = delete;
	BDataIO& operator=(const BDataIO&) = delete;
};

class BPositionIO : public BDataIO
{
public:
	BPositionIO();
	virtual ~BPositionIO();

	virtual ssize_t Read(void* buffer, size_t size);
	virtual ssize_t Write(const void* buffer, size_t size);

	virtual ssize_t ReadAt(off_t position, void* buffer, size_t size) = 0;
	virtual ssize_t WriteAt(off_t position, const void* buffer, size_t size) = 0;

	virtual off_t Seek(off_t position, uint32 seekMode) = 0;
	virtual off_t Position() const = 0;

	virtual status_t SetSize(off_t size);
	virtual status_t GetSize(off_t* size) const;
};

class BMemoryIO : public BPositionIO
{
public:
	BMemoryIO(void* data, size_t length);
	BMemoryIO(const void* data, size_t length);
	virtual ~BMemoryIO();

	virtual ssize_t ReadAt(off_t position, void* buffer, size_t size);
	virtual ssize_t WriteAt(off_t position, const void* buffer, size_t size);
	virtual off_t Seek(off_t position, uint32 seekMode);
	virtual off_t Position() const;
	virtual status_t SetSize(off_t size);

private:
	bool fReadOnly;
	char* fBuffer;
	size_t fLength;
	size_t fBufferSize;
	size_t fPosition;
};

class BMallocIO : public BPositionIO
{
public:
	BMallocIO();
	virtual ~BMallocIO();

	virtual ssize_t ReadAt(off_t position, void* buffer, size_t size);
	virtual ssize_t WriteAt(off_t position, const void* buffer, size_t size);
	virtual off_t Seek(off_t position, uint32 seekMode);
	virtual off_t Position() const;
	virtual status_t SetSize(off_t size);

	void SetBlockSize(size_t blockSize);

	// The buffer stays owned by the object and moves when it grows.
	const void* Buffer() const { return fData.data(); }
	size_t BufferLength() const { return fLength; }

private:
	status_t _Reserve(size_t size);

	std::vector<char> fData;
	size_t fLength;
	size_t fBlockSize;
	off_t fPosition;
};

#endif // _DATA_IO_H
