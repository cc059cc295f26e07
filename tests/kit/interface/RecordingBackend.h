// A window backend for tests that need no X server: it records the windows the interface
// kit makes and what it asks of them, and lets a test post events to a window as the
// display thread would. Install it with BPrivate::SetBackend() before making windows.
#ifndef KV_TEST_RECORDING_BACKEND_H
#define KV_TEST_RECORDING_BACKEND_H

#include <map>
#include <mutex>
#include <vector>

#include <WindowBackend.h>

namespace kvtest {

class RecordingBackend : public BPrivate::WindowBackend
{
public:
	struct Record
	{
		BPrivate::WindowClient* client = nullptr;
		BRect frame;
		BPrivate::WindowProperties properties;
		// Every SetProperties() after creation, in order.
		std::vector<BPrivate::WindowProperties> changes;
		uint32 frameRequests = 0;
		bool shown = false;
		uint32 presents = 0;
		// Frames presented before the window was last shown: none when it was mapped
		// before it drew.
		uint32 presentsBeforeShown = 0;
		bool destroyed = false;
		bool grabbed = false;
	};

	explicit RecordingBackend(BRect screen = BRect(0, 0, 639, 479)) : fScreen(screen) {}

	// Whether the backend tells of a window manager; none unless set before windows are made.
	void SetWindowManager(bool running) { fWindowManager = running; }

	// A copy of what is known of the window; false when the backend never made it.
	bool Window(BPrivate::native_window window, Record* record);
	// The window made last, 0 when none was.
	BPrivate::native_window Last();
	// Hands message to the window's client on the calling thread, as the display thread
	// does; the client takes it. False when the window is gone.
	bool Post(BPrivate::native_window window, BMessage* message);

	bool IsConnected() const override { return true; }
	BRect ScreenFrame() const override { return fScreen; }
	bool HasWindowManager() const override { return fWindowManager; }
	uint32 CurrentWorkspace() const override { return 2; }
	uint32 Modifiers() override { return 0; }

	BPrivate::native_window CreateWindow(BPrivate::WindowClient* client, BRect frame,
	                                     const BPrivate::WindowProperties& properties) override;
	void DestroyWindow(BPrivate::native_window window) override;
	void ShowWindow(BPrivate::native_window window) override;
	void HideWindow(BPrivate::native_window window) override;
	uint32 MoveWindow(BPrivate::native_window window, BPoint where) override;
	uint32 ResizeWindow(BPrivate::native_window window, int32 width, int32 height) override;
	void SetProperties(BPrivate::native_window window,
	                   const BPrivate::WindowProperties& properties) override;
	void SetWorkspaces(BPrivate::native_window window, uint32 workspaces) override;
	void SetSizeLimits(BPrivate::native_window, int32, int32, int32, int32) override {}
	void Activate(BPrivate::native_window) override {}
	void Minimize(BPrivate::native_window, bool) override {}
	bool GrabInput(BPrivate::native_window window, bool grab) override;

	void Present(BPrivate::native_window window, const uint8*, int32, int32, int32, const BRect*,
	             int32) override;
	void Flush() override {}
	void Sync() override {}
	void Drain() override {}

	bool QueryPointer(BPrivate::native_window, BPoint*, uint32*) override { return false; }
	void SetCursor(BPrivate::native_window, const BPrivate::CursorImage&) override {}
	void WatchAllKeys(BPrivate::native_window, bool) override {}

	status_t StartDrag(BPrivate::native_window, const BMessage&, const BMessenger&, const uint32*,
	                   int32, int32, BPoint, std::shared_ptr<BPrivate::DragClient>) override
	{
		return B_ERROR;
	}
	bool IsDragging() override { return false; }

private:
	Record* _Find(BPrivate::native_window window);

	BRect fScreen;
	bool fWindowManager = false;
	std::mutex fLock;
	std::map<BPrivate::native_window, Record> fWindows;
	BPrivate::native_window fLast = 0;
	// The lock is not held while a client runs, so that a client may call back in; a
	// window being destroyed waits for a post in progress, as the display does.
	std::mutex fPostLock;
};

} // namespace kvtest

#endif // KV_TEST_RECORDING_BACKEND_H
