// Kit-internal: the transport between programs (each application's listening socket and
// the hook that carries BMessenger sends to other teams) and the roster's lookups.
#ifndef _ROSTER_PRIVATE_H
#define _ROSTER_PRIVATE_H

#include <SupportDefs.h>

#include <string>

class BLooper;
class BMessage;

namespace BPrivate {

// Installs the send hook for messages to other teams. Idempotent and thread-safe; every
// entry into the transport calls it, so a program without a BApplication can send too.
void InstallRemoteTransport();

// Starts the application's listener for signature. With B_EXCLUSIVE_LAUNCH or
// B_SINGLE_LAUNCH in flags, a running copy makes it return B_ALREADY_RUNNING and its team
// in *runningTeam instead. The check and the bind happen under one lock per signature.
status_t StartAppListener(const char* signature, uint32 flags, team_id* runningTeam);

// Stops listening, ends the connection threads and removes the socket file.
void StopAppListener();

// What a running application says about itself.
status_t QueryAppInfo(team_id team, uint32* flags, std::string* signature);

// The team a BMessenger(signature, team) reaches: team itself when it runs (and has that
// signature, if one is given), else the first running copy of signature. For a signature
// that only a host program stands for (the file manager, the web browser), a stand-in
// team whose B_REFS_RECEIVED and B_ARGV_RECEIVED messages launch that program.
// B_BAD_TEAM_ID or B_NAME_NOT_FOUND when nothing is reached.
status_t ResolveMessengerTarget(const char* signature, team_id team, team_id* target);

// Sends message to the application looper of team and does not wait for a reply.
status_t SendToApplication(team_id team, const BMessage& message);

} // namespace BPrivate

#endif // _ROSTER_PRIVATE_H
