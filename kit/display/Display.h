// The process's one connection to the X server and its display thread: the X11 window
// backend. The thread reads X events and hands BeOS messages to the window that they
// concern; windows draw into their canvas in their own thread and present its pixels here.
// Only neutral types cross this header (see WindowBackend.h); it knows no interface kit.
#ifndef _KV_DISPLAY_DISPLAY_H
#define _KV_DISPLAY_DISPLAY_H

#include <memory>

#include <WindowBackend.h>

namespace BPrivate {

class Display : public WindowBackend
{
public:
	// The process's display, opened on first use; null when no X server is reachable.
	static Display* Default();
	// Stops the display thread and closes the connection (for tests whose X server goes
	// away). Windows must be gone by then.
	static void Shutdown();

	bool IsConnected() const override;
	BRect ScreenFrame() const override;
	bool HasWindowManager() const override;
	uint32 CurrentWorkspace() const override;
	uint32 Modifiers() override;

	native_window CreateWindow(WindowClient* client, BRect frame,
	                           const WindowProperties& properties) override;
	void DestroyWindow(native_window window) override;
	void ShowWindow(native_window window) override;
	void HideWindow(native_window window) override;
	uint32 MoveWindow(native_window window, BPoint contentLeftTop) override;
	uint32 ResizeWindow(native_window window, int32 width, int32 height) override;
	void SetProperties(native_window window, const WindowProperties& properties) override;
	void SetWorkspaces(native_window window, uint32 workspaces) override;
	void SetSizeLimits(native_window window, int32 minWidth, int32 maxWidth, int32 minHeight,
	                   int32 maxHeight) override;
	void Activate(native_window window) override;
	void Minimize(native_window window, bool minimize) override;
	bool GrabInput(native_window window, bool grab) override;

	void Present(native_window window, const uint8* bits, int32 width, int32 height,
	             int32 bytesPerRow, const BRect* rects, int32 count) override;
	void Flush() override;
	void Sync() override;
	void Drain() override;

	bool QueryPointer(native_window window, BPoint* where, uint32* buttons) override;
	void SetCursor(native_window window, const CursorImage& cursor) override;
	void WatchAllKeys(native_window window, bool watch) override;

	status_t StartDrag(native_window window, const BMessage& message, const BMessenger& replyTo,
	                   const uint32* pixels, int32 width, int32 height, BPoint grab,
	                   std::shared_ptr<DragClient> client) override;
	bool IsDragging() override;

	struct Data;

private:
	Display(Data* data);
	~Display() override;
	Display(const Display&) = delete;
	Display& operator=(const Display&) = delete;

	Data* fData;
};

} // namespace BPrivate

#endif // _KV_DISPLAY_DISPLAY_H
