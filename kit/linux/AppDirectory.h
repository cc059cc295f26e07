// Where running applications listen: one private per-user directory holding one Unix
// socket per running application, named after its signature and its team.
#ifndef KIT_LINUX_APP_DIRECTORY_H
#define KIT_LINUX_APP_DIRECTORY_H

#include "FileDescriptor.h"

#include <SupportDefs.h>

#include <string>
#include <vector>

namespace BPrivate {

struct running_app_socket
{
	team_id team;
	std::string path;      // the listening socket
	std::string signature; // lower case; empty when the file name could not hold it whole
};

// The directory of application sockets: $XDG_RUNTIME_DIR/kestrovane-kit, else
// /tmp/kestrovane-kit-<uid>. Created with mode 0700; a directory that is not ours, not
// private or not a directory at all is refused (B_PERMISSION_DENIED), never used.
status_t AppSocketDirectory(std::string& directory);

// The socket path for signature and team inside directory. Signatures compare without
// regard to case, so the name holds the lower-case form.
std::string AppSocketPath(const std::string& directory, const char* signature, team_id team);

// The live applications of one signature (all of them for nullptr), optionally only the
// one of team. Socket files that nobody listens on any more (their process died) are
// removed on the way.
std::vector<running_app_socket> FindRunningApps(const char* signature, team_id team = -1);

// Removes a socket file (of this process, or one proven stale).
void RemoveAppSocket(const std::string& path);

// The socket of one running team, or B_BAD_TEAM_ID.
status_t FindAppSocket(team_id team, running_app_socket& app);

// Holds an exclusive lock on a signature while an application checks for other copies
// and binds its socket, so two exclusive starts cannot both win.
class SignatureLock
{
public:
	// Closing the descriptor releases the lock; the lock file stays for the next start.
	explicit SignatureLock(const char* signature);

	status_t InitCheck() const { return fStatus; }

private:
	FileDescriptor fFD;
	status_t fStatus;
};

} // namespace BPrivate

#endif // KIT_LINUX_APP_DIRECTORY_H
