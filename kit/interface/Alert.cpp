// BAlert: layout of icon, text and buttons, keyboard shortcuts, and the blocking and
// asynchronous Go().
#include "Alert.h"

#include "ApplicationPrivate.h"

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>

#include <Button.h>
#include <Invoker.h>
#include <Message.h>
#include <Screen.h>
#include <TextView.h>

namespace BPrivate {

// The answer a blocking Go() waits for; shared, because the alert deletes itself.
struct AlertResult
{
	std::mutex lock;
	std::condition_variable changed;
	int32 which = -1;
	bool done = false;

	void Set(int32 value)
	{
		std::lock_guard<std::mutex> guard(lock);
		if (done)
			return;
		which = value;
		done = true;
		changed.notify_all();
	}
};

} // namespace BPrivate

namespace {

const uint32 kButtonPressed = '_ALB';
const float kMinimumWidth = 310;
const float kStripeWidth = 30;
const float kIconLeft = 18;
const float kIconSize = 32;
const float kTextLeft = 55;
const float kMargin = 10;
const float kTextTop = 6;
const float kButtonSpacing = 10;
const float kOffsetSpacing = 60;

// The background: a darker stripe at the left with the alert type's icon over its edge.
class AlertBackground : public BView
{
public:
	AlertBackground(BRect frame, alert_type type)
	    : BView(frame, "_alert_background_", B_FOLLOW_ALL, B_WILL_DRAW), fType(type)
	{
		SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	}

	void Draw(BRect) override
	{
		if (fType == B_EMPTY_ALERT)
			return;
		SetHighColor(tint_color(ViewColor(), B_DARKEN_1_TINT));
		FillRect(BRect(0, 0, kStripeWidth - 1, Bounds().bottom));
		_DrawIcon(BRect(kIconLeft, kTextTop, kIconLeft + kIconSize - 1, kTextTop + kIconSize - 1));
	}

private:
	void _DrawIcon(BRect icon)
	{
		BPoint centre((icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2);
		switch (fType) {
		case B_INFO_ALERT:
			SetHighColor(40, 90, 200);
			FillEllipse(icon);
			SetHighColor(255, 255, 255);
			FillRect(BRect(centre.x - 2, icon.top + 6, centre.x + 2, icon.top + 9));
			FillRect(BRect(centre.x - 2, icon.top + 12, centre.x + 2, icon.bottom - 5));
			break;
		case B_IDEA_ALERT:
			SetHighColor(250, 220, 60);
			FillEllipse(icon.InsetByCopy(3, 0).OffsetByCopy(0, -3));
			SetHighColor(120, 120, 120);
			FillRect(BRect(centre.x - 5, icon.bottom - 6, centre.x + 5, icon.bottom));
			break;
		case B_WARNING_ALERT:
			SetHighColor(250, 200, 0);
			FillTriangle(BPoint(centre.x, icon.top), icon.LeftBottom(), icon.RightBottom());
			SetHighColor(0, 0, 0);
			FillRect(BRect(centre.x - 1, icon.top + 9, centre.x + 1, icon.bottom - 9));
			FillRect(BRect(centre.x - 1, icon.bottom - 5, centre.x + 1, icon.bottom - 3));
			break;
		case B_STOP_ALERT:
			SetHighColor(180, 20, 20);
			FillEllipse(icon);
			SetHighColor(255, 255, 255);
			FillRect(BRect(icon.left + 6, centre.y - 3, icon.right - 6, centre.y + 3));
			break;
		case B_EMPTY_ALERT:
			break;
		}
	}

	alert_type fType;
};

} // namespace

BAlert::BAlert(const char* title, const char* text, const char* button0, const char* button1,
               const char* button2, button_width width, alert_type type)
    : BAlert(title, text, button0, button1, button2, width, B_EVEN_SPACING, type)
{}

BAlert::BAlert(const char* title, const char* text, const char* button0, const char* button1,
               const char* button2, button_width width, button_spacing spacing, alert_type type)
    : BWindow(BRect(0, 0, kMinimumWidth - 1, 99), title, B_MODAL_WINDOW_LOOK,
              B_MODAL_APP_WINDOW_FEEL,
              // A click on OK answers even when another window holds the focus.
              B_NOT_RESIZABLE | B_NOT_CLOSABLE | B_NOT_ZOOMABLE | B_NOT_MINIMIZABLE |
                      B_ASYNCHRONOUS_CONTROLS | B_WILL_ACCEPT_FIRST_CLICK),
      fBackground(nullptr), fTextView(nullptr), fButtons{nullptr, nullptr, nullptr}, fKeys{0, 0, 0},
      fButtonCount(0), fType(type), fInvoker(nullptr),
      fResult(std::make_shared<BPrivate::AlertResult>()), fFinished(false)
{
	// A button cannot follow a missing one: "OK", null, "Cancel" has two buttons.
	const char* given[3] = {button0, button1, button2};
	const char* labels[3] = {nullptr, nullptr, nullptr};
	for (const char* label : given) {
		if (label != nullptr)
			labels[fButtonCount++] = label;
	}
	if (fButtonCount == 0)
		labels[fButtonCount++] = "OK";
	_Init(text, labels, width, spacing, type);
}

BAlert::~BAlert()
{
	// A blocking Go() must not wait for a window that is gone.
	fResult->Set(-1);
	delete fInvoker;
}

void
BAlert::_Init(const char* text, const char* const labels[3], button_width width,
              button_spacing spacing, alert_type type)
{
	fBackground = new AlertBackground(Bounds(), type);
	AddChild(fBackground);
	// The window takes its size and place once, in Go(), when the text is final.
	float windowWidth = _LayoutButtons(labels, width, spacing);
	fBackground->ResizeTo(windowWidth - 1, Bounds().Height());

	float left = type == B_EMPTY_ALERT ? kMargin : kTextLeft;
	float textWidth = windowWidth - left - kMargin;
	fTextView = new BTextView(BRect(left, kTextTop, left + textWidth - 1, kTextTop + 20), "_tv_",
	                          BRect(0, 0, textWidth - 1, 20), B_FOLLOW_LEFT | B_FOLLOW_TOP,
	                          B_WILL_DRAW);
	fTextView->SetViewColor(fBackground->ViewColor());
	fTextView->SetLowColor(fBackground->ViewColor());
	fTextView->SetText(text);
	fTextView->MakeEditable(false);
	fTextView->MakeSelectable(false);
	fTextView->SetWordWrap(true);
	fBackground->AddChild(fTextView);

	if (fButtonCount > 1)
		fKeys[0] = B_ESCAPE;
	fButtons[fButtonCount - 1]->MakeDefault(true);
}

// Creates the buttons at the bottom right, and returns the window width they need.
float
BAlert::_LayoutButtons(const char* const labels[3], button_width width, button_spacing spacing)
{
	float widths[3] = {0, 0, 0};
	float widest = 0;
	float height = 0;
	for (int32 index = 0; index < fButtonCount; index++) {
		BMessage* message = new BMessage(kButtonPressed);
		message->AddInt32("which", index);
		fButtons[index] = new BButton(BRect(0, 0, 9, 9), labels[index], labels[index], message);
		fButtons[index]->GetPreferredSize(&widths[index], &height);
		if (width == B_WIDTH_FROM_LABEL)
			widths[index] = ceilf(fButtons[index]->StringWidth(labels[index]) + 20);
		widest = std::max(widest, widths[index]);
	}
	float total = 0;
	for (int32 index = 0; index < fButtonCount; index++) {
		if (width == B_WIDTH_FROM_WIDEST)
			widths[index] = widest;
		fButtons[index]->ResizeTo(widths[index] - 1, height - 1);
		total += widths[index] + (index > 0 ? kButtonSpacing : 0);
	}
	if (spacing == B_OFFSET_SPACING && fButtonCount > 1)
		total += kOffsetSpacing - kButtonSpacing;
	float windowWidth = std::max(kMinimumWidth, ceilf(total + kTextLeft + kMargin));
	float x = windowWidth - kMargin;
	for (int32 index = fButtonCount - 1; index >= 0; index--) {
		x -= widths[index];
		fButtons[index]->MoveTo(x, 0);
		x -= kButtonSpacing;
		if (index == 1 && spacing == B_OFFSET_SPACING)
			x -= kOffsetSpacing - kButtonSpacing;
	}
	for (int32 index = 0; index < fButtonCount; index++)
		fBackground->AddChild(fButtons[index]);
	return windowWidth;
}

// Sizes the text view to its text and the window to the text and the buttons.
void
BAlert::_LayoutText(float windowWidth)
{
	float textHeight = fTextView->TextHeight(0, fTextView->CountLines() - 1);
	BRect textFrame = fTextView->Frame();
	fTextView->ResizeTo(textFrame.Width(), std::max(textHeight, 1.0f) - 1);
	fTextView->SetTextRect(BRect(0, 0, textFrame.Width(), textHeight));
	float contentBottom = std::max(kTextTop + textHeight, kTextTop + kIconSize);
	float buttonHeight = fButtons[0]->Bounds().Height() + 1;
	float buttonTop = ceilf(contentBottom + kMargin);
	float windowHeight = buttonTop + buttonHeight + kMargin;
	// Alerts sit a little above the centre of the screen, as on BeOS.
	BRect screen = BScreen(this).Frame();
	MoveTo(floorf(screen.left + (screen.Width() - windowWidth) / 2),
	       floorf(screen.top + (screen.Height() - windowHeight) / 3));
	ResizeTo(windowWidth - 1, windowHeight - 1);
	fBackground->ResizeTo(windowWidth - 1, windowHeight - 1);
	for (int32 index = 0; index < fButtonCount; index++)
		fButtons[index]->MoveTo(fButtons[index]->Frame().left, buttonTop);
}

void
BAlert::SetShortcut(int32 index, char key)
{
	if (index >= 0 && index < fButtonCount)
		fKeys[index] = key;
}

char
BAlert::Shortcut(int32 index) const
{
	return index >= 0 && index < fButtonCount ? fKeys[index] : 0;
}

BButton*
BAlert::ButtonAt(int32 index) const
{
	return index >= 0 && index < fButtonCount ? fButtons[index] : nullptr;
}

// Without a display nobody could see or answer the alert: its text goes to standard
// error instead, so that the message (often the last words of a program that is about
// to stop) is not lost.
bool
BAlert::_ShowWithoutDisplay()
{
	if (BScreen(this).IsValid())
		return false;
	fprintf(stderr, "%s%s%s\n", Title(), Title()[0] != '\0' ? ": " : "", fTextView->Text());
	fflush(stderr);
	Quit();
	return true;
}

// An alert asked for while the program quits would outlive the windows the quit closed
// (and hold up the program's end): it answers at once, as a closed alert does.
bool
BAlert::_DropWhileQuitting()
{
	if (!BPrivate::IsQuitting())
		return false;
	Quit();
	return true;
}

int32
BAlert::Go()
{
	if (_ShowWithoutDisplay() || _DropWhileQuitting())
		return -1;
	std::shared_ptr<BPrivate::AlertResult> result = fResult;
	_LayoutText(fBackground->Bounds().Width() + 1);
	Show();
	std::unique_lock<std::mutex> lock(result->lock);
	result->changed.wait(lock, [&] { return result->done; });
	return result->which;
}

status_t
BAlert::Go(BInvoker* invoker)
{
	fInvoker = invoker;
	if (_ShowWithoutDisplay() || _DropWhileQuitting())
		return B_OK;
	_LayoutText(fBackground->Bounds().Width() + 1);
	Show();
	return B_OK;
}

void
BAlert::DispatchMessage(BMessage* message, BHandler* handler)
{
	const char* bytes = nullptr;
	if (message->what == B_KEY_DOWN && message->FindString("bytes", &bytes) == B_OK &&
	    bytes != nullptr && bytes[0] != '\0' && bytes[1] == '\0') {
		for (int32 index = 0; index < fButtonCount; index++) {
			if (fKeys[index] != 0 && fKeys[index] == bytes[0] && fButtons[index]->IsEnabled()) {
				fButtons[index]->Invoke();
				return;
			}
		}
	}
	BWindow::DispatchMessage(message, handler);
}

void
BAlert::MessageReceived(BMessage* message)
{
	int32 which = -1;
	if (message->what == kButtonPressed && message->FindInt32("which", &which) == B_OK) {
		_Finish(which);
		return;
	}
	BWindow::MessageReceived(message);
}

void
BAlert::_Finish(int32 which)
{
	// A second press queued behind the first must not answer again.
	if (fFinished)
		return;
	fFinished = true;
	if (fInvoker != nullptr) {
		BMessage* model = fInvoker->Message();
		BMessage copy;
		if (model != nullptr)
			copy = *model;
		copy.AddInt32("which", which);
		fInvoker->Invoke(&copy);
	}
	fResult->Set(which);
	Quit();
}
