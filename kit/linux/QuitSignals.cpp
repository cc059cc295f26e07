// The classic self-pipe: the handler only writes the signal's number to a pipe (write is
// async-signal-safe), and a thread reads it and calls the hook. The pipe is made once and
// kept for the life of the process, so a handler still running on another thread while the
// signals are being restored never writes to a descriptor that was closed and reused.
#include "QuitSignals.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <mutex>
#include <thread>
#include <unistd.h>

#include "ErrnoStatus.h"

namespace BPrivate {

namespace {

const int kSignals[] = {SIGTERM, SIGHUP, SIGPIPE};
const int kSignalCount = sizeof(kSignals) / sizeof(kSignals[0]);
// Written by StopQuitSignals: no signal has the number 0.
const unsigned char kStopByte = 0;

std::mutex sLock;
int sPipe[2] = {-1, -1};
volatile sig_atomic_t sWriteEnd = -1;
std::thread sThread;
struct sigaction sPrevious[kSignalCount];
bool sStarted = false;

void
OnSignal(int signal)
{
	int savedErrno = errno;
	unsigned char byte = (unsigned char)signal;
	if (sWriteEnd >= 0)
		(void)!write(sWriteEnd, &byte, 1);
	errno = savedErrno;
}

status_t
MakePipe()
{
	if (sPipe[0] >= 0)
		return B_OK;
	if (pipe2(sPipe, O_CLOEXEC) != 0)
		return StatusFromErrno(errno);
	// A full pipe drops a signal rather than blocking its handler; the quit request
	// it stands for is already waiting in the pipe.
	fcntl(sPipe[1], F_SETFL, O_NONBLOCK);
	sWriteEnd = sPipe[1];
	return B_OK;
}

void
ReadSignals(quit_signal_hook hook)
{
	while (true) {
		unsigned char byte = 0;
		ssize_t got = read(sPipe[0], &byte, 1);
		if (got < 0 && errno == EINTR)
			continue;
		if (got != 1 || byte == kStopByte)
			return;
		hook(byte);
	}
}

} // namespace

status_t
StartQuitSignals(quit_signal_hook hook)
{
	std::lock_guard<std::mutex> guard(sLock);
	if (sStarted || hook == nullptr)
		return sStarted ? B_NOT_ALLOWED : B_BAD_VALUE;
	status_t status = MakePipe();
	if (status != B_OK)
		return status;
	try {
		sThread = std::thread(ReadSignals, hook);
	} catch (...) {
		return B_NO_MORE_THREADS;
	}
	for (int i = 0; i < kSignalCount; i++) {
		struct sigaction action = {};
		action.sa_handler = kSignals[i] == SIGPIPE ? SIG_IGN : OnSignal;
		action.sa_flags = SA_RESTART;
		sigemptyset(&action.sa_mask);
		sigaction(kSignals[i], &action, &sPrevious[i]);
	}
	sStarted = true;
	return B_OK;
}

void
StopQuitSignals()
{
	std::lock_guard<std::mutex> guard(sLock);
	if (!sStarted)
		return;
	for (int i = 0; i < kSignalCount; i++)
		sigaction(kSignals[i], &sPrevious[i], nullptr);
	// Signals caught before this point are in the pipe ahead of the stop byte and still
	// reach the hook. The stop byte must get in even if the pipe is momentarily full.
	unsigned char stop = kStopByte;
	while (write(sPipe[1], &stop, 1) < 0 && (errno == EINTR || errno == EAGAIN))
		std::this_thread::yield();
	sThread.join();
	sStarted = false;
}

} // namespace BPrivate
