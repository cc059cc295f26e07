// The link view: drawing, pointer handling, the context menu, launching and the
// clipboard. Its drags and the files they make are in KVLinkDrag.cpp.
#include "widgets/KVLinkView.h"

#include <cmath>
#include <cstring>
#include <memory>

#include <Alert.h>
#include <AppDefs.h>
#include <Clipboard.h>
#include <Cursor.h>
#include <Entry.h>
#include <List.h>
#include <Menu.h>
#include <MenuItem.h>
#include <Message.h>
#include <Path.h>
#include <PopUpMenu.h>
#include <Roster.h>
#include <Window.h>

namespace {

const rgb_color kBlue = {0, 0, 255, 0};
const rgb_color kRed = {255, 0, 0, 0};
const rgb_color kDarkBlue = {0, 0, 120, 0};
const rgb_color kGray = {100, 100, 100, 0};

const float kDragDistance = 10;
const char* const kCopyLabel = "Copy this link to the clipboard";

// A pointing hand with the index finger up; hot spot at row 1, column 2.
const uint8 kLinkCursor[68] = {
        16,   1,    1,    2,    0x00, 0x00, 0x38, 0x00, 0x24, 0x00, 0x24, 0x00, 0x13, 0xE0,
        0x12, 0x5C, 0x09, 0x2A, 0x08, 0x01, 0x3C, 0x21, 0x4C, 0x71, 0x42, 0x71, 0x30, 0xF9,
        0x0C, 0xF9, 0x02, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x38, 0x00, 0x3C, 0x00,
        0x3C, 0x00, 0x1F, 0xE0, 0x1F, 0xFC, 0x0F, 0xFE, 0x0F, 0xFF, 0x3F, 0xFF, 0x7F, 0xFF,
        0x7F, 0xFF, 0x3F, 0xFF, 0x0F, 0xFF, 0x03, 0xFE, 0x01, 0xF8, 0x00, 0x00};

struct LinkKindText
{
	const char* menuPrefix;
	const char* alertTitle;
	const char* alertText;
};

const LinkKindText kKindTexts[] = {
        {"Open this link using ", "Web Browser Warning",
         "There is no web browser on your machine that is configured as the default program to "
         "view web pages."},
        {"Connect to this server using ", "FTP Warning",
         "There is no FTP client on your machine that is configured as the default program to "
         "connect to an FTP server."},
        {"Send e-mail to this address using ", "E-mail Warning",
         "There is no e-mail program on your machine that is configured as the default program "
         "to send e-mail."},
};

bool
StartsWith(const char* text, const char* prefix)
{
	return strncmp(text, prefix, strlen(prefix)) == 0;
}

} // namespace

KVLinkView::KVLinkView(BRect frame, const char* name, const char* label, const char* url,
                       uint32 resizingMode, uint32 flags)
    : BStringView(frame, name, label, resizingMode, flags), fLinkColor(kBlue), fClickColor(kRed),
      fHoverColor(kDarkBlue), fDisabledColor(kGray), fEnabled(true), fHoverEnabled(true),
      fDraggable(true), fUnderlineThickness(1), fIconSize(B_MINI_ICON), fPressed(false),
      fHovering(false), fDraggedOut(false), fPopupPending(false),
      fLinkCursor(new BCursor(kLinkCursor)), fDragOffset(0, 0), fAttributes(new BList(14))
{
	SetURL(url);
}

KVLinkView::~KVLinkView()
{
	delete fLinkCursor;
	for (int32 i = fAttributes->CountItems() - 1; i >= 0; i--)
		delete (BString*)fAttributes->ItemAt(i);
	delete fAttributes;
}

kv_link_kind
KVLinkView::KindOf(const char* url)
{
	if (IsHTMLLink(url))
		return KV_LINK_WEB;
	if (IsFTPLink(url))
		return KV_LINK_FTP;
	if (IsEmailLink(url))
		return KV_LINK_EMAIL;
	return KV_LINK_OTHER;
}

bool
KVLinkView::IsHTMLLink(const char* url)
{
	return url != nullptr && (StartsWith(url, "http://") || StartsWith(url, "file://"));
}

bool
KVLinkView::IsFTPLink(const char* url)
{
	return url != nullptr && StartsWith(url, "ftp://");
}

bool
KVLinkView::IsEmailLink(const char* url)
{
	if (url == nullptr)
		return false;
	if (StartsWith(url, "mailto:"))
		return true;
	return !IsHTMLLink(url) && !IsFTPLink(url) && strchr(url, '@') != nullptr;
}

const char*
KVLinkView::MimeTypeFor(kv_link_kind kind)
{
	switch (kind) {
	case KV_LINK_WEB:
		return "text/html";
	case KV_LINK_FTP:
		return "application/x-vnd.Be.URL.ftp";
	case KV_LINK_EMAIL:
		return "text/x-email";
	default:
		return nullptr;
	}
}

void
KVLinkView::SetURL(const char* url)
{
	fLinkURL = url != nullptr ? url : "";
	if (IsEmailLink(fLinkURL.String())) {
		if (!StartsWith(fLinkURL.String(), "mailto:"))
			fLinkURL.Prepend("mailto:");
	} else if (!IsFTPLink(fLinkURL.String()) && !IsHTMLLink(fLinkURL.String())) {
		SetEnabled(false);
	}
}

BString
KVLinkView::GetImportantURL() const
{
	if (IsEmailLink(fLinkURL.String()))
		return BString(fLinkURL.String() + strlen("mailto:"));
	return fLinkURL;
}

void
KVLinkView::AddAttribute(const char* name, const char* value)
{
	if (name == nullptr || value == nullptr)
		return;
	fAttributes->AddItem(new BString(name));
	fAttributes->AddItem(new BString(value));
}

bool
KVLinkView::IsEnabled() const
{
	return fEnabled;
}

void
KVLinkView::SetColor(rgb_color color)
{
	fLinkColor = color;
	if (fEnabled && Window() != nullptr && Window()->Lock()) {
		_SetHigh(fLinkColor);
		Window()->Unlock();
	}
}

void
KVLinkView::SetColor(uint8 red, uint8 green, uint8 blue, uint8 alpha)
{
	SetColor(rgb_color{red, green, blue, alpha});
}

void
KVLinkView::SetClickColor(rgb_color color)
{
	fClickColor = color;
}

void
KVLinkView::SetClickColor(uint8 red, uint8 green, uint8 blue, uint8 alpha)
{
	SetClickColor(rgb_color{red, green, blue, alpha});
}

void
KVLinkView::SetDisabledColor(rgb_color color)
{
	fDisabledColor = color;
	if (Window() != nullptr && Window()->Lock()) {
		Redraw();
		Window()->Unlock();
	}
}

void
KVLinkView::SetDisabledColor(uint8 red, uint8 green, uint8 blue, uint8 alpha)
{
	SetDisabledColor(rgb_color{red, green, blue, alpha});
}

void
KVLinkView::SetHoverColor(rgb_color color)
{
	fHoverColor = color;
}

void
KVLinkView::SetHoverColor(uint8 red, uint8 green, uint8 blue, uint8 alpha)
{
	SetHoverColor(rgb_color{red, green, blue, alpha});
}

void
KVLinkView::SetEnabled(bool enabled)
{
	bool changed = enabled != fEnabled;
	fEnabled = enabled;
	if (Window() != nullptr && Window()->Lock()) {
		SetHighColor(fEnabled ? fLinkColor : fDisabledColor);
		if (changed)
			Invalidate();
		Window()->Unlock();
	}
}

void
KVLinkView::SetHoverEnabled(bool enabled)
{
	fHoverEnabled = enabled;
}

void
KVLinkView::SetDraggable(bool draggable)
{
	fDraggable = draggable;
}

void
KVLinkView::SetUnderlineThickness(int32 thickness)
{
	fUnderlineThickness = thickness;
}

void
KVLinkView::SetIconSize(icon_size size)
{
	fIconSize = size == B_MINI_ICON ? 16 : 32;
}

void
KVLinkView::AttachedToWindow()
{
	BStringView::AttachedToWindow();
	SetHighColor(fEnabled ? fLinkColor : fDisabledColor);
	if (Parent() != nullptr) {
		SetLowColor(Parent()->ViewColor());
		SetViewColor(Parent()->ViewColor());
	}
}

void
KVLinkView::Draw(BRect)
{
	BRect bounds = Bounds();
	font_height height;
	GetFontHeight(&height);
	float width = StringWidth(Text());
	float x = bounds.left;
	float end = x + width - 2;
	if (Alignment() == B_ALIGN_CENTER) {
		x = bounds.left + (bounds.Width() - width) * 0.5f;
		end = x + width - 2;
	} else if (Alignment() == B_ALIGN_RIGHT) {
		x = bounds.right - width + 1;
		end = bounds.right - 1;
	}
	float underline = bounds.bottom - height.descent;
	if (fEnabled && fUnderlineThickness > 0)
		FillRect(BRect(x, underline, end, underline + fUnderlineThickness - 1));
	DrawString(Text(), BPoint(x, underline - 1));
}

void
KVLinkView::Redraw()
{
	Draw(Bounds());
	Flush();
}

void
KVLinkView::_SetHigh(rgb_color color)
{
	SetHighColor(color);
	Redraw();
}

BRect
KVLinkView::GetTextRect()
{
	BRect bounds = Bounds();
	font_height height;
	GetFontHeight(&height);
	BFont font;
	GetFont(&font);
	const char* strings[1] = {Text()};
	BRect box;
	font.GetBoundingBoxesForStrings(strings, 1, B_SCREEN_METRIC, nullptr, &box);
	// A label that inks nothing still has the font's height, so it can be pressed.
	if (!box.IsValid())
		box = BRect(0, -height.ascent, 0, 0);
	box.bottom += 1;
	float textHeight = box.Height();
	float width = box.Width();
	float bottom = bounds.bottom - height.descent;
	BRect rect(0, bottom - textHeight, width, bottom + fUnderlineThickness + 1);
	float fraction = height.descent - std::floor(height.descent);
	rect.OffsetBy(0, fraction >= 0.5f ? -2 : -1);
	return rect;
}

bool
KVLinkView::_OverText(BPoint where)
{
	return !fDraggedOut && GetTextRect().Contains(where);
}

uint32
KVLinkView::_Buttons() const
{
	int32 buttons = 0;
	if (Window() != nullptr && Window()->CurrentMessage() != nullptr)
		Window()->CurrentMessage()->FindInt32("buttons", &buttons);
	return (uint32)buttons;
}

void
KVLinkView::_ShowLinkCursor(uint32 buttons)
{
	if (buttons == 0)
		SetViewCursor(fLinkCursor, true);
}

void
KVLinkView::_ShowSystemCursor()
{
	SetViewCursor(nullptr, true);
}

void
KVLinkView::MouseDown(BPoint where)
{
	if (!fEnabled || !GetTextRect().Contains(where))
		return;
	_SetHigh(fClickColor);
	fPressed = true;
	SetMouseEventMask(B_POINTER_EVENTS);
	float slack = Bounds().Width() - StringWidth(Text());
	fDragOffset = where;
	if (Alignment() == B_ALIGN_RIGHT)
		fDragOffset.x -= slack;
	else if (Alignment() == B_ALIGN_CENTER)
		fDragOffset.x -= slack * 0.5f;
	if (_Buttons() == B_SECONDARY_MOUSE_BUTTON)
		fPopupPending = true;
}

void
KVLinkView::MouseMoved(BPoint where, uint32 transit, const BMessage*)
{
	if (!fEnabled || Window() == nullptr || !Window()->IsActive())
		return;
	uint32 buttons = _Buttons();
	bool over = _OverText(where);
	if (transit == B_ENTERED_VIEW || transit == B_INSIDE_VIEW) {
		if (!over) {
			if (transit == B_INSIDE_VIEW && !fDraggedOut) {
				_ShowSystemCursor();
				if (fPressed) {
					_SetHigh(fLinkColor);
					if (fDraggable)
						_DoDrag();
				} else if (fHovering) {
					_SetHigh(fLinkColor);
					fHovering = false;
				}
			}
			return;
		}
		_ShowLinkCursor(buttons);
		bool far = std::fabs(where.x - fDragOffset.x) > kDragDistance ||
		           std::fabs(where.y - fDragOffset.y) > kDragDistance;
		if (fPressed && fDraggable && transit == B_INSIDE_VIEW) {
			if (far) {
				_DoDrag();
				_SetHigh(fLinkColor);
			}
		} else if (fPressed && (transit == B_ENTERED_VIEW || !fDraggable)) {
			_SetHigh(fClickColor);
		} else if (!fPressed && fHoverEnabled && buttons == 0) {
			_SetHigh(fHoverColor);
			fHovering = true;
		}
		return;
	}
	if (transit != B_EXITED_VIEW)
		return;
	_ShowSystemCursor();
	if (fPressed && !fDraggedOut) {
		_SetHigh(fLinkColor);
		if (fDraggable)
			_DoDrag();
	} else if (fHovering && buttons == 0) {
		_SetHigh(fLinkColor);
		fHovering = false;
	}
}

void
KVLinkView::MouseUp(BPoint where)
{
	if (!fEnabled)
		return;
	bool inside = GetTextRect().Contains(where);
	if (fPopupPending && inside)
		_ShowContextMenu(where);
	else if (fPressed && inside && !fDraggedOut && !fPopupPending)
		LaunchURL();
	fPressed = false;
	fDraggedOut = false;
	fPopupPending = false;
	if (inside && fHoverEnabled)
		SetHighColor(fHoverColor);
	else if (!fHovering)
		SetHighColor(fLinkColor);
	Redraw();
}

void
KVLinkView::WindowActivated(bool active)
{
	if (!active && fEnabled)
		_SetHigh(fLinkColor);
}

BPopUpMenu*
KVLinkView::CreatePopupMenu()
{
	BPopUpMenu* menu = new BPopUpMenu("KVLinkView Popup", false, false);
	kv_link_kind kind = Kind();
	const char* type = MimeTypeFor(kind);
	entry_ref app;
	if (type != nullptr && be_roster->FindApp(type, &app) == B_OK) {
		BString label(kKindTexts[kind].menuPrefix);
		label << app.name;
		menu->AddItem(new BMenuItem(label.String(), nullptr));
	}
	menu->AddItem(new BMenuItem(kCopyLabel, nullptr));
	return menu;
}

// The menu is synchronous, so it is ours to delete once Go() has returned.
void
KVLinkView::_ShowContextMenu(BPoint where)
{
	std::unique_ptr<BPopUpMenu> menu(CreatePopupMenu());
	BPoint screen = ConvertToScreen(BPoint(where.x, where.y - 6));
	BMenuItem* chosen = menu->Go(screen, false, true, false);
	if (chosen == nullptr) {
		_SetHigh(fLinkColor);
		return;
	}
	BString label(chosen->Label());
	if (label.FindFirst("Open") >= 0 || label.FindFirst("Send") >= 0 ||
	    label.FindFirst("Connect") >= 0) {
		LaunchURL();
	} else if (label.FindFirst("Copy") >= 0) {
		CopyToClipboard();
	}
}

status_t
KVLinkView::LaunchURL()
{
	kv_link_kind kind = Kind();
	const char* type = MimeTypeFor(kind);
	if (type == nullptr)
		return B_BAD_VALUE;
	const char* args[1] = {fLinkURL.String()};
	status_t status = be_roster->Launch(type, 1, args);
	if (status == B_OK || status == B_ALREADY_RUNNING)
		return status;
	_ShowWarning(kind);
	return status;
}

void
KVLinkView::_ShowWarning(kv_link_kind kind)
{
	BAlert* alert = new BAlert(kKindTexts[kind].alertTitle, kKindTexts[kind].alertText, "Ok",
	                           nullptr, nullptr, B_WIDTH_AS_USUAL, B_WARNING_ALERT);
	alert->Go();
}

status_t
KVLinkView::CopyToClipboard()
{
	BClipboard clipboard("system");
	if (!clipboard.Lock())
		return B_ERROR;
	status_t status = B_ERROR;
	clipboard.Clear();
	BMessage* data = clipboard.Data();
	if (data != nullptr) {
		BString text = GetImportantURL();
		data->AddData("text/plain", B_MIME_TYPE, text.String(), text.Length() + 1);
		status = clipboard.Commit();
	}
	clipboard.Unlock();
	return status;
}
