// BString: the BeOS string class. Holds a NUL-terminated byte string; String() never
// returns NULL. Lengths and offsets are in bytes.
#ifndef _B_STRING_H
#define _B_STRING_H

#include <string>

#include <SupportDefs.h>

class BString
{
public:
	BString();
	BString(const char* string);
	BString(const char* string, int32 maxLength);
	BString(const BString& other);
	BString(BString&& other) noexcept;
	~BString();

	const char* String() const { return fData.c_str(); }
	int32 Length() const { return static_cast<int32>(fData.size()); }
	int32 CountChars() const;
	bool IsEmpty() const { return fData.empty(); }

	BString& operator=(const BString& other);
	BString& operator=(BString&& other) noexcept;
	BString& operator=(const char* string);
	BString& operator=(char c);
	BString& SetTo(const char* string);
	BString& SetTo(const char* string, int32 maxLength);
	BString& SetTo(const BString& other);
	BString& SetTo(const BString& other, int32 maxLength);
	BString& SetTo(char c, int32 count);
	BString& Adopt(BString& from);
	BString& SetToFormat(const char* format, ...) __attribute__((format(printf, 2, 3)));

	BString& operator+=(const BString& other);
	BString& operator+=(const char* string);
	BString& operator+=(char c);
	BString& Append(const BString& other);
	BString& Append(const char* string);
	BString& Append(const BString& other, int32 length);
	BString& Append(const char* string, int32 length);
	BString& Append(char c, int32 count);
	BString& Prepend(const char* string);
	BString& Prepend(const BString& other);
	BString& Prepend(const char* string, int32 length);
	BString& Prepend(char c, int32 count);
	BString& Insert(const char* string, int32 position);
	BString& Insert(const char* string, int32 length, int32 position);
	BString& Insert(const BString& other, int32 position);
	BString& Insert(char c, int32 count, int32 position);

	BString& Truncate(int32 newLength, bool lazy = true);
	BString& Remove(int32 from, int32 length);
	BString& RemoveFirst(const BString& string);
	BString& RemoveLast(const BString& string);
	BString& RemoveAll(const BString& string);
	BString& RemoveFirst(const char* string);
	BString& RemoveLast(const char* string);
	BString& RemoveAll(const char* string);
	BString& MoveInto(BString& into, int32 from, int32 length);
	void MoveInto(char* into, int32 from, int32 length);
	BString& CopyInto(BString& into, int32 from, int32 length) const;
	void CopyInto(char* into, int32 from, int32 length) const;
	BString& Trim();

	int Compare(const BString& other) const;
	int Compare(const char* string) const;
	int Compare(const BString& other, int32 length) const;
	int Compare(const char* string, int32 length) const;
	int ICompare(const BString& other) const;
	int ICompare(const char* string) const;
	int ICompare(const BString& other, int32 length) const;
	int ICompare(const char* string, int32 length) const;

	bool operator<(const BString& other) const { return Compare(other) < 0; }
	bool operator<=(const BString& other) const { return Compare(other) <= 0; }
	bool operator==(const BString& other) const { return fData == other.fData; }
	bool operator>=(const BString& other) const { return Compare(other) >= 0; }
	bool operator>(const BString& other) const { return Compare(other) > 0; }
	bool operator!=(const BString& other) const { return fData != other.fData; }
	bool operator<(const char* string) const { return Compare(string) < 0; }
	bool operator<=(const char* string) const { return Compare(string) <= 0; }
	bool operator==(const char* string) const { return Compare(string) == 0; }
	bool operator>=(const char* string) const { return Compare(string) >= 0; }
	bool operator>(const char* string) const { return Compare(string) > 0; }
	bool operator!=(const char* string) const { return Compare(string) != 0; }

	// Searches return the byte offset or B_ERROR when nothing is found.
	int32 FindFirst(const BString& string) const;
	int32 FindFirst(const char* string) const;
	int32 FindFirst(const BString& string, int32 fromOffset) const;
	int32 FindFirst(const char* string, int32 fromOffset) const;
	int32 FindFirst(char c) const;
	int32 FindFirst(char c, int32 fromOffset) const;
	int32 FindLast(const BString& string) const;
	int32 FindLast(const char* string) const;
	int32 FindLast(const BString& string, int32 beforeOffset) const;
	int32 FindLast(const char* string, int32 beforeOffset) const;
	int32 FindLast(char c) const;
	int32 FindLast(char c, int32 beforeOffset) const;
	int32 IFindFirst(const char* string, int32 fromOffset = 0) const;
	int32 IFindLast(const char* string) const;
	bool StartsWith(const char* prefix) const;
	bool EndsWith(const char* suffix) const;

	BString& ReplaceFirst(char replaceThis, char withThis);
	BString& ReplaceLast(char replaceThis, char withThis);
	BString& ReplaceAll(char replaceThis, char withThis, int32 fromOffset = 0);
	BString& Replace(char replaceThis, char withThis, int32 maxReplaceCount, int32 fromOffset = 0);
	BString& ReplaceFirst(const char* replaceThis, const char* withThis);
	BString& ReplaceLast(const char* replaceThis, const char* withThis);
	BString& ReplaceAll(const char* replaceThis, const char* withThis, int32 fromOffset = 0);
	BString& Replace(const char* replaceThis, const char* withThis, int32 maxReplaceCount,
	                 int32 fromOffset = 0);

	BString& ToLower();
	BString& ToUpper();
	BString& Capitalize();

	// The byte at index, or 0 outside the string.
	char ByteAt(int32 index) const;
	char operator[](int32 index) const { return ByteAt(index); }

	// Direct access: the buffer holds at least maxLength bytes plus a NUL until
	// UnlockBuffer(length) sets the length (-1: up to the first NUL).
	char* LockBuffer(int32 maxLength);
	BString& UnlockBuffer(int32 length = -1);

	BString& operator<<(const char* string);
	BString& operator<<(const BString& string);
	BString& operator<<(char c);
	BString& operator<<(int value);
	BString& operator<<(unsigned int value);
	BString& operator<<(long value);
	BString& operator<<(unsigned long value);
	BString& operator<<(long long value);
	BString& operator<<(unsigned long long value);
	BString& operator<<(float value);

private:
	int32 _Clamp(int32 offset) const;

	std::string fData;
};

bool operator<(const char* a, const BString& b);
bool operator<=(const char* a, const BString& b);
bool operator==(const char* a, const BString& b);
bool operator>(const char* a, const BString& b);
bool operator>=(const char* a, const BString& b);
bool operator!=(const char* a, const BString& b);

int Compare(const BString& a, const BString& b);
int ICompare(const BString& a, const BString& b);
int Compare(const BString* a, const BString* b);
int ICompare(const BString* a, const BString* b);

#endif // _B_STRING_H
