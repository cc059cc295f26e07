// The About window and its view: the texts in a box, two credit lines below it, and a
// link to the web site that can be clicked, right-clicked or dragged out as a bookmark.
#include "widgets/KVAboutWindow.h"

#include <Box.h>
#include <Font.h>
#include <StringView.h>

#include "widgets/KVLinkView.h"

const char* const kAboutInfo[5] = {
        "Kestrovane",
        "Copyright 2026 The Kestrovane Developers",
        "Bookmarks at your fingertips, one digit away",
        "Built on the BeOS API, drawn on Linux by the kit",
        "Thanks to everyone who filed a bookmark",
};

const char* const kURLInfo[2] = {
        "http://kestrovane.org",
        "http://kestrovane.org/help",
};

namespace {

const float kAboutWidth = 365;
const float kAboutHeight = 204;
const uint32 kTextFlags = B_WILL_DRAW;
const uint32 kTextFollow = B_FOLLOW_LEFT | B_FOLLOW_TOP;

BStringView*
MakeCentredText(BRect frame, const char* name, const char* text)
{
	BStringView* view = new BStringView(frame, name, text, kTextFollow, kTextFlags);
	view->SetAlignment(B_ALIGN_CENTER);
	return view;
}

} // namespace

KVAboutView::KVAboutView(BRect frame)
    : BView(frame, "kv_about_view", B_FOLLOW_ALL, B_WILL_DRAW), fBox(nullptr), fTitle(nullptr),
      fString1(nullptr), fString2(nullptr), fString3(nullptr), fString4(nullptr), fLink(nullptr)
{
	InitView();
}

KVAboutView::~KVAboutView()
{}

void
KVAboutView::InitView()
{
	SetViewColor(216, 216, 216, 255);
	fBox = new BBox(BRect(25, 20, 294, 128), "kv_about_view_box", kTextFollow,
	                B_WILL_DRAW | B_FRAME_EVENTS | B_NAVIGABLE_JUMP, B_FANCY_BORDER);
	AddChild(fBox);

	fTitle = MakeCentredText(BRect(6, 10, 262, 25), "kv_about_view_title", kAboutInfo[0]);
	fTitle->SetFont(be_bold_font, B_FONT_ALL);
	fBox->AddChild(fTitle);
	fString1 = MakeCentredText(BRect(5, 33, 263, 48), "kv_about_view_string1", kAboutInfo[1]);
	fBox->AddChild(fString1);
	fString2 = MakeCentredText(BRect(5, 52, 263, 67), "kv_about_view_string2", kAboutInfo[2]);
	fBox->AddChild(fString2);
	fString3 = MakeCentredText(BRect(32, 142, 290, 157), "kv_about_view_string3", kAboutInfo[3]);
	AddChild(fString3);
	fString4 = MakeCentredText(BRect(29, 165, 287, 180), "kv_about_view_string4", kAboutInfo[4]);
	AddChild(fString4);

	fLink = new KVLinkView(BRect(86, 78, 194, 93), "kv_about_view_url1", kURLInfo[0], kURLInfo[0],
	                       kTextFollow, kTextFlags);
	fLink->SetAlignment(B_ALIGN_LEFT);
	fBox->AddChild(fLink);
}

KVAboutWindow::KVAboutWindow(BRect frame)
    : BWindow(BRect(frame.left, frame.top, frame.left + kAboutWidth, frame.top + kAboutHeight),
              "About Kestrovane", B_TITLED_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL,
              B_NOT_RESIZABLE | B_NOT_ZOOMABLE | B_NOT_MINIMIZABLE, B_CURRENT_WORKSPACE),
      fAboutView(nullptr)
{
	BRect bounds = Frame();
	fAboutView = new KVAboutView(BRect(0, 0, bounds.Width(), bounds.Height()));
	AddChild(fAboutView);
}

KVAboutWindow::~KVAboutWindow()
{}
