// The recording window backend.
#include "RecordingBackend.h"

namespace kvtest {

bool
RecordingBackend::Window(BPrivate::native_window window, Record* record)
{
	std::lock_guard<std::mutex> guard(fLock);
	auto found = fWindows.find(window);
	if (found == fWindows.end())
		return false;
	*record = found->second;
	return true;
}

BPrivate::native_window
RecordingBackend::Last()
{
	std::lock_guard<std::mutex> guard(fLock);
	return fLast;
}

bool
RecordingBackend::Post(BPrivate::native_window window, BMessage* message)
{
	std::lock_guard<std::mutex> posting(fPostLock);
	BPrivate::WindowClient* client = nullptr;
	{
		std::lock_guard<std::mutex> guard(fLock);
		Record* record = _Find(window);
		if (record != nullptr && !record->destroyed)
			client = record->client;
	}
	if (client == nullptr) {
		delete message;
		return false;
	}
	client->BackendMessage(message);
	return true;
}

RecordingBackend::Record*
RecordingBackend::_Find(BPrivate::native_window window)
{
	auto found = fWindows.find(window);
	return found == fWindows.end() ? nullptr : &found->second;
}

BPrivate::native_window
RecordingBackend::CreateWindow(BPrivate::WindowClient* client, BRect frame,
                               const BPrivate::WindowProperties& properties)
{
	std::lock_guard<std::mutex> guard(fLock);
	Record record;
	record.client = client;
	record.frame = frame;
	record.properties = properties;
	fWindows[++fLast] = record;
	return fLast;
}

void
RecordingBackend::DestroyWindow(BPrivate::native_window window)
{
	std::lock_guard<std::mutex> posting(fPostLock);
	std::lock_guard<std::mutex> guard(fLock);
	if (Record* record = _Find(window))
		record->destroyed = true;
}

void
RecordingBackend::ShowWindow(BPrivate::native_window window)
{
	std::lock_guard<std::mutex> guard(fLock);
	Record* record = _Find(window);
	if (record == nullptr)
		return;
	if (!record->shown && !record->destroyed)
		record->presentsBeforeShown = record->presents;
	record->shown = true;
}

void
RecordingBackend::Present(BPrivate::native_window window, const uint8*, int32, int32, int32,
                          const BRect*, int32)
{
	std::lock_guard<std::mutex> guard(fLock);
	if (Record* record = _Find(window))
		record->presents++;
}

void
RecordingBackend::HideWindow(BPrivate::native_window window)
{
	std::lock_guard<std::mutex> guard(fLock);
	if (Record* record = _Find(window))
		record->shown = false;
}

uint32
RecordingBackend::MoveWindow(BPrivate::native_window window, BPoint where)
{
	std::lock_guard<std::mutex> guard(fLock);
	Record* record = _Find(window);
	if (record == nullptr)
		return 0;
	record->frame.OffsetTo(where);
	return ++record->frameRequests;
}

uint32
RecordingBackend::ResizeWindow(BPrivate::native_window window, int32 width, int32 height)
{
	std::lock_guard<std::mutex> guard(fLock);
	Record* record = _Find(window);
	if (record == nullptr)
		return 0;
	record->frame.right = record->frame.left + width - 1;
	record->frame.bottom = record->frame.top + height - 1;
	return ++record->frameRequests;
}

void
RecordingBackend::SetProperties(BPrivate::native_window window,
                                const BPrivate::WindowProperties& properties)
{
	std::lock_guard<std::mutex> guard(fLock);
	if (Record* record = _Find(window)) {
		record->properties = properties;
		record->changes.push_back(properties);
	}
}

void
RecordingBackend::SetWorkspaces(BPrivate::native_window window, uint32 workspaces)
{
	std::lock_guard<std::mutex> guard(fLock);
	if (Record* record = _Find(window))
		record->properties.workspaces = workspaces;
}

bool
RecordingBackend::GrabInput(BPrivate::native_window window, bool grab)
{
	std::lock_guard<std::mutex> guard(fLock);
	if (Record* record = _Find(window))
		record->grabbed = grab;
	return true;
}

} // namespace kvtest
