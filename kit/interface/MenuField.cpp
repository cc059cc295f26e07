// BMenuField: the label, and the one-title menu bar right of the divider whose title
// follows the marked item of the field's menu.
#include <MenuField.h>

#include <Menu.h>
#include <MenuBar.h>
#include <MenuItem.h>

#include <algorithm>
#include <cmath>

namespace {

const float kLabelGap = 6.0f;

} // namespace

BMenuField::BMenuField(BRect frame, const char* name, const char* label, BMenu* menu,
                       uint32 resizingMode, uint32 flags)
    : BView(frame, name, resizingMode, flags | B_WILL_DRAW), fLabel(label != nullptr ? label : ""),
      fMenu(menu), fMenuBar(nullptr), fDivider(0)
{
	SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	SetLowColor(ViewColor());
	fDivider = fLabel.empty() ? 0 : ceilf(StringWidth(fLabel.c_str()) + kLabelGap);
	fMenuBar = new BMenuBar(BRect(fDivider, 0, frame.Width(), frame.Height()), "_mc_mb_",
	                        B_FOLLOW_LEFT | B_FOLLOW_TOP, B_ITEMS_IN_ROW, false);
	if (fMenu != nullptr) {
		fMenuBar->AddItem(fMenu);
		// The title reads the marked item from the start, not only after a choice.
		BMenuItem* marked = fMenu->FindMarked();
		if (fMenu->IsLabelFromMarked() && marked != nullptr)
			fMenu->Superitem()->SetLabel(marked->Label());
	}
	AddChild(fMenuBar);
}

BMenuField::BMenuField(BRect frame, const char* name, const char* label, BMenu* menu, bool,
                       uint32 resizingMode, uint32 flags)
    : BMenuField(frame, name, label, menu, resizingMode, flags)
{}

BMenuField::~BMenuField()
{}

void
BMenuField::Draw(BRect)
{
	if (fLabel.empty())
		return;
	font_height metrics;
	GetFontHeight(&metrics);
	BRect bounds = Bounds();
	float baseline = floorf((bounds.top + bounds.bottom + metrics.ascent - metrics.descent) / 2);
	SetHighColor(IsEnabled() ? ui_color(B_PANEL_TEXT_COLOR)
	                         : tint_color(ViewColor(), B_DISABLED_LABEL_TINT));
	DrawString(fLabel.c_str(), BPoint(0, baseline));
}

void
BMenuField::AttachedToWindow()
{
	_PlaceMenuBar();
	BView::AttachedToWindow();
}

void
BMenuField::GetPreferredSize(float* width, float* height)
{
	float barWidth = 0;
	float barHeight = 0;
	fMenuBar->GetPreferredSize(&barWidth, &barHeight);
	if (width != nullptr)
		*width = fDivider + barWidth;
	if (height != nullptr)
		*height = barHeight;
}

void
BMenuField::SetLabel(const char* label)
{
	fLabel = label != nullptr ? label : "";
	Invalidate();
}

void
BMenuField::SetDivider(float divider)
{
	fDivider = divider;
	_PlaceMenuBar();
	Invalidate();
}

void
BMenuField::SetEnabled(bool enabled)
{
	if (fMenu != nullptr)
		fMenu->SetEnabled(enabled);
	fMenuBar->Invalidate();
	Invalidate();
}

bool
BMenuField::IsEnabled() const
{
	return fMenu == nullptr || fMenu->IsEnabled();
}

void
BMenuField::_PlaceMenuBar()
{
	BRect bounds = Bounds();
	fMenuBar->MoveTo(fDivider, 0);
	fMenuBar->ResizeTo(std::max(0.0f, bounds.right - fDivider), bounds.Height());
}
