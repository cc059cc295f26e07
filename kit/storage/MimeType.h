// BMimeType: a MIME type string, its validity, and the icons the system has for it.
#ifndef _MIME_TYPE_H
#define _MIME_TYPE_H

#include <Mime.h>

#include <string>

class BBitmap;

class BMimeType
{
public:
	BMimeType();
	BMimeType(const char* type);
	virtual ~BMimeType();

	// B_BAD_VALUE for an invalid type; the type is kept as given.
	status_t SetTo(const char* type);
	void Unset();
	status_t InitCheck() const;

	// NULL while not initialised.
	const char* Type() const;
	bool IsValid() const;
	bool IsSupertypeOnly() const;
	// Types compare without regard to case, as MIME types do.
	bool operator==(const BMimeType& type) const;
	bool operator==(const char* type) const;

	// Valid: "super" or "super/sub", printable ASCII without blanks and MIME specials,
	// shorter than B_MIME_TYPE_LENGTH.
	static bool IsValid(const char* type);

	// Copies the icon into a bitmap of the matching size. Defined by the interface
	// kit (it owns BBitmap) on top of GetIconData.
	status_t GetIcon(BBitmap* icon, icon_size which) const;

	// The icon as B_RGBA32 pixels: which * which pixels, rows top to bottom, four bytes per
	// pixel in the order blue, green, red, alpha (alpha 0 is transparent). bits must
	// hold length >= which * which * 4 bytes. B_ENTRY_NOT_FOUND when the type has no
	// icon, B_BAD_VALUE for another size or a short buffer.
	status_t GetIconData(icon_size which, uint8* bits, size_t length) const;

private:
	std::string fType;
	status_t fCStatus;
};

#endif // _MIME_TYPE_H
