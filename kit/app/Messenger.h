// BMessenger: the address of a handler or looper, in this program or another. It holds
// tokens, not pointers: a messenger whose looper is gone is simply invalid.
#ifndef _MESSENGER_H
#define _MESSENGER_H

#include <OS.h>

class BHandler;
class BLooper;
class BMessage;
class BMessenger;

// The kit's own access to a messenger's address (see the application kit's
// MessengerPrivate.h).
namespace BPrivate {
struct messenger_data;
messenger_data GetMessengerData(const BMessenger& messenger);
BMessenger MakeMessenger(const messenger_data& data);
} // namespace BPrivate

class BMessenger
{
public:
	BMessenger();
	// The running application with that signature (and team, if not -1).
	BMessenger(const char* signature, team_id team = -1, status_t* result = nullptr);
	// A handler in its looper, or (handler null) the looper's preferred handler.
	// B_BAD_HANDLER for a handler in no looper, B_MISMATCHED_VALUES when looper is not the
	// handler's, B_BAD_VALUE when both are null.
	BMessenger(const BHandler* handler, const BLooper* looper = nullptr,
	           status_t* result = nullptr);
	BMessenger(const BMessenger& other);
	~BMessenger();

	BMessenger& operator=(const BMessenger& other);
	bool operator==(const BMessenger& other) const;

	status_t SetTo(const char* signature, team_id team = -1);
	status_t SetTo(const BHandler* handler, const BLooper* looper = nullptr);

	bool IsTargetLocal() const;
	// Local targets only: the handler (null for "preferred handler") and its looper. The
	// pointers are not guarded against the target's deletion.
	BHandler* Target(BLooper** looper) const;
	bool LockTarget() const;
	status_t LockTargetWithTimeout(bigtime_t timeout) const;

	// Asynchronous sends copy the message; the caller keeps it. Replies go to replyTo.
	status_t SendMessage(uint32 command, BHandler* replyTo = nullptr) const;
	status_t SendMessage(BMessage* message, BHandler* replyTo = nullptr,
	                     bigtime_t timeout = B_INFINITE_TIMEOUT) const;
	status_t SendMessage(BMessage* message, BMessenger replyTo,
	                     bigtime_t timeout = B_INFINITE_TIMEOUT) const;
	// Synchronous sends wait for the reply (B_NO_REPLY when the target dropped it).
	status_t SendMessage(uint32 command, BMessage* reply) const;
	status_t SendMessage(BMessage* message, BMessage* reply,
	                     bigtime_t deliveryTimeout = B_INFINITE_TIMEOUT,
	                     bigtime_t replyTimeout = B_INFINITE_TIMEOUT) const;

	// Local: the target looper (and handler) still exist. Remote: a team is set; whether
	// it still runs shows only when a message is sent.
	bool IsValid() const;
	team_id Team() const { return fTeam; }

private:
	friend BPrivate::messenger_data BPrivate::GetMessengerData(const BMessenger& messenger);
	friend BMessenger BPrivate::MakeMessenger(const BPrivate::messenger_data& data);

	void _Clear();

	team_id fTeam;
	int32 fLooperToken;
	int32 fHandlerToken;
};

bool operator!=(const BMessenger& a, const BMessenger& b);
bool operator<(const BMessenger& a, const BMessenger& b);

#endif // _MESSENGER_H
