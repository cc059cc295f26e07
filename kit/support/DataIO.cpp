// Byte stream classes. Positions and sizes from callers are checked before any copy.
#include <DataIO.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

BDataIO::BDataIO() = default;

BDataIO::~BDataIO() = default;

ssize_t
BDataIO::Read(void*, size_t)
{
	return B_NOT_SUPPORTED;
}

ssize_t
BDataIO::Write(const void*, size_t)
{
	return B_NOT_SUPPORTED;
}

status_t
BDataIO::Flush()
{
	return B_OK;
}

namespace {

// Repeats a partial transfer until size bytes moved, the stream ends (B_IO_ERROR) or it
// fails; *done gets the bytes that did move.
template <typename Transfer>
status_t
TransferExactly(Transfer transfer, size_t size, size_t* done)
{
	size_t total = 0;
	status_t status = B_OK;
	while (total < size) {
		ssize_t result = transfer(total, size - total);
		if (result <= 0) {
			status = result < 0 ? static_cast<status_t>(result) : B_IO_ERROR;
			break;
		}
		total += result;
	}
	if (done != nullptr)
		*done = total;
	return status;
}

} // namespace

status_t
BDataIO::ReadExactly(void* buffer, size_t size, size_t* bytesRead)
{
	return TransferExactly(
	        [&](size_t offset, size_t left) {
		        return Read(static_cast<char*>(buffer) + offset, left);
	        },
	        size, bytesRead);
}

status_t
BDataIO::WriteExactly(const void* buffer, size_t size, size_t* bytesWritten)
{
	return TransferExactly(
	        [&](size_t offset, size_t left) {
		        return Write(static_cast<const char*>(buffer) + offset, left);
	        },
	        size, bytesWritten);
}

BPositionIO::BPositionIO() = default;

BPositionIO::~BPositionIO() = default;

ssize_t
BPositionIO::Read(void* buffer, size_t size)
{
	off_t position = Position();
	ssize_t result = ReadAt(position, buffer, size);
	if (result > 0)
		Seek(position + result, SEEK_SET);
	return result;
}

ssize_t
BPositionIO::Write(const void* buffer, size_t size)
{
	off_t position = Position();
	ssize_t result = WriteAt(position, buffer, size);
	if (result > 0)
		Seek(position + result, SEEK_SET);
	return result;
}

status_t
BPositionIO::SetSize(off_t)
{
	return B_ERROR;
}

status_t
BPositionIO::GetSize(off_t* size) const
{
	if (size == nullptr)
		return B_BAD_VALUE;
	BPositionIO* self = const_cast<BPositionIO*>(this);
	off_t current = Position();
	off_t end = self->Seek(0, SEEK_END);
	self->Seek(current, SEEK_SET);
	if (end < 0)
		return static_cast<status_t>(end);
	*size = end;
	return B_OK;
}

// #pragma mark - BMemoryIO

BMemoryIO::BMemoryIO(void* data, size_t length)
    : fReadOnly(false), fBuffer(static_cast<char*>(data)), fLength(length), fBufferSize(length),
      fPosition(0)
{}

BMemoryIO::BMemoryIO(const void* data, size_t length)
    : fReadOnly(true), fBuffer(static_cast<char*>(const_cast<void*>(data))), fLength(length),
      fBufferSize(length), fPosition(0)
{}

BMemoryIO::~BMemoryIO() = default;

ssize_t
BMemoryIO::ReadAt(off_t position, void* buffer, size_t size)
{
	if (buffer == nullptr || position < 0)
		return B_BAD_VALUE;
	if (static_cast<size_t>(position) >= fLength)
		return 0;
	size_t count = std::min(size, fLength - static_cast<size_t>(position));
	memcpy(buffer, fBuffer + position, count);
	return count;
}

ssize_t
BMemoryIO::WriteAt(off_t position, const void* buffer, size_t size)
{
	if (fReadOnly)
		return B_NOT_ALLOWED;
	if (buffer == nullptr || position < 0)
		return B_BAD_VALUE;
	if (static_cast<size_t>(position) >= fBufferSize)
		return 0;
	size_t count = std::min(size, fBufferSize - static_cast<size_t>(position));
	memcpy(fBuffer + position, buffer, count);
	fLength = std::max(fLength, static_cast<size_t>(position) + count);
	return count;
}

off_t
BMemoryIO::Seek(off_t position, uint32 seekMode)
{
	off_t base = seekMode == SEEK_CUR   ? static_cast<off_t>(fPosition)
	             : seekMode == SEEK_END ? static_cast<off_t>(fLength)
	                                    : 0;
	if (seekMode > SEEK_END)
		return B_BAD_VALUE;
	off_t target = base + position;
	if (target < 0)
		return B_BAD_VALUE;
	fPosition = target;
	return target;
}

off_t
BMemoryIO::Position() const
{
	return fPosition;
}

status_t
BMemoryIO::SetSize(off_t size)
{
	if (fReadOnly)
		return B_NOT_ALLOWED;
	if (size < 0 || static_cast<size_t>(size) > fBufferSize)
		return B_ERROR;
	fLength = size;
	return B_OK;
}

// #pragma mark - BMallocIO

BMallocIO::BMallocIO() : fLength(0), fBlockSize(256), fPosition(0)
{}

BMallocIO::~BMallocIO() = default;

ssize_t
BMallocIO::ReadAt(off_t position, void* buffer, size_t size)
{
	if (buffer == nullptr || position < 0)
		return B_BAD_VALUE;
	if (static_cast<size_t>(position) >= fLength)
		return 0;
	size_t count = std::min(size, fLength - static_cast<size_t>(position));
	memcpy(buffer, fData.data() + position, count);
	return count;
}

ssize_t
BMallocIO::WriteAt(off_t position, const void* buffer, size_t size)
{
	if (buffer == nullptr || position < 0)
		return B_BAD_VALUE;
	if (size > std::numeric_limits<size_t>::max() - static_cast<size_t>(position))
		return B_BAD_VALUE;
	size_t end = static_cast<size_t>(position) + size;
	status_t status = _Reserve(end);
	if (status != B_OK)
		return status;
	if (static_cast<size_t>(position) > fLength)
		std::fill(fData.begin() + fLength, fData.begin() + position, 0);
	memcpy(fData.data() + position, buffer, size);
	fLength = std::max(fLength, end);
	return size;
}

off_t
BMallocIO::Seek(off_t position, uint32 seekMode)
{
	off_t base = seekMode == SEEK_CUR   ? fPosition
	             : seekMode == SEEK_END ? static_cast<off_t>(fLength)
	                                    : 0;
	if (seekMode > SEEK_END)
		return B_BAD_VALUE;
	if (base + position < 0)
		return B_BAD_VALUE;
	fPosition = base + position;
	return fPosition;
}

off_t
BMallocIO::Position() const
{
	return fPosition;
}

status_t
BMallocIO::SetSize(off_t size)
{
	if (size < 0)
		return B_BAD_VALUE;
	status_t status = _Reserve(size);
	if (status != B_OK)
		return status;
	if (static_cast<size_t>(size) > fLength)
		std::fill(fData.begin() + fLength, fData.begin() + size, 0);
	fLength = size;
	return B_OK;
}

void
BMallocIO::SetBlockSize(size_t blockSize)
{
	fBlockSize = blockSize > 0 ? blockSize : 1;
}

status_t
BMallocIO::_Reserve(size_t size)
{
	if (size <= fData.size())
		return B_OK;
	size_t rounded = (size + fBlockSize - 1) / fBlockSize * fBlockSize;
	try {
		fData.resize(rounded);
	} catch (const std::bad_alloc&) {
		return B_NO_MEMORY;
	} catch (const std::length_error&) {
		return B_NO_MEMORY;
	}
	return B_OK;
}
