// The user's preferences: one message of named fields, read from the settings file at
// start-up and written back when the program ends.
#ifndef KV_SETTINGS_H
#define KV_SETTINGS_H

#include <GraphicsDefs.h>
#include <Path.h>
#include <Point.h>
#include <SupportDefs.h>

class BMessage;

// Which browser opens bookmarks. Stored as an int32; other values are kept as they are.
enum KVBrowser : int32
{
	kBrowserOpera = 0,
	kBrowserNetPositive = 1
};

// The bar's orientation. Stored as an int32; other values are kept as they are.
enum KVAlign : int32
{
	kAlignHorizontal = 0,
	kAlignVertical = 1
};

inline constexpr const char* kOperaSignature = "application/x-vnd.operasoftware-opera";
inline constexpr const char* kNetPositiveSignature = "application/x-vnd.Be-NPOS";

// Bits of the "hotkey" setting: the modifier keys that start a hot-key sequence.
enum
{
	kHotKeyAlt = 0x01,
	kHotKeyShift = 0x02,
	kHotKeyControl = 0x04,
	kHotKeyWindows = 0x08,
	kHotKeyMenu = 0x10,
	kHotKeyKeypadDelete = 0x20
};

class KVSettings
{
public:
	// Starts with the defaults; the file is read only by Load().
	explicit KVSettings(BPath path);
	~KVSettings();

	// Replaces every field with the file's. False when the file is missing or is not
	// a settings message; the getters then fall back for every missing field.
	bool Load();
	// Writes the settings beside the file and renames them over it, so the old file
	// stays whole when writing fails or the program dies. Failures are not reported.
	void Save();

	int32 GetHotKey() const;
	bool GetOnTop() const;
	// Points into the settings (valid until the colour is next set) or to a shared
	// constant fallback; the caller never frees it.
	const rgb_color* GetColor() const;
	bool GetShowURL() const;
	BPoint GetPos() const;
	KVAlign GetAlign() const;
	KVBrowser GetBrowser() const;

	// Each replaces the field's first value, adds the field when it is missing, and
	// leaves a field of another type alone.
	void SetHotKey(int32 hotKey);
	void SetOnTop(bool onTop);
	void SetColor(rgb_color color);
	void SetShowURL(bool showURL);
	void SetPos(BPoint pos);
	void SetAlign(KVAlign align);
	void SetBrowser(KVBrowser browser);

private:
	KVSettings(const KVSettings&) = delete;
	KVSettings& operator=(const KVSettings&) = delete;

	void _SetInt32(const char* name, int32 value);
	void _SetBool(const char* name, bool value);
	bool _WriteTo(const char* path) const;
	void _SetAsideUnreadable(const char* path);

	BMessage* fMessage;
	BPath fPath;
	// Load met a file it could not use; Save keeps its bytes beside the new one.
	bool fKeepUnreadable;
};

// The one settings store, created at start-up before any window.
extern KVSettings* gSettings;

#endif // KV_SETTINGS_H
