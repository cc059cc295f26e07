// An owned file descriptor: closed when the owner goes, so no kit object can leak one
// on an early return.
#ifndef KIT_LINUX_FILE_DESCRIPTOR_H
#define KIT_LINUX_FILE_DESCRIPTOR_H

namespace BPrivate {

class FileDescriptor
{
public:
	FileDescriptor() : fDescriptor(-1) {}
	explicit FileDescriptor(int descriptor) : fDescriptor(descriptor) {}
	~FileDescriptor() { Reset(); }

	FileDescriptor(FileDescriptor&& other) noexcept : fDescriptor(other.Release()) {}
	FileDescriptor& operator=(FileDescriptor&& other) noexcept;
	FileDescriptor(const FileDescriptor&) = delete;
	FileDescriptor& operator=(const FileDescriptor&) = delete;

	int Get() const { return fDescriptor; }
	bool IsValid() const { return fDescriptor >= 0; }

	// Gives up ownership; the caller closes the returned descriptor.
	int Release();
	// Closes the held descriptor (if any) and takes ownership of the given one.
	void Reset(int descriptor = -1);

private:
	int fDescriptor;
};

} // namespace BPrivate

#endif // KIT_LINUX_FILE_DESCRIPTOR_H
