// The hot-key tracker: desktop-wide key events in, 'kvLi' and key-up notices out.
#include "KVTracker.h"

#include <cstdio>

#include <Message.h>
#include <Window.h>

#include "app/KVConstants.h"
#include "app/KVSettings.h"

namespace {

// The key-state bitmap of an event, or null when the event carries none.
const uint8*
FindStates(const BMessage* message)
{
	const void* data = nullptr;
	ssize_t size = 0;
	if (message == nullptr || message->FindData("states", B_UINT8_TYPE, &data, &size) != B_OK ||
	    size < kRawKeyStatesSize) {
		return nullptr;
	}
	return static_cast<const uint8*>(data);
}

int32
HotKeySetting()
{
	return gSettings != nullptr ? gSettings->GetHotKey() : 0;
}

} // namespace

KVTracker::KVTracker() : BView(BRect(-1, -1, -1, -1), "kv_tracker_view", 0, 0)
{}

KVTracker::~KVTracker()
{
	SetEventMask(0, 0);
}

void
KVTracker::AttachedToWindow()
{
	SetEventMask(B_KEYBOARD_EVENTS, 0);
}

// Keys without a character (keypad 5 with Num Lock off among them) are followed here and
// never passed on: the window would take them for its own keys even while another
// program has the focus.
void
KVTracker::MessageReceived(BMessage* message)
{
	switch (message->what) {
	case B_MODIFIERS_CHANGED:
		_ModifiersChanged(message);
		break;
	case B_UNMAPPED_KEY_DOWN:
		_KeyDown(message);
		break;
	case B_UNMAPPED_KEY_UP:
		break;
	default:
		BView::MessageReceived(message);
		break;
	}
}

void
KVTracker::KeyDown(const char*, int32)
{
	if (Window() != nullptr)
		_KeyDown(Window()->CurrentMessage());
}

void
KVTracker::KeyUp(const char* bytes, int32 numBytes)
{
	if (Window() != nullptr && !_WindowActive())
		Window()->PostMessage(B_KEY_UP);
	BView::KeyUp(bytes, numBytes);
}

void
KVTracker::Pulse()
{}

void
KVTracker::_ModifiersChanged(BMessage* message)
{
	const uint8* states = FindStates(message);
	if (states == nullptr)
		return;
	bool bringForward = false;
	KVHotKeySequence::Effect effect =
	        fSequence.ModifiersChanged(states, HotKeySetting(), &bringForward);
	if (bringForward && Window() != nullptr)
		Window()->Activate(true);
	if (effect == KVHotKeySequence::kArm)
		printf("Got sequence going\n");
}

void
KVTracker::_KeyDown(BMessage* message)
{
	const uint8* states = FindStates(message);
	if (states == nullptr)
		return;
	int32 repeat = 0;
	if (message->FindInt32("be:key_repeat", &repeat) == B_OK && repeat > 0)
		return;
	int32 key = -1;
	if (message->FindInt32("key", &key) != B_OK)
		key = -1;
	KVHotKeySequence::Effect effect =
	        fSequence.KeyDown(key, states, HotKeySetting(), _WindowActive());
	if (effect != KVHotKeySequence::kLaunch || Window() == nullptr)
		return;
	BMessage launch(kMsgLaunchItem);
	launch.AddInt8("folder", fSequence.LaunchFolder());
	launch.AddInt8("slot", fSequence.LaunchSlot());
	Window()->PostMessage(&launch);
}

bool
KVTracker::_WindowActive() const
{
	return Window() != nullptr && Window()->IsActive();
}
