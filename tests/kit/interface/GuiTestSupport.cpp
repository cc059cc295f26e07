// The recording view and window and the Xvfb fixture of the GUI tests.
#include "GuiTestSupport.h"

#include <MenuItem.h>

#include <cstring>

#include <AppDefs.h>
#include <TypeConstants.h>

#include "Display.h"
#include "support/TestSupport.h"

namespace kvtest {

uint32_t
Rgb(rgb_color color)
{
	return (uint32_t)color.red << 16 | (uint32_t)color.green << 8 | color.blue;
}

std::vector<BRect>
MenuScreenFrames(BMenu* menu, BPoint where)
{
	menu->GetPreferredSize(nullptr, nullptr);
	std::vector<BRect> frames;
	for (int32 i = 0; i < menu->CountItems(); i++)
		frames.push_back(menu->ItemAt(i)->Frame().OffsetByCopy(where));
	return frames;
}

RecordingView::RecordingView(BRect frame, bool trackOutside)
    : BView(frame, "recorder", B_FOLLOW_NONE, B_WILL_DRAW), fTrackOutside(trackOutside)
{
	SetViewColor(kFill);
}

void
RecordingView::Draw(BRect)
{
	BRect bounds = Bounds();
	SetHighColor(kLight);
	StrokeLine(bounds.LeftBottom(), bounds.LeftTop());
	StrokeLine(bounds.RightTop());
	SetHighColor(kDark);
	StrokeLine(bounds.RightBottom());
	StrokeLine(bounds.LeftBottom());
	SetHighColor(255, 255, 0);
	SetLowColor(kFill);
	DrawString("Hello, Kestrovane", BPoint(10, 30));
	draws++;
}

void
RecordingView::_Record(uint32 what, BPoint where)
{
	Event event;
	event.what = what;
	event.where = where;
	BMessage* message = Window()->CurrentMessage();
	if (message != nullptr) {
		message->FindInt32("buttons", &event.buttons);
		message->FindInt32("clicks", &event.clicks);
		message->FindInt32("be:transit", &event.transit);
		message->FindInt32("key", &event.key);
		const char* bytes = nullptr;
		if (message->FindString("bytes", &bytes) == B_OK)
			event.bytes = bytes;
		const void* states = nullptr;
		ssize_t size = 0;
		if (message->FindData("states", B_UINT8_TYPE, &states, &size) == B_OK && size == 16) {
			std::memcpy(event.states, states, 16);
			event.hasStates = true;
		}
	}
	std::lock_guard<std::mutex> guard(fLock);
	fEvents.push_back(event);
}

void
RecordingView::MouseDown(BPoint where)
{
	_Record(B_MOUSE_DOWN, where);
	if (fTrackOutside)
		SetMouseEventMask(B_POINTER_EVENTS, B_NO_POINTER_HISTORY);
}

void
RecordingView::MouseUp(BPoint where)
{
	_Record(B_MOUSE_UP, where);
}

void
RecordingView::MouseMoved(BPoint where, uint32, const BMessage*)
{
	_Record(B_MOUSE_MOVED, where);
}

void
RecordingView::KeyDown(const char*, int32)
{
	_Record(B_KEY_DOWN, BPoint());
}

void
RecordingView::KeyUp(const char*, int32)
{
	_Record(B_KEY_UP, BPoint());
}

void
RecordingView::MessageReceived(BMessage* message)
{
	if (message->what == B_MODIFIERS_CHANGED || message->what == B_UNMAPPED_KEY_DOWN ||
	    message->what == B_UNMAPPED_KEY_UP) {
		_Record(message->what, BPoint());
		return;
	}
	BView::MessageReceived(message);
}

std::vector<Event>
RecordingView::Events()
{
	std::lock_guard<std::mutex> guard(fLock);
	return fEvents;
}

size_t
RecordingView::Count(uint32 what)
{
	std::lock_guard<std::mutex> guard(fLock);
	size_t count = 0;
	for (const Event& event : fEvents)
		count += event.what == what ? 1 : 0;
	return count;
}

bool
RecordingView::Find(uint32 what, size_t index, Event* event)
{
	std::lock_guard<std::mutex> guard(fLock);
	for (size_t i = index; i < fEvents.size(); i++) {
		if (fEvents[i].what == what) {
			*event = fEvents[i];
			return true;
		}
	}
	return false;
}

void
GuiTest::SetUp()
{
	fServer = std::make_unique<XServer>(fWithWindowManager);
	if (!fServer->IsRunning())
		GTEST_SKIP() << fServer->Error();
	fClient = std::make_unique<XClient>();
	ASSERT_TRUE(fClient->IsValid());
	ASSERT_NE(BPrivate::Display::Default(), nullptr);
}

void
GuiTest::TearDown()
{
	fClient.reset();
	// The kit's connection goes before its server does.
	BPrivate::Display::Shutdown();
	fServer.reset();
}

void
GuiTest::Close(BWindow* window)
{
	if (window->Lock())
		window->Quit();
}

} // namespace kvtest
