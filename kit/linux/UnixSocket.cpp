// Stream Unix sockets with length-prefixed frames. Every descriptor is close-on-exec so
// launched programs never inherit an application's listener.
#include "UnixSocket.h"

#include "ErrnoStatus.h"

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <time.h>
#include <unistd.h>

namespace BPrivate {

namespace {

bigtime_t
Now()
{
	timespec now;
	clock_gettime(CLOCK_MONOTONIC, &now);
	return (bigtime_t)now.tv_sec * 1000000 + now.tv_nsec / 1000;
}

bigtime_t
DeadlineAfter(bigtime_t timeout)
{
	if (timeout < 0 || timeout >= B_INFINITE_TIMEOUT / 2)
		return B_INFINITE_TIMEOUT;
	return Now() + timeout;
}

bool
FillAddress(const std::string& path, sockaddr_un& address)
{
	std::memset(&address, 0, sizeof(address));
	address.sun_family = AF_UNIX;
	if (path.empty() || path.size() >= sizeof(address.sun_path))
		return false;
	std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
	return true;
}

} // namespace

status_t
UnixSocket::Listen(const std::string& path)
{
	sockaddr_un address;
	if (!FillAddress(path, address))
		return B_NAME_TOO_LONG;
	fFD.Reset(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
	if (!fFD.IsValid())
		return LastErrorStatus();
	if (bind(fFD.Get(), (sockaddr*)&address, sizeof(address)) != 0 || listen(fFD.Get(), 16) != 0) {
		status_t status = LastErrorStatus();
		Close();
		return status;
	}
	return B_OK;
}

status_t
UnixSocket::Connect(const std::string& path)
{
	sockaddr_un address;
	if (!FillAddress(path, address))
		return B_NAME_TOO_LONG;
	fFD.Reset(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
	if (!fFD.IsValid())
		return LastErrorStatus();
	int result;
	do {
		result = connect(fFD.Get(), (sockaddr*)&address, sizeof(address));
	} while (result != 0 && errno == EINTR);
	if (result != 0) {
		int error = errno;
		Close();
		// Nobody listens: a missing file or a socket left behind by a dead process.
		if (error == ENOENT || error == ECONNREFUSED)
			return B_NAME_NOT_FOUND;
		return StatusFromErrno(error);
	}
	return B_OK;
}

status_t
UnixSocket::Accept(UnixSocket& client, bigtime_t timeout)
{
	status_t status = _WaitReadable(DeadlineAfter(timeout));
	if (status != B_OK)
		return status;
	int fd = accept4(fFD.Get(), nullptr, nullptr, SOCK_CLOEXEC);
	if (fd < 0)
		return errno == EINVAL ? B_INTERRUPTED : LastErrorStatus();
	client = UnixSocket(fd);
	return B_OK;
}

status_t
UnixSocket::SendFrame(uint8 kind, const void* data, size_t size)
{
	if (size > kMaxFrameSize)
		return B_BAD_VALUE;
	uint8 header[5];
	for (int i = 0; i < 4; i++)
		header[i] = (uint8)(size >> (8 * i));
	header[4] = kind;
	status_t status = _WriteFully(header, sizeof(header));
	if (status == B_OK && size > 0)
		status = _WriteFully(data, size);
	return status;
}

status_t
UnixSocket::ReceiveFrame(uint8& kind, std::vector<char>& data, bigtime_t timeout)
{
	bigtime_t deadline = DeadlineAfter(timeout);
	uint8 header[5];
	status_t status = _ReadFully(header, sizeof(header), deadline);
	if (status != B_OK)
		return status;
	size_t size = 0;
	for (int i = 0; i < 4; i++)
		size |= (size_t)header[i] << (8 * i);
	if (size > kMaxFrameSize)
		return B_BAD_DATA;
	kind = header[4];
	data.resize(size);
	return size > 0 ? _ReadFully(data.data(), size, deadline) : B_OK;
}

team_id
UnixSocket::PeerTeam() const
{
	ucred credentials;
	socklen_t length = sizeof(credentials);
	if (getsockopt(fFD.Get(), SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0)
		return B_BAD_TEAM_ID;
	return credentials.pid > 0 ? (team_id)credentials.pid : B_BAD_TEAM_ID;
}

void
UnixSocket::ShutDown()
{
	if (fFD.IsValid())
		shutdown(fFD.Get(), SHUT_RDWR);
}

status_t
UnixSocket::_WaitReadable(bigtime_t deadline) const
{
	if (!fFD.IsValid())
		return B_NO_INIT;
	while (true) {
		int wait = -1;
		if (deadline != B_INFINITE_TIMEOUT) {
			bigtime_t left = deadline - Now();
			if (left <= 0)
				return B_TIMED_OUT;
			wait = (int)((left + 999) / 1000);
		}
		pollfd entry = {fFD.Get(), POLLIN, 0};
		int result = poll(&entry, 1, wait);
		if (result > 0)
			return B_OK;
		if (result < 0 && errno != EINTR)
			return LastErrorStatus();
	}
}

status_t
UnixSocket::_ReadFully(void* buffer, size_t size, bigtime_t deadline)
{
	char* cursor = (char*)buffer;
	while (size > 0) {
		status_t status = _WaitReadable(deadline);
		if (status != B_OK)
			return status;
		ssize_t got = recv(fFD.Get(), cursor, size, 0);
		if (got == 0)
			return B_BUSTED_PIPE;
		if (got < 0) {
			if (errno == EINTR || errno == EAGAIN)
				continue;
			return LastErrorStatus();
		}
		cursor += got;
		size -= (size_t)got;
	}
	return B_OK;
}

status_t
UnixSocket::_WriteFully(const void* buffer, size_t size)
{
	const char* cursor = (const char*)buffer;
	while (size > 0) {
		// MSG_NOSIGNAL: a peer that went away is an error to report, not a SIGPIPE.
		ssize_t sent = send(fFD.Get(), cursor, size, MSG_NOSIGNAL);
		if (sent < 0) {
			if (errno == EINTR)
				continue;
			return errno == EPIPE ? B_BUSTED_PIPE : LastErrorStatus();
		}
		cursor += sent;
		size -= (size_t)sent;
	}
	return B_OK;
}

status_t
SharedConnection::SendFrame(uint8 kind, const void* data, size_t size)
{
	std::lock_guard<std::mutex> lock(fWriteLock);
	return fSocket.SendFrame(kind, data, size);
}

} // namespace BPrivate
