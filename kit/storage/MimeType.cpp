// BMimeType: MIME type strings and the icons of the file types the programs make.
#include <MimeType.h>

#include <BookmarkFormat.h>

#include <cctype>
#include <cstring>
#include <strings.h>

namespace {

// The icons are drawn here as pictures, one character a pixel, in this palette:
//   .  transparent      k  outline          w  white           g  light shade
//   G  grey text line   r  red ribbon       R  ribbon shadow   s  skin
//   h  hair             c  shirt
struct PaletteEntry
{
	char symbol;
	uint8 red;
	uint8 green;
	uint8 blue;
	uint8 alpha;
};

const PaletteEntry kPalette[] = {
        {'.', 0, 0, 0, 0},
        {'k', 0x28, 0x28, 0x28, 0xff},
        {'w', 0xff, 0xff, 0xff, 0xff},
        {'g', 0xc8, 0xc8, 0xc8, 0xff},
        {'G', 0x90, 0x90, 0x98, 0xff},
        {'r', 0xd8, 0x30, 0x30, 0xff},
        {'R', 0x90, 0x18, 0x18, 0xff},
        {'s', 0xf4, 0xcc, 0xa4, 0xff},
        {'h', 0x70, 0x48, 0x20, 0xff},
        {'c', 0x38, 0x68, 0xc0, 0xff},
};

// A page with a turned corner and a red ribbon: a bookmark file.
const char* const kBookmarkMini[] = {
        "..kkrrRkkkk.....", "..kwrrRwwwkg....", "..kwrrRwwwkgg...", "..kwrrRwwwkkkk..",
        "..kwrrRwwwwwgk..", "..kwrrRwwwwwgk..", "..kwrrRwwwwwgk..", "..kwrwRwwwwwgk..",
        "..kwGGGGGGwwgk..", "..kwwwwwwwwwgk..", "..kwGGGGwwwwgk..", "..kwwwwwwwwwgk..",
        "..kwGGGGGGwwgk..", "..kwwwwwwwwwgk..", "..kwwwwwwwwwgk..", "..kkkkkkkkkkkk..",
};

const char* const kBookmarkLarge[] = {
        "....kkkkrrrrRkkkkkkkk...........", "....kwwwrrrrRwwwwwwwkg..........",
        "....kwwwrrrrRwwwwwwwkgg.........", "....kwwwrrrrRwwwwwwwkggg........",
        "....kwwwrrrrRwwwwwwwkgggg.......", "....kwwwrrrrRwwwwwwwkggggg......",
        "....kwwwrrrrRwwwwwwwkkkkkkk.....", "....kwwwrrrrRwwwwwwwwwwwwgk.....",
        "....kwwwrrrrRwwwwwwwwwwwwgk.....", "....kwwwrrrrRwwwwwwwwwwwwgk.....",
        "....kwwwrrrrRwwwwwwwwwwwwgk.....", "....kwwwrrrrRwwwwwwwwwwwwgk.....",
        "....kwwwrrrrRwwwwwwwwwwwwgk.....", "....kwwwrrwrRwwwwwwwwwwwwgk.....",
        "....kwwwrrwrRwwwwwwwwwwwwgk.....", "....kwwwwwwwwwwwwwwwwwwwwgk.....",
        "....kwwwGGGGGGGGGGGGGGGGwgk.....", "....kwwwwwwwwwwwwwwwwwwwwgk.....",
        "....kwwwwwwwwwwwwwwwwwwwwgk.....", "....kwwwwwwwwwwwwwwwwwwwwgk.....",
        "....kwwwGGGGGGGGGGGGwwwwwgk.....", "....kwwwwwwwwwwwwwwwwwwwwgk.....",
        "....kwwwwwwwwwwwwwwwwwwwwgk.....", "....kwwwwwwwwwwwwwwwwwwwwgk.....",
        "....kwwwGGGGGGGGGGGGGGGGwgk.....", "....kwwwwwwwwwwwwwwwwwwwwgk.....",
        "....kwwwwwwwwwwwwwwwwwwwwgk.....", "....kwwwwwwwwwwwwwwwwwwwwgk.....",
        "....kwwwGGGGGGGGGGGGwwwwwgk.....", "....kwwwwwwwwwwwwwwwwwwwwgk.....",
        "....kwwwwwwwwwwwwwwwwwwwwgk.....", "....kkkkkkkkkkkkkkkkkkkkkkk.....",
};

// Head and shoulders: a person file.
const char* const kPersonMini[] = {
        "................", "................", "......kkkk......", ".....khhhhk.....",
        "....kssssssk....", "....kssssssk....", ".....kssssk.....", ".....kssssk.....",
        "......kkkk......", "................", "....kkkkkkkk....", "...kkcwwwwckk...",
        "..kkcccccccckk..", "..kcccccccccck..", "..kcccccccccck..", ".kkkkkkkkkkkkkk.",
};

const char* const kPersonLarge[] = {
        "................................", "................................",
        "................................", "..............kkkk..............",
        "............kkkkkkkk............", "...........kkhhhhhhkk...........",
        "..........kkhhhhhhhhkk..........", "..........khhhhhhhhhhk..........",
        ".........kksssssssssskk.........", ".........kksssssssssskk.........",
        ".........kksssssssssskk.........", ".........kksssssssssskk.........",
        "..........kssssssssssk..........", "..........kksssssssskk..........",
        "...........kksssssskk...........", "............kkkkkkkk............",
        "..............kkkk..............", "................................",
        "................................", "................................",
        "...........kkkkkkkkkk...........", ".........kkcccwwwwccckk.........",
        ".......kkccccwwwwwwcccckk.......", "......kkccccwwwwwwwwcccckk......",
        ".....kkcccccccccccccccccckk.....", ".....kcccccccccccccccccccck.....",
        "....kcccccccccccccccccccccck....", "....kcccccccccccccccccccccck....",
        "...kcccccccccccccccccccccccck...", "...kcccccccccccccccccccccccck...",
        "...kcccccccccccccccccccccccck...", "...kkkkkkkkkkkkkkkkkkkkkkkkkk...",
};

struct TypeIcons
{
	const char* type;
	const char* const* mini;
	const char* const* large;
};

const TypeIcons kTypeIcons[] = {
        {kBookmarkType, kBookmarkMini, kBookmarkLarge},
        {"application/x-person", kPersonMini, kPersonLarge},
};

const char kSpecials[] = "()<>@,;:\\\"/[]?=";

const PaletteEntry*
FindColor(char symbol)
{
	for (const PaletteEntry& entry : kPalette) {
		if (entry.symbol == symbol)
			return &entry;
	}
	return &kPalette[0];
}

bool
IsTokenChar(char c)
{
	unsigned char byte = static_cast<unsigned char>(c);
	return byte > 0x20 && byte < 0x7f && strchr(kSpecials, c) == nullptr;
}

} // namespace

BMimeType::BMimeType() : fCStatus(B_NO_INIT)
{}

BMimeType::BMimeType(const char* type) : BMimeType()
{
	SetTo(type);
}

BMimeType::~BMimeType()
{}

status_t
BMimeType::SetTo(const char* type)
{
	Unset();
	if (!IsValid(type))
		return fCStatus = B_BAD_VALUE;
	fType = type;
	return fCStatus = B_OK;
}

void
BMimeType::Unset()
{
	fType.clear();
	fCStatus = B_NO_INIT;
}

status_t
BMimeType::InitCheck() const
{
	return fCStatus;
}

const char*
BMimeType::Type() const
{
	return fCStatus == B_OK ? fType.c_str() : nullptr;
}

bool
BMimeType::IsValid() const
{
	return fCStatus == B_OK;
}

bool
BMimeType::IsSupertypeOnly() const
{
	return fCStatus == B_OK && fType.find('/') == std::string::npos;
}

bool
BMimeType::operator==(const BMimeType& type) const
{
	return *this == type.Type();
}

bool
BMimeType::operator==(const char* type) const
{
	if (fCStatus != B_OK || type == nullptr)
		return fCStatus != B_OK && type == nullptr;
	return strcasecmp(fType.c_str(), type) == 0;
}

bool
BMimeType::IsValid(const char* type)
{
	if (type == nullptr || type[0] == '\0' || type[0] == '/')
		return false;
	size_t length = strlen(type);
	if (length >= B_MIME_TYPE_LENGTH)
		return false;
	bool slashSeen = false;
	for (size_t i = 0; i < length; i++) {
		if (type[i] == '/') {
			if (slashSeen || i + 1 == length)
				return false;
			slashSeen = true;
		} else if (!IsTokenChar(type[i])) {
			return false;
		}
	}
	return true;
}

status_t
BMimeType::GetIconData(icon_size which, uint8* bits, size_t length) const
{
	if (which != B_MINI_ICON && which != B_LARGE_ICON)
		return B_BAD_VALUE;
	size_t side = static_cast<size_t>(which);
	if (bits == nullptr || length < side * side * 4)
		return B_BAD_VALUE;
	if (fCStatus != B_OK)
		return B_NO_INIT;
	for (const TypeIcons& icons : kTypeIcons) {
		if (strcasecmp(icons.type, fType.c_str()) != 0)
			continue;
		const char* const* rows = which == B_MINI_ICON ? icons.mini : icons.large;
		for (size_t y = 0; y < side; y++) {
			for (size_t x = 0; x < side; x++) {
				const PaletteEntry* color = FindColor(rows[y][x]);
				uint8* pixel = bits + (y * side + x) * 4;
				pixel[0] = color->blue;
				pixel[1] = color->green;
				pixel[2] = color->red;
				pixel[3] = color->alpha;
			}
		}
		return B_OK;
	}
	return B_ENTRY_NOT_FOUND;
}
