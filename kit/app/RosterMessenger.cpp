// BMessenger's constructor and SetTo() by signature: they resolve the signature through the
// roster's view of the running applications, so they live with the roster.
#include <Messenger.h>

#include "RosterPrivate.h"

#include <Application.h>

BMessenger::BMessenger(const char* signature, team_id team, status_t* result) : BMessenger()
{
	status_t status = SetTo(signature, team);
	if (result != nullptr)
		*result = status;
}

status_t
BMessenger::SetTo(const char* signature, team_id team)
{
	_Clear();
	if (signature == nullptr && team < 0)
		return B_BAD_VALUE;
	team_id target;
	status_t status = BPrivate::ResolveMessengerTarget(signature, team, &target);
	if (status != B_OK)
		return status;
	if (be_app != nullptr && target == be_app->Team()) {
		// This program itself: its application looper, without a trip through the socket.
		*this = be_app_messenger;
		return B_OK;
	}
	fTeam = target;
	fLooperToken = -1;
	fHandlerToken = -1;
	return B_OK;
}
