// BMenuItem: labels, marks, shortcuts, invocation and drawing of one menu entry.
#include <MenuItem.h>

#include <Menu.h>
#include <Message.h>
#include <OS.h>

#include <Font.h>
#include <InterfaceDefs.h>
#include <String.h>

#include <cctype>
#include <cmath>
#include <cstring>
#include <vector>

BMenuItem::BMenuItem(const char* label, BMessage* message, char shortcut, uint32 modifiers)
    : BInvoker(message, nullptr), fLabel(label != nullptr ? label : ""), fSubmenu(nullptr),
      fSuper(nullptr), fModifiers(shortcut != 0 ? modifiers | B_COMMAND_KEY : 0),
      fShortcut(shortcut), fTrigger(0), fEnabled(true), fMarked(false), fSelected(false)
{}

BMenuItem::BMenuItem(BMenu* menu, BMessage* message)
    : BInvoker(message, nullptr),
      fLabel(menu != nullptr && menu->Name() != nullptr ? menu->Name() : ""), fSubmenu(menu),
      fSuper(nullptr), fModifiers(0), fShortcut(0), fTrigger(0), fEnabled(true), fMarked(false),
      fSelected(false)
{
	if (fSubmenu != nullptr)
		fSubmenu->_SetSuperitem(this);
}

BMenuItem::~BMenuItem()
{
	if (fSuper != nullptr)
		fSuper->RemoveItem(this);
	delete fSubmenu;
}

void
BMenuItem::SetLabel(const char* label)
{
	fLabel = label != nullptr ? label : "";
	if (fSuper == nullptr)
		return;
	fSuper->InvalidateLayout();
	// A title that shows the marked item (a menu field's) follows its new label.
	if (fMarked && fSuper->IsLabelFromMarked() && fSuper->Superitem() != nullptr)
		fSuper->Superitem()->SetLabel(fLabel.c_str());
}

void
BMenuItem::SetEnabled(bool enabled)
{
	fEnabled = enabled;
	if (fSubmenu != nullptr)
		fSubmenu->SetEnabled(enabled);
}

void
BMenuItem::SetMarked(bool marked)
{
	fMarked = marked;
	if (marked && fSuper != nullptr)
		fSuper->_ItemMarked(this);
}

void
BMenuItem::SetTrigger(char trigger)
{
	fTrigger = trigger;
}

void
BMenuItem::SetShortcut(char shortcut, uint32 modifiers)
{
	fShortcut = shortcut;
	fModifiers = shortcut != 0 ? modifiers | B_COMMAND_KEY : 0;
}

bool
BMenuItem::IsEnabled() const
{
	if (fSubmenu != nullptr)
		return fSubmenu->IsEnabled();
	return fEnabled && (fSuper == nullptr || fSuper->IsEnabled());
}

char
BMenuItem::Shortcut(uint32* modifiers) const
{
	if (modifiers != nullptr)
		*modifiers = fModifiers;
	return fShortcut;
}

status_t
BMenuItem::Invoke(BMessage* message)
{
	if (!IsEnabled())
		return B_ERROR;
	if (fSuper != nullptr && fSuper->IsRadioMode())
		SetMarked(true);
	BMessage* source = message != nullptr ? message : Message();
	if (source == nullptr)
		return B_BAD_VALUE;
	BMessage copy(*source);
	copy.AddInt64("when", system_time());
	copy.AddPointer("source", this);
	copy.AddInt32("index", fSuper != nullptr ? fSuper->IndexOf(this) : -1);
	// Without a target of its own the item speaks to the window its menu belongs to.
	if (Messenger() == BMessenger() && fSuper != nullptr)
		return fSuper->_HoldingWindow().SendMessage(&copy, HandlerForReply(), Timeout());
	return BInvoker::Invoke(&copy);
}

namespace {

// Room at the left of a column item for its mark, and at the right edge.
const float kMarkWidth = 18.0f;
const float kRightMargin = 8.0f;
// Room around the label of an item in a row (a menu bar).
const float kRowMargin = 8.0f;
const float kShortcutGap = 16.0f;
const float kArrowWidth = 14.0f;

bool
InRow(const BMenu* menu)
{
	return menu != nullptr && menu->Layout() == B_ITEMS_IN_ROW;
}

} // namespace

void
BMenuItem::GetContentSize(float* width, float* height)
{
	BFont font(be_plain_font);
	if (fSuper != nullptr)
		fSuper->GetFont(&font);
	font_height metrics;
	font.GetHeight(&metrics);
	if (width != nullptr)
		*width = font.StringWidth(fLabel.c_str());
	if (height != nullptr)
		*height = ceilf(metrics.ascent + metrics.descent);
}

void
BMenuItem::TruncateLabel(float maxWidth, char* newLabel)
{
	BFont font(be_plain_font);
	if (fSuper != nullptr)
		fSuper->GetFont(&font);
	BString label(fLabel.c_str());
	font.TruncateString(&label, B_TRUNCATE_END, maxWidth);
	memcpy(newLabel, label.String(), static_cast<size_t>(label.Length()) + 1);
}

// The label at the content location, its baseline one ascent below, in the colours the
// item's Draw() chose.
void
BMenuItem::DrawContent()
{
	if (fSuper == nullptr)
		return;
	font_height metrics;
	fSuper->GetFontHeight(&metrics);
	BPoint where = ContentLocation();
	BPoint baseline(where.x, where.y + ceilf(metrics.ascent));
	fSuper->DrawString(fLabel.c_str(), baseline);
	_DrawTrigger(baseline);
}

// Underlines the first character of the label that is the item's trigger; menu bars show
// none, their titles open with the mouse or Command shortcuts.
void
BMenuItem::_DrawTrigger(BPoint baseline)
{
	if (!fSuper->AreTriggersEnabled() || InRow(fSuper))
		return;
	int32 index = fSuper->IndexOf(this);
	std::vector<char> triggers = fSuper->_Triggers();
	if (index < 0 || triggers[index] == 0)
		return;
	for (size_t i = 0; i < fLabel.size(); i++) {
		if (tolower(static_cast<unsigned char>(fLabel[i])) != triggers[index])
			continue;
		float left = baseline.x + fSuper->StringWidth(fLabel.c_str(), static_cast<int32>(i));
		float right = left + fSuper->StringWidth(fLabel.c_str() + i, 1) - 1;
		fSuper->StrokeLine(BPoint(left, baseline.y + 2), BPoint(right, baseline.y + 2));
		return;
	}
}

void
BMenuItem::Draw()
{
	if (fSuper == nullptr)
		return;
	bool enabled = IsEnabled();
	bool highlighted = fSelected && enabled;
	rgb_color background =
	        ui_color(highlighted ? B_MENU_SELECTION_BACKGROUND_COLOR : B_MENU_BACKGROUND_COLOR);
	fSuper->SetLowColor(background);
	fSuper->SetHighColor(background);
	fSuper->FillRect(fFrame);
	rgb_color text =
	        ui_color(highlighted ? B_MENU_SELECTED_ITEM_TEXT_COLOR : B_MENU_ITEM_TEXT_COLOR);
	if (!enabled)
		text = tint_color(background, B_DISABLED_LABEL_TINT);
	fSuper->SetHighColor(text);
	if (fMarked)
		_DrawMark();
	DrawContent();
	fSuper->SetHighColor(text);
	_DrawTrailing();
}

void
BMenuItem::Highlight(bool on)
{
	if (fSelected == on)
		return;
	fSelected = on;
	if (fSuper != nullptr && fSuper->Window() != nullptr)
		fSuper->Invalidate(fFrame);
}

BPoint
BMenuItem::ContentLocation() const
{
	float left = InRow(fSuper) ? kRowMargin : kMarkWidth;
	return BPoint(fFrame.left + left, fFrame.top + 2.0f);
}

float
BMenuItem::_FrameWidth(float contentWidth) const
{
	if (InRow(fSuper))
		return contentWidth + 2 * kRowMargin;
	float width = kMarkWidth + contentWidth + kRightMargin;
	std::string shortcut = _ShortcutLabel();
	if (!shortcut.empty() && fSuper != nullptr)
		width += kShortcutGap + fSuper->StringWidth(shortcut.c_str());
	if (fSubmenu != nullptr)
		width += kArrowWidth;
	return width;
}

std::string
BMenuItem::_ShortcutLabel() const
{
	if (fShortcut == 0)
		return std::string();
	std::string label;
	if ((fModifiers & B_CONTROL_KEY) != 0)
		label += "Ctrl+";
	if ((fModifiers & B_SHIFT_KEY) != 0)
		label += "Shift+";
	label += "Alt+";
	label += static_cast<char>(toupper(static_cast<unsigned char>(fShortcut)));
	return label;
}

// A tick in the mark column.
void
BMenuItem::_DrawMark()
{
	float x = fFrame.left + 5.0f;
	float y = floorf((fFrame.top + fFrame.bottom) / 2.0f);
	fSuper->SetPenSize(2.0f);
	fSuper->StrokeLine(BPoint(x, y), BPoint(x + 3.0f, y + 3.0f));
	fSuper->StrokeLine(BPoint(x + 3.0f, y + 3.0f), BPoint(x + 9.0f, y - 4.0f));
	fSuper->SetPenSize(1.0f);
}

// The shortcut, right-aligned, and the arrow of a submenu at the right edge.
void
BMenuItem::_DrawTrailing()
{
	if (InRow(fSuper))
		return;
	float right = fFrame.right - kRightMargin;
	if (fSubmenu != nullptr) {
		float middle = floorf((fFrame.top + fFrame.bottom) / 2.0f);
		fSuper->FillTriangle(BPoint(right - 4.0f, middle - 4.0f),
		                     BPoint(right - 4.0f, middle + 4.0f), BPoint(right, middle));
		right -= kArrowWidth;
	}
	std::string shortcut = _ShortcutLabel();
	if (shortcut.empty())
		return;
	font_height metrics;
	fSuper->GetFontHeight(&metrics);
	float width = fSuper->StringWidth(shortcut.c_str());
	fSuper->DrawString(shortcut.c_str(),
	                   BPoint(right - width, fFrame.top + 2.0f + ceilf(metrics.ascent)));
}

void
BMenuItem::_SetSuper(BMenu* menu)
{
	fSuper = menu;
}
