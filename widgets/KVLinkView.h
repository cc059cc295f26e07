// KVLinkView: a hyperlink label. It draws its text underlined in a link colour, changes
// colour while hovered or pressed, opens its URL in the user's preferred program on a
// click, offers a context menu (open, copy) on a secondary click, and can be dragged out
// to make a bookmark file (web and FTP links) or a person file (e-mail links).
#ifndef KV_LINK_VIEW_H
#define KV_LINK_VIEW_H

#include <Mime.h>
#include <String.h>
#include <StringView.h>

class BBitmap;
class BCursor;
class BList;
class BMessage;
class BNode;
class BPopUpMenu;
struct entry_ref;

// What a link opens with, decided from the start of its URL (case-sensitive).
enum kv_link_kind
{
	KV_LINK_WEB = 0,
	KV_LINK_FTP,
	KV_LINK_EMAIL,
	KV_LINK_OTHER
};

class KVLinkView : public BStringView
{
public:
	// label and url are copied. A URL of no known kind disables the view.
	KVLinkView(BRect frame, const char* name, const char* label, const char* url,
	           uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP, uint32 flags = B_WILL_DRAW);
	virtual ~KVLinkView();

	virtual void MessageReceived(BMessage* message);
	virtual void AttachedToWindow();
	virtual void Draw(BRect updateRect);
	virtual void MouseDown(BPoint where);
	virtual void MouseUp(BPoint where);
	virtual void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage);
	virtual void WindowActivated(bool active);

	// Extra attributes for the files a drag makes; both strings are copied.
	virtual void AddAttribute(const char* name, const char* value);
	virtual bool IsEnabled() const;
	virtual void SetColor(rgb_color color);
	virtual void SetColor(uint8 red, uint8 green, uint8 blue, uint8 alpha = 0);
	virtual void SetClickColor(rgb_color color);
	virtual void SetClickColor(uint8 red, uint8 green, uint8 blue, uint8 alpha = 0);
	virtual void SetDisabledColor(rgb_color color);
	virtual void SetDisabledColor(uint8 red, uint8 green, uint8 blue, uint8 alpha = 0);
	virtual void SetDraggable(bool draggable);
	virtual void SetEnabled(bool enabled);
	virtual void SetHoverColor(rgb_color color);
	virtual void SetHoverColor(uint8 red, uint8 green, uint8 blue, uint8 alpha = 0);
	virtual void SetHoverEnabled(bool enabled);
	virtual void SetIconSize(icon_size size);
	virtual void SetUnderlineThickness(int32 thickness);
	virtual void SetURL(const char* url);

	const char* URL() const { return fLinkURL.String(); }
	kv_link_kind Kind() const { return KindOf(fLinkURL.String()); }
	// The URL as people use it: an e-mail address without "mailto:", else the whole URL.
	BString GetImportantURL() const;

	// Puts GetImportantURL() on the "system" clipboard as "text/plain".
	status_t CopyToClipboard();
	// Starts the preferred program of the link's kind with the URL as its one argument;
	// a warning alert when there is none. B_OK or B_ALREADY_RUNNING on success.
	status_t LaunchURL();
	// The context menu (caller owns it). Its first item names the program that would
	// open the link, when there is one.
	BPopUpMenu* CreatePopupMenu();

	// Where the pointer counts as over the link, in view coordinates.
	BRect GetTextRect();
	// The URL's extent, which sizes a bookmark drag's image.
	BRect GetURLRect();

	static kv_link_kind KindOf(const char* url);
	static bool IsHTMLLink(const char* url);
	static bool IsFTPLink(const char* url);
	static bool IsEmailLink(const char* url);
	// The MIME type whose preferred program opens links of this kind (NULL for other).
	static const char* MimeTypeFor(kv_link_kind kind);
	// A name that is safe as a file name: no "/", not empty, not "." or "..", at most
	// 255 bytes (cut on a character boundary). fallback stands in for an empty name.
	static BString SafeFileName(const char* name, const char* fallback);
	// The grab point's x in the drag image, scaled from the press offset on the text.
	// A hit rectangle without width grabs the image at its left edge.
	static float DragGrabX(float pressX, float hitWidth, float imageRight);

	// Writes a bookmark (web, FTP) or person (e-mail) file's type and attributes into
	// the file named by a drop target: an existing, empty, regular file that is not a
	// link. Exposed so that a reply can be handled without a drag.
	status_t WriteLinkFile(const entry_ref& directory, const char* name);

protected:
	void Redraw();

private:
	void _DoDrag();
	BMessage* _MakeDragMessage(bool person);
	BBitmap* _MakeDragImage(bool person, BRect* imageFrame);
	status_t _WriteAttributes(BNode* node, bool person);
	void _ShowWarning(kv_link_kind kind);
	void _ShowContextMenu(BPoint where);
	void _SetHigh(rgb_color color);
	bool _OverText(BPoint where);
	void _ShowLinkCursor(uint32 buttons);
	void _ShowSystemCursor();
	uint32 _Buttons() const;
	void _Released();

	BString fLinkURL;
	rgb_color fLinkColor;
	rgb_color fClickColor;
	rgb_color fHoverColor;
	rgb_color fDisabledColor;
	bool fEnabled;
	bool fHoverEnabled;
	bool fDraggable;
	int32 fUnderlineThickness;
	int32 fIconSize;
	bool fPressed;
	bool fHovering;
	bool fDraggedOut;
	bool fPopupPending;
	BCursor* fLinkCursor;
	BPoint fDragOffset;
	BList* fAttributes;
};

#endif // KV_LINK_VIEW_H
