// The settings store: defaults, typed access with fallbacks, and a settings file that is
// never left half-written or thrown away unread.
#include "KVSettings.h"

#include <cstdio>

#include <Entry.h>
#include <File.h>
#include <Message.h>
#include <String.h>

KVSettings* gSettings = nullptr;

namespace {

const int32 kDefaultBrowser = kBrowserNetPositive;
const BPoint kDefaultPos(30, 30);
const int32 kDefaultAlign = kAlignVertical;
const bool kDefaultShowURL = true;
const bool kDefaultOnTop = false;
const int32 kDefaultHotKey = kHotKeyWindows;
// The constructor writes alpha 0; a missing field reads as opaque.
const rgb_color kDefaultColor = {216, 216, 216, 0};
const rgb_color kFallbackColor = {216, 216, 216, 255};

} // namespace

KVSettings::KVSettings(BPath path) : fMessage(new BMessage()), fKeepUnreadable(false)
{
	fMessage->AddInt32("browser", kDefaultBrowser);
	fMessage->AddPoint("pos", kDefaultPos);
	fMessage->AddInt32("align", kDefaultAlign);
	fMessage->AddBool("url", kDefaultShowURL);
	fMessage->AddBool("ontop", kDefaultOnTop);
	fMessage->AddInt32("hotkey", kDefaultHotKey);
	fMessage->AddData("color", B_RGB_COLOR_TYPE, &kDefaultColor, sizeof(kDefaultColor), true, 1);
	fPath = path;
}

KVSettings::~KVSettings()
{
	delete fMessage;
}

bool
KVSettings::Load()
{
	if (fPath.InitCheck() != B_OK)
		return false;
	BFile file(fPath.Path(), B_READ_ONLY);
	status_t status = file.InitCheck();
	if (status == B_OK)
		status = fMessage->Unflatten(&file);
	if (status == B_OK)
		return true;
	// A file that is there but unusable is kept: Save moves it aside before replacing it.
	BEntry entry(fPath.Path());
	if (entry.Exists()) {
		fKeepUnreadable = true;
		fprintf(stderr,
		        "Kestrovane: cannot read the settings file %s (%s); it will be kept as %s.bad\n",
		        fPath.Path(), strerror_be(status), fPath.Path());
	}
	return false;
}

void
KVSettings::Save()
{
	if (fPath.InitCheck() != B_OK)
		return;
	BString path(fPath.Path());
	BString temporary(path);
	temporary << ".tmp";
	BEntry temporaryEntry(temporary.String());
	if (!_WriteTo(temporary.String())) {
		temporaryEntry.Remove();
		return;
	}
	if (fKeepUnreadable)
		_SetAsideUnreadable(path.String());
	if (temporaryEntry.Rename(path.String(), true) != B_OK)
		temporaryEntry.Remove();
}

// Writes the whole message to path and flushes it to the disk; false on any failure.
bool
KVSettings::_WriteTo(const char* path) const
{
	BFile file(path, B_WRITE_ONLY | B_CREATE_FILE | B_ERASE_FILE);
	if (file.InitCheck() != B_OK)
		return false;
	return fMessage->Flatten(&file) == B_OK && file.Sync() == B_OK;
}

void
KVSettings::_SetAsideUnreadable(const char* path)
{
	BString aside(path);
	aside << ".bad";
	BEntry entry(path);
	if (entry.Exists() && entry.Rename(aside.String(), true) == B_OK)
		fKeepUnreadable = false;
}

// #pragma mark - getters

int32
KVSettings::GetHotKey() const
{
	int32 hotKey;
	if (fMessage->FindInt32("hotkey", &hotKey) != B_OK)
		return kDefaultHotKey;
	return hotKey;
}

bool
KVSettings::GetOnTop() const
{
	bool onTop;
	if (fMessage->FindBool("ontop", &onTop) != B_OK)
		return kDefaultOnTop;
	return onTop;
}

const rgb_color*
KVSettings::GetColor() const
{
	const void* data;
	ssize_t size;
	if (fMessage->FindData("color", B_RGB_COLOR_TYPE, &data, &size) != B_OK ||
	    size != sizeof(rgb_color))
		return &kFallbackColor;
	return static_cast<const rgb_color*>(data);
}

bool
KVSettings::GetShowURL() const
{
	bool showURL;
	if (fMessage->FindBool("url", &showURL) != B_OK)
		return kDefaultShowURL;
	return showURL;
}

BPoint
KVSettings::GetPos() const
{
	BPoint pos;
	if (fMessage->FindPoint("pos", &pos) != B_OK)
		return kDefaultPos;
	return pos;
}

KVAlign
KVSettings::GetAlign() const
{
	int32 align;
	if (fMessage->FindInt32("align", &align) != B_OK)
		return (KVAlign)kDefaultAlign;
	return (KVAlign)align;
}

KVBrowser
KVSettings::GetBrowser() const
{
	int32 browser;
	if (fMessage->FindInt32("browser", &browser) != B_OK)
		return (KVBrowser)kDefaultBrowser;
	return (KVBrowser)browser;
}

// #pragma mark - setters

void
KVSettings::_SetInt32(const char* name, int32 value)
{
	if (fMessage->ReplaceInt32(name, value) == B_NAME_NOT_FOUND)
		fMessage->AddInt32(name, value);
}

void
KVSettings::_SetBool(const char* name, bool value)
{
	if (fMessage->ReplaceBool(name, value) == B_NAME_NOT_FOUND)
		fMessage->AddBool(name, value);
}

void
KVSettings::SetHotKey(int32 hotKey)
{
	_SetInt32("hotkey", hotKey);
}

void
KVSettings::SetOnTop(bool onTop)
{
	_SetBool("ontop", onTop);
}

void
KVSettings::SetColor(rgb_color color)
{
	if (fMessage->ReplaceData("color", B_RGB_COLOR_TYPE, &color, sizeof(color)) == B_NAME_NOT_FOUND)
		fMessage->AddData("color", B_RGB_COLOR_TYPE, &color, sizeof(color), true, 1);
}

void
KVSettings::SetShowURL(bool showURL)
{
	_SetBool("url", showURL);
}

void
KVSettings::SetPos(BPoint pos)
{
	if (fMessage->ReplacePoint("pos", pos) == B_NAME_NOT_FOUND)
		fMessage->AddPoint("pos", pos);
}

void
KVSettings::SetAlign(KVAlign align)
{
	_SetInt32("align", align);
}

void
KVSettings::SetBrowser(KVBrowser browser)
{
	_SetInt32("browser", browser);
}
