// A small program of the kit: a window whose view draws a bevel, a label and a cross that
// follows the mouse. Written as plain BeOS code.
#include <Application.h>
#include <Font.h>
#include <InterfaceDefs.h>
#include <View.h>
#include <Window.h>

namespace {

class FollowView : public BView
{
public:
	FollowView(BRect frame)
	    : BView(frame, "follow_view", B_FOLLOW_ALL, B_WILL_DRAW), fMouse(-10, -10)
	{
		SetViewColor(216, 216, 216);
	}

	void Draw(BRect) override
	{
		BRect bounds = Bounds();
		rgb_color base = ViewColor();
		SetHighColor(tint_color(base, B_LIGHTEN_MAX_TINT));
		StrokeLine(bounds.LeftBottom(), bounds.LeftTop());
		StrokeLine(bounds.RightTop());
		SetHighColor(tint_color(base, B_DARKEN_3_TINT));
		StrokeLine(bounds.RightBottom());
		StrokeLine(bounds.LeftBottom());

		SetFont(be_bold_font);
		SetHighColor(0, 0, 0);
		DrawString("Move the mouse here", BPoint(12, 24));
		SetHighColor(200, 0, 0);
		StrokeLine(fMouse - BPoint(6, 0), fMouse + BPoint(6, 0));
		StrokeLine(fMouse - BPoint(0, 6), fMouse + BPoint(0, 6));
	}

	void MouseMoved(BPoint where, uint32 transit, const BMessage*) override
	{
		Invalidate(BRect(fMouse - BPoint(6, 6), fMouse + BPoint(6, 6)));
		fMouse = transit == B_EXITED_VIEW ? BPoint(-10, -10) : where;
		Invalidate(BRect(fMouse - BPoint(6, 6), fMouse + BPoint(6, 6)));
	}

private:
	BPoint fMouse;
};

class DemoWindow : public BWindow
{
public:
	DemoWindow()
	    : BWindow(BRect(100, 100, 419, 299), "Display demo", B_TITLED_WINDOW_LOOK,
	              B_NORMAL_WINDOW_FEEL, B_NOT_ZOOMABLE)
	{
		AddChild(new FollowView(Bounds()));
	}

	bool QuitRequested() override
	{
		be_app->PostMessage(B_QUIT_REQUESTED);
		return true;
	}
};

} // namespace

int
main()
{
	BApplication application("application/x-vnd.Kestrovane-DisplayDemo");
	(new DemoWindow())->Show();
	application.Run();
	return 0;
}
