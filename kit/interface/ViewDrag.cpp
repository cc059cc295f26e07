// Drag and drop for views: BView::DragMessage hands the message and its image to the
// display, which moves the drag; drops on our windows come back as a private message that
// the window delivers to the view under the pointer through its looper. A program that
// saves the drag as a file (direct save) gets the file created here, and the drag's reply
// handler its B_COPY_TARGET.
#include <View.h>

#include <memory>
#include <string>

#include <AppDefs.h>
#include <Bitmap.h>
#include <Entry.h>
#include <File.h>
#include <Message.h>
#include <Messenger.h>
#include <Window.h>

#include "BitmapPrivate.h"
#include "MessagePrivate.h"
#include "WindowPrivate.h"

namespace {

const uint32 kOutlineDark = 0xff000000;
const uint32 kOutlineLight = 0xffffffff;

// Makes the file that another program chose for the dragged data and answers the view.
class ViewDragClient : public BPrivate::DragClient
{
public:
	explicit ViewDragClient(const BMessenger& replyTo) : fReplyTo(replyTo) {}

	status_t SaveTo(const char* directory, const char* name) override
	{
		// The name becomes one entry of the directory, nothing else.
		std::string leaf = name != nullptr ? name : "";
		if (leaf.empty() || leaf == "." || leaf == ".." || leaf.find('/') != std::string::npos)
			return B_BAD_VALUE;
		// The view writes the type and attributes into this file, so it must be a new one:
		// an existing name (a file, a link to anywhere, a FIFO) is refused, never opened.
		std::string path = std::string(directory) + "/" + leaf;
		BFile file(path.c_str(), B_WRITE_ONLY | B_CREATE_FILE | B_FAIL_IF_EXISTS);
		status_t status = file.InitCheck();
		if (status != B_OK)
			return status;
		entry_ref ref;
		status = get_ref_for_path(directory, &ref);
		if (status != B_OK)
			return status;
		BMessage reply(B_COPY_TARGET);
		reply.AddRef("directory", &ref);
		reply.AddString("name", leaf.c_str());
		fReplyTo.SendMessage(&reply, (BHandler*)nullptr, 0);
		return B_OK;
	}

private:
	BMessenger fReplyTo;
};

} // namespace

void
BView::DragMessage(BMessage* message, BRect rect, BHandler* replyTo)
{
	int32 width = std::max(rect.IntegerWidth() + 1, (int32)1);
	int32 height = std::max(rect.IntegerHeight() + 1, (int32)1);
	// A dotted outline: alternate dark and light pixels along the edges, nothing inside.
	std::vector<uint32> pixels((size_t)width * height, 0);
	for (int32 y = 0; y < height; y++) {
		for (int32 x = 0; x < width; x++) {
			if (x != 0 && y != 0 && x != width - 1 && y != height - 1)
				continue;
			pixels[(size_t)y * width + x] = ((x + y) / 2) % 2 == 0 ? kOutlineDark : kOutlineLight;
		}
	}
	BPoint where(rect.left, rect.top);
	uint32 buttons;
	GetMouse(&where, &buttons, false);
	_StartDrag(message, pixels, width, height, where - rect.LeftTop(), replyTo);
}

void
BView::DragMessage(BMessage* message, BBitmap* bitmap, BPoint offset, BHandler* replyTo)
{
	DragMessage(message, bitmap, B_OP_COPY, offset, replyTo);
}

void
BView::DragMessage(BMessage* message, BBitmap* bitmap, drawing_mode mode, BPoint offset,
                   BHandler* replyTo)
{
	std::unique_ptr<BBitmap> owned(bitmap);
	std::vector<uint32> pixels;
	int32 width = 0, height = 0;
	if (owned && owned->InitCheck() == B_OK) {
		width = owned->Bounds().IntegerWidth() + 1;
		height = owned->Bounds().IntegerHeight() + 1;
		std::vector<uint8> storage;
		const uint8* bits = BPrivate::BitmapAccess::RGBA32Bits(owned.get(), &storage);
		int32 stride = owned->ColorSpace() == B_RGBA32 ? owned->BytesPerRow() : width * 4;
		pixels.resize((size_t)width * height);
		for (int32 y = 0; y < height; y++) {
			const uint8* row = bits + (size_t)y * stride;
			for (int32 x = 0; x < width; x++) {
				const uint8* p = row + 4 * x;
				uint32 alpha = mode == B_OP_ALPHA ? p[3] : 255;
				pixels[(size_t)y * width + x] =
				        alpha << 24 | (uint32)p[2] << 16 | (uint32)p[1] << 8 | p[0];
			}
		}
	}
	_StartDrag(message, pixels, width, height, offset, replyTo);
}

void
BView::_StartDrag(BMessage* message, const std::vector<uint32>& pixels, int32 width, int32 height,
                  BPoint offset, BHandler* replyTo)
{
	if (message == nullptr || fWindow == nullptr)
		return;
	BHandler* answerTo = replyTo != nullptr ? replyTo : this;
	BMessenger reply(answerTo, answerTo->Looper());
	auto client = std::make_shared<ViewDragClient>(reply);
	fWindow->fBuffer->backend->StartDrag(fWindow->fBuffer->native, *message, reply,
	                                     pixels.empty() ? nullptr : pixels.data(), width, height,
	                                     offset, client);
}

// A drop on this window: the message goes to the view under the drop point (the window
// itself when there is none) through the looper, marked as dropped and with the drag's
// reply address.
void
BWindow::_DeliverDrop(BMessage* drop)
{
	BMessage dropped;
	if (drop->FindMessage(BPrivate::kDragMessageField, &dropped) != B_OK)
		return;
	BPoint screenWhere, offset;
	drop->FindPoint("screen_where", &screenWhere);
	drop->FindPoint(BPrivate::kDropOffsetField, &offset);
	BMessenger replyTo;
	drop->FindMessenger(BPrivate::kDropReplyField, &replyTo);
	BView* view = _ViewAtWindowPoint(ConvertFromScreen(screenWhere));
	BHandler* handler = view != nullptr ? (BHandler*)view : (BHandler*)this;
	BPrivate::MessagePrivate(&dropped).SetDropped(screenWhere, offset);
	BMessenger target(handler, this);
	if (replyTo.IsValid())
		target.SendMessage(&dropped, replyTo, 0);
	else
		target.SendMessage(&dropped, (BHandler*)nullptr, 0);
}
