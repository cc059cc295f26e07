// Kit-internal registry of the handlers, loopers and reply slots of this program, by
// int32 token. Messengers and messages hold tokens, never pointers, so a target that is
// gone is looked up and not found instead of being touched after deletion. One lock
// guards the registry; no call made while holding it waits for anything else.
#ifndef _TOKEN_SPACE_H
#define _TOKEN_SPACE_H

#include <memory>

#include <SupportDefs.h>

class BHandler;
class BLooper;
class BMessage;

namespace BPrivate {

class LooperPort;

// Where a synchronous sender waits for its reply. The first reply (or the B_NO_REPLY
// stand-in) is kept; later ones are refused.
class ReplySlot
{
public:
	ReplySlot();
	~ReplySlot();

	status_t Deposit(const BMessage& reply);
	// B_OK with *reply filled, or B_TIMED_OUT.
	status_t Wait(bigtime_t timeout, BMessage* reply);

private:
	struct Data;
	std::unique_ptr<Data> fData;
};

// The current process id, the team of every local messenger.
team_id CurrentTeam();

int32 NewHandlerToken(BHandler* handler);
int32 NewReplyToken(const std::shared_ptr<ReplySlot>& slot);
void RemoveToken(int32 token);

// Records which looper a handler belongs to (-1: none).
void SetHandlerLooper(int32 handlerToken, int32 looperToken);
// Makes a handler token a looper token too; a null port withdraws that again.
void SetLooperPort(int32 token, BLooper* looper, const std::shared_ptr<LooperPort>& port);

// Resolves -1 to the application looper. Null when no such looper exists (any more).
std::shared_ptr<LooperPort> FindLooperPort(int32 looperToken, BLooper** looper = nullptr);
int32 ResolveLooperToken(int32 looperToken);

// The looper a handler belongs to, found through the handler's token.
std::shared_ptr<LooperPort> FindHandlerLooper(int32 handlerToken, int32* looperToken);

// The handler behind handlerToken if it belongs to the looper looperToken, else null.
BHandler* FindHandler(int32 handlerToken, int32 looperToken);

// What a message to (looperToken, handlerToken) reaches: a looper's port, or a reply
// slot. B_BAD_PORT_ID when the looper is gone or closed, B_BAD_HANDLER when the handler
// is gone or no longer in that looper.
status_t FindTarget(int32 looperToken, int32 handlerToken, std::shared_ptr<LooperPort>* port,
                    std::shared_ptr<ReplySlot>* slot);

// Kit-internal access to a handler's token.
class HandlerAccess
{
public:
	static int32 Token(const BHandler* handler);
};

void SetApplicationLooperToken(int32 token);
int32 ApplicationLooperToken();

} // namespace BPrivate

#endif // _TOKEN_SPACE_H
