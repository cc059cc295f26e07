// The About window: product name, copyright, credits and a live link to the web site.
// Every about request makes another one; the caller shows it.
#ifndef KV_ABOUT_WINDOW_H
#define KV_ABOUT_WINDOW_H

#include <View.h>
#include <Window.h>

class BBox;
class BStringView;
class KVLinkView;

// The five text lines: product name, copyright line, three credit lines.
extern const char* const kAboutInfo[5];
// Web-site URLs; [0] is the link shown.
extern const char* const kURLInfo[2];

class KVAboutView : public BView
{
public:
	explicit KVAboutView(BRect frame);
	virtual ~KVAboutView();

private:
	void InitView();

	BBox* fBox;
	BStringView* fTitle;
	BStringView* fString1;
	BStringView* fString2;
	BStringView* fString3;
	BStringView* fString4;
	KVLinkView* fLink;
};

class KVAboutWindow : public BWindow
{
public:
	// Only frame.left and frame.top are used; the window is 365 x 204.
	explicit KVAboutWindow(BRect frame);
	virtual ~KVAboutWindow();

private:
	KVAboutView* fAboutView;
};

#endif // KV_ABOUT_WINDOW_H
