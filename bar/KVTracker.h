// The invisible view that follows every key of the desktop for the hot key: it feeds the
// sequence, asks the bar window to launch a completed folder and slot while another
// program is active, and brings the bar forward on Shift+Control+Alt.
#ifndef KV_TRACKER_H
#define KV_TRACKER_H

#include <View.h>

#include "KVHotKeySequence.h"

class KVTracker : public BView
{
public:
	KVTracker();
	virtual ~KVTracker();

	virtual void MessageReceived(BMessage* message);
	virtual void AttachedToWindow();
	virtual void KeyDown(const char* bytes, int32 numBytes);
	virtual void KeyUp(const char* bytes, int32 numBytes);
	virtual void Pulse();

	const KVHotKeySequence& Sequence() const { return fSequence; }

private:
	void _ModifiersChanged(BMessage* message);
	void _KeyDown(BMessage* message);
	bool _WindowActive() const;

	KVHotKeySequence fSequence;
};

#endif // KV_TRACKER_H
