// Dragging a link out: the drag message and its image, and the bookmark or person file
// written when a drop target names one. The kit makes the named file exclusively before
// the reply arrives; the view then only fills in an empty regular file, never a link and
// never a file that holds something already.
#include "widgets/KVLinkView.h"

#include <cmath>
#include <cstring>
#include <memory>

#include <AppDefs.h>
#include <Bitmap.h>
#include <BookmarkFormat.h>
#include <Entry.h>
#include <File.h>
#include <List.h>
#include <Message.h>
#include <MimeType.h>
#include <Node.h>
#include <NodeInfo.h>
#include <Path.h>
#include <StorageDefs.h>
#include <TypeConstants.h>

namespace {

const char* const kPersonType = "application/x-person";
const size_t kMaxFileName = 255;

// Writes a string attribute with its terminating NUL, as the other programs read it.
status_t
WriteString(BNode* node, const char* name, const char* value)
{
	ssize_t size = (ssize_t)strlen(value) + 1;
	ssize_t written = node->WriteAttr(name, B_STRING_TYPE, 0, value, (size_t)size);
	if (written < 0)
		return (status_t)written;
	return written == size ? B_OK : B_ERROR;
}

} // namespace

BString
KVLinkView::SafeFileName(const char* name, const char* fallback)
{
	BString safe(name != nullptr ? name : "");
	safe.ReplaceAll('/', '-');
	if (safe.Length() > (int32)kMaxFileName) {
		// Cut before a UTF-8 continuation byte, never inside a character.
		int32 cut = (int32)kMaxFileName;
		while (cut > 0 && ((uint8)safe[cut] & 0xC0) == 0x80)
			cut--;
		safe.Truncate(cut);
	}
	if (safe == "" || safe == "." || safe == "..")
		safe = fallback != nullptr ? fallback : "";
	return safe;
}

float
KVLinkView::DragGrabX(float pressX, float hitWidth, float imageRight)
{
	if (!(hitWidth > 0) || !std::isfinite(pressX))
		return 0;
	float x = pressX / hitWidth * imageRight;
	return std::fmax(0.0f, std::fmin(x, imageRight));
}

BRect
KVLinkView::GetURLRect()
{
	BRect bounds = Bounds();
	font_height height;
	GetFontHeight(&height);
	return BRect(0, bounds.bottom - (height.ascent + fUnderlineThickness - 1),
	             StringWidth(fLinkURL.String()), bounds.bottom - 1);
}

BMessage*
KVLinkView::_MakeDragMessage(bool person)
{
	BMessage* message = new BMessage(B_MIME_DATA);
	message->AddInt32("be:actions", B_COPY_TARGET);
	message->AddString("be:types", "application/octet-stream");
	message->AddString("be:filetypes", person ? kPersonType : kBookmarkType);
	message->AddString("be:type_descriptions", person ? "person" : "bookmark");
	// The label is offered as the file's name, so it must be one.
	BString clipName = SafeFileName(Text(), person ? "person" : "bookmark");
	message->AddString("be:clip_name", clipName.String());
	if (!person)
		message->AddString("be:url", fLinkURL.String());
	BString text = GetImportantURL();
	message->AddData("text/plain", B_MIME_TYPE, text.String(), text.Length() + 1);
	return message;
}

BBitmap*
KVLinkView::_MakeDragImage(bool person, BRect* imageFrame)
{
	int32 size = fIconSize;
	BBitmap icon(BRect(0, 0, size - 1, size - 1), B_CMAP8);
	BMimeType(person ? kPersonType : kBookmarkType)
	        .GetIcon(&icon, size == 16 ? B_MINI_ICON : B_LARGE_ICON);

	BRect frame = person ? GetTextRect() : GetURLRect();
	frame.right += size + 4;
	float height = frame.Height();
	if (size > height) {
		float grow = std::trunc((size - height) * 0.5f) + 1;
		frame.InsetBy(0, -grow);
	}
	frame.OffsetBy(0, -frame.top);
	*imageFrame = frame;
	float imageHeight = frame.Height();

	BBitmap* image = new BBitmap(frame, B_RGBA32, true);
	BView* view = new BView(frame, "Drag View", 0, 0);
	image->AddChild(view);
	image->Lock();
	view->SetHighColor(B_TRANSPARENT_COLOR);
	view->FillRect(view->Bounds());

	font_height metrics;
	GetFontHeight(&metrics);
	float baseline = std::trunc(imageHeight * 0.5f) +
	                 std::trunc(metrics.descent + (float)fUnderlineThickness);
	view->SetDrawingMode(B_OP_ALPHA);
	view->SetBlendingMode(B_CONSTANT_ALPHA, B_ALPHA_COMPOSITE);
	rgb_color high = person ? rgb_color{0, 0, 0, 128} : fLinkColor;
	high.alpha = 128;
	view->SetHighColor(high);
	view->DrawBitmap(&icon, BPoint(frame.left, std::trunc(imageHeight * 0.5f) - size / 2));
	BFont font;
	GetFont(&font);
	view->SetFont(&font);
	float textX = frame.left + size + 4;
	view->DrawString(person ? Text() : fLinkURL.String(), BPoint(textX, baseline));
	if (!person) {
		float urlWidth = StringWidth(fLinkURL.String());
		view->FillRect(
		        BRect(textX, baseline + 1, urlWidth + size + 4, baseline + fUnderlineThickness));
	}
	view->Sync();
	image->Unlock();
	return image;
}

void
KVLinkView::_DoDrag()
{
	fDraggedOut = true;
	if (Window() == nullptr)
		return;
	bool person = Kind() == KV_LINK_EMAIL;
	std::unique_ptr<BMessage> message(_MakeDragMessage(person));
	BRect frame;
	BBitmap* image = _MakeDragImage(person, &frame);
	float imageHeight = frame.Height();
	BPoint grab;
	grab.x = DragGrabX(fDragOffset.x, GetTextRect().Width(), frame.right);
	fDragOffset.x = grab.x;
	grab.y = person ? (imageHeight + fUnderlineThickness) * 0.5f + 2 : imageHeight * 0.5f + 2;
	// The view takes the image over; the message is copied.
	DragMessage(message.get(), image, B_OP_ALPHA, grab, this);
}

void
KVLinkView::MessageReceived(BMessage* message)
{
	if (message->what != B_COPY_TARGET) {
		BStringView::MessageReceived(message);
		return;
	}
	entry_ref directory;
	const char* name = nullptr;
	if (message->FindRef("directory", &directory) == B_OK &&
	    message->FindString("name", &name) == B_OK) {
		WriteLinkFile(directory, name);
	}
}

status_t
KVLinkView::WriteLinkFile(const entry_ref& directory, const char* name)
{
	// A name that would not stay one entry of the directory is refused, not repaired:
	// a repaired name would be some other file.
	if (name == nullptr || SafeFileName(name, "") != name || strlen(name) == 0)
		return B_BAD_VALUE;
	BPath folder(&directory);
	if (folder.InitCheck() != B_OK)
		return B_ENTRY_NOT_FOUND;
	BPath path(folder.Path(), name);
	BEntry entry(path.Path(), false);
	if (!entry.Exists())
		return B_ENTRY_NOT_FOUND;
	if (entry.IsSymLink() || !entry.IsFile())
		return B_NOT_ALLOWED;
	BNode node(&entry);
	status_t status = node.InitCheck();
	if (status != B_OK)
		return status;
	// Only a file that the drop has just made: empty and without attributes.
	off_t size = 0;
	char attribute[B_ATTR_NAME_LENGTH];
	BFile file(&entry, B_READ_ONLY);
	if (file.GetSize(&size) != B_OK || size != 0 || node.GetNextAttrName(attribute) == B_OK)
		return B_FILE_EXISTS;
	bool person = Kind() == KV_LINK_EMAIL;
	status = BNodeInfo(&node).SetType(person ? kPersonType : kBookmarkType);
	if (status != B_OK)
		return status;
	return _WriteAttributes(&node, person);
}

status_t
KVLinkView::_WriteAttributes(BNode* node, bool person)
{
	status_t status = B_OK;
	BString important = GetImportantURL();
	status_t first = WriteString(node, person ? "META:name" : kTitleAttribute, Text());
	status_t second = WriteString(node, person ? "META:email" : kUrlAttribute,
	                              person ? important.String() : fLinkURL.String());
	if (first != B_OK)
		status = first;
	else if (second != B_OK)
		status = second;
	for (int32 i = 0; i + 1 < fAttributes->CountItems(); i += 2) {
		const BString* attributeName = (const BString*)fAttributes->ItemAt(i);
		const BString* value = (const BString*)fAttributes->ItemAt(i + 1);
		status_t written = WriteString(node, attributeName->String(), value->String());
		if (status == B_OK)
			status = written;
	}
	return status;
}
