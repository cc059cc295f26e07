// BMessageRunner: sends a message to a target at a fixed interval, a given number of times
// (or forever for a negative count). One kit thread serves every runner of the program.
#ifndef _MESSAGE_RUNNER_H
#define _MESSAGE_RUNNER_H

#include <Messenger.h>

class BMessage;

class BMessageRunner
{
public:
	// The message is copied. The first message goes out one interval after construction.
	// Replies go to replyTo, or to the application when none is given.
	BMessageRunner(BMessenger target, const BMessage* message, bigtime_t interval,
	               int32 count = -1);
	BMessageRunner(BMessenger target, const BMessage* message, bigtime_t interval, int32 count,
	               BMessenger replyTo);
	BMessageRunner(BMessenger target, const BMessage& message, bigtime_t interval,
	               int32 count = -1);
	BMessageRunner(BMessenger target, const BMessage& message, bigtime_t interval, int32 count,
	               BMessenger replyTo);
	// Cancels the runner: once the destructor returns, no message of it is sent any more.
	virtual ~BMessageRunner();

	// B_BAD_VALUE for an invalid target, a null message, a count of 0 or an interval that
	// is not positive.
	status_t InitCheck() const;

	// Both restart the interval from now. A count of 0 stops the runner.
	status_t SetInterval(bigtime_t interval);
	status_t SetCount(int32 count);
	// The interval and the messages still to send (-1: unlimited). B_BAD_VALUE once the
	// runner has stopped (count used up, or its target gone).
	status_t GetInfo(bigtime_t* interval, int32* count) const;

private:
	BMessageRunner(const BMessageRunner&) = delete;
	BMessageRunner& operator=(const BMessageRunner&) = delete;

	void _Init(BMessenger target, const BMessage* message, bigtime_t interval, int32 count,
	           const BMessenger* replyTo);

	// The runner's id in the schedule, or the error of InitCheck().
	int32 fToken;
};

#endif // _MESSAGE_RUNNER_H
