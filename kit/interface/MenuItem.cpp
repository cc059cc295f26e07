// BMenuItem: labels, marks, shortcuts and invocation of one menu entry.
#include <MenuItem.h>

#include <Menu.h>
#include <Message.h>
#include <OS.h>

#include <cstring>

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
	if (fSuper != nullptr)
		fSuper->InvalidateLayout();
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
	return BInvoker::Invoke(&copy);
}

void
BMenuItem::GetContentSize(float* width, float* height)
{
	// Measured with the menu's font once menus draw; until then an estimate that keeps
	// layout arithmetic sane.
	if (width != nullptr)
		*width = 7.0f * static_cast<float>(fLabel.size());
	if (height != nullptr)
		*height = 12.0f;
}

void
BMenuItem::TruncateLabel(float maxWidth, char* newLabel)
{
	size_t fits = maxWidth > 0 ? static_cast<size_t>(maxWidth / 7.0f) : 0;
	std::string label = fLabel.substr(0, fits);
	memcpy(newLabel, label.c_str(), label.size() + 1);
}

void
BMenuItem::DrawContent()
{
	if (fSuper == nullptr)
		return;
	fSuper->MovePenTo(ContentLocation());
	fSuper->DrawString(fLabel.c_str());
}

void
BMenuItem::Draw()
{
	DrawContent();
}

void
BMenuItem::Highlight(bool on)
{
	fSelected = on;
}

BPoint
BMenuItem::ContentLocation() const
{
	return BPoint(fFrame.left + 4.0f, fFrame.top + 2.0f);
}

void
BMenuItem::_SetSuper(BMenu* menu)
{
	fSuper = menu;
}
