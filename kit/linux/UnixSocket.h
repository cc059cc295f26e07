// Stream Unix sockets carrying length-prefixed frames: the wire between programs.
// Every frame is a 4-byte little-endian payload length, one kind byte and the payload.
#ifndef KIT_LINUX_UNIX_SOCKET_H
#define KIT_LINUX_UNIX_SOCKET_H

#include "FileDescriptor.h"

#include <SupportDefs.h>

#include <mutex>
#include <string>
#include <vector>

namespace BPrivate {

// Frames larger than this are refused on both ends, so a peer cannot make us allocate
// without bound. Flattened messages between programs are far smaller.
static const size_t kMaxFrameSize = 4 * 1024 * 1024;

// What a frame carries; the kit's application layer gives them meaning.
enum frame_kind : uint8
{
	kFrameMessage = 'M',      // a message, no reply expected
	kFrameMessageReply = 'S', // a message whose reply comes back on this connection
	kFrameReply = 'R',        // the reply to a kFrameMessageReply or kFrameInfo
	kFrameInfo = 'I'          // asks the listener about itself (signature, flags)
};

// Owns one socket descriptor; closes it on destruction. Move-only.
class UnixSocket
{
public:
	UnixSocket() = default;
	explicit UnixSocket(int fd) : fFD(fd) {}

	bool IsValid() const { return fFD.IsValid(); }
	int Descriptor() const { return fFD.Get(); }
	void Close() { fFD.Reset(); }

	// Binds a new listening socket at path (which must not exist).
	status_t Listen(const std::string& path);
	// Connects to the listener at path; B_NAME_NOT_FOUND when nobody listens there.
	status_t Connect(const std::string& path);
	// Waits up to timeout for a connection; B_TIMED_OUT, or B_INTERRUPTED when woken.
	status_t Accept(UnixSocket& client, bigtime_t timeout);

	status_t SendFrame(uint8 kind, const void* data, size_t size);
	// Reads one whole frame; B_TIMED_OUT when none arrives in time, B_BUSTED_PIPE at end
	// of stream, B_BAD_DATA for an oversized length.
	status_t ReceiveFrame(uint8& kind, std::vector<char>& data, bigtime_t timeout);

	// The process at the other end (for a client: the one that listens).
	team_id PeerTeam() const;

	// Makes blocked readers of this socket return (the descriptor stays open).
	void ShutDown();

private:
	status_t _WaitReadable(bigtime_t deadline) const;
	status_t _ReadFully(void* buffer, size_t size, bigtime_t deadline);
	status_t _WriteFully(const void* buffer, size_t size);

	FileDescriptor fFD;
};

// A socket shared between the thread that reads it and threads that answer on it.
class SharedConnection
{
public:
	explicit SharedConnection(UnixSocket&& socket) : fSocket(std::move(socket)) {}

	UnixSocket& Socket() { return fSocket; }
	// Writes are serialized so frames from several threads never interleave.
	status_t SendFrame(uint8 kind, const void* data, size_t size);

private:
	UnixSocket fSocket;
	std::mutex fWriteLock;
};

} // namespace BPrivate

#endif // KIT_LINUX_UNIX_SOCKET_H
