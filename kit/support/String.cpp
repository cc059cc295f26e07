// BString over std::string. Every public offset is clamped, so bad offsets from callers
// never read or write outside the string.
#include <String.h>

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <strings.h>

namespace {

size_t
SafeLength(const char* string, int32 maxLength = -1)
{
	if (string == nullptr)
		return 0;
	if (maxLength < 0)
		return strlen(string);
	return strnlen(string, maxLength);
}

int
Sign(int value)
{
	return value < 0 ? -1 : (value > 0 ? 1 : 0);
}

} // namespace

BString::BString() = default;

BString::BString(const char* string)
{
	SetTo(string);
}

BString::BString(const char* string, int32 maxLength)
{
	SetTo(string, maxLength);
}

BString::BString(const BString& other) = default;

BString::BString(BString&& other) noexcept = default;

BString::~BString() = default;

int32
BString::CountChars() const
{
	int32 count = 0;
	for (unsigned char c : fData) {
		if ((c & 0xc0) != 0x80)
			count++;
	}
	return count;
}

BString& BString::operator=(const BString& other) = default;

BString& BString::operator=(BString&& other) noexcept = default;

BString&
BString::operator=(const char* string)
{
	return SetTo(string);
}

BString&
BString::operator=(char c)
{
	return SetTo(c, 1);
}

BString&
BString::SetTo(const char* string)
{
	return SetTo(string, -1);
}

BString&
BString::SetTo(const char* string, int32 maxLength)
{
	fData.assign(string != nullptr ? string : "", SafeLength(string, maxLength));
	return *this;
}

BString&
BString::SetTo(const BString& other)
{
	if (&other != this)
		fData = other.fData;
	return *this;
}

BString&
BString::SetTo(const BString& other, int32 maxLength)
{
	std::string copy = other.fData.substr(0, maxLength < 0 ? std::string::npos : maxLength);
	fData.swap(copy);
	return *this;
}

BString&
BString::SetTo(char c, int32 count)
{
	fData.assign(std::max<int32>(count, 0), c);
	return *this;
}

BString&
BString::Adopt(BString& from)
{
	if (&from != this) {
		fData.swap(from.fData);
		from.fData.clear();
	}
	return *this;
}

BString&
BString::SetToFormat(const char* format, ...)
{
	va_list args;
	va_start(args, format);
	va_list copy;
	va_copy(copy, args);
	int length = vsnprintf(nullptr, 0, format, copy);
	va_end(copy);
	if (length < 0) {
		va_end(args);
		fData.clear();
		return *this;
	}
	std::string buffer(length + 1, '\0');
	vsnprintf(buffer.data(), buffer.size(), format, args);
	va_end(args);
	buffer.resize(length);
	fData.swap(buffer);
	return *this;
}

BString&
BString::operator+=(const BString& other)
{
	return Append(other);
}

BString&
BString::operator+=(const char* string)
{
	return Append(string);
}

BString&
BString::operator+=(char c)
{
	fData.push_back(c);
	return *this;
}

BString&
BString::Append(const BString& other)
{
	fData.append(other.fData);
	return *this;
}

BString&
BString::Append(const char* string)
{
	return Append(string, -1);
}

BString&
BString::Append(const BString& other, int32 length)
{
	fData.append(other.fData, 0, std::max<int32>(length, 0));
	return *this;
}

BString&
BString::Append(const char* string, int32 length)
{
	if (string != nullptr)
		fData.append(string, SafeLength(string, length));
	return *this;
}

BString&
BString::Append(char c, int32 count)
{
	fData.append(std::max<int32>(count, 0), c);
	return *this;
}

BString&
BString::Prepend(const char* string)
{
	return Insert(string, 0);
}

BString&
BString::Prepend(const BString& other)
{
	return Insert(other, 0);
}

BString&
BString::Prepend(const char* string, int32 length)
{
	return Insert(string, length, 0);
}

BString&
BString::Prepend(char c, int32 count)
{
	return Insert(c, count, 0);
}

BString&
BString::Insert(const char* string, int32 position)
{
	return Insert(string, -1, position);
}

BString&
BString::Insert(const char* string, int32 length, int32 position)
{
	if (string != nullptr)
		fData.insert(_Clamp(position), string, SafeLength(string, length));
	return *this;
}

BString&
BString::Insert(const BString& other, int32 position)
{
	std::string copy = other.fData;
	fData.insert(_Clamp(position), copy);
	return *this;
}

BString&
BString::Insert(char c, int32 count, int32 position)
{
	fData.insert(_Clamp(position), std::max<int32>(count, 0), c);
	return *this;
}

BString&
BString::Truncate(int32 newLength, bool)
{
	if (newLength < 0)
		newLength = 0;
	if (newLength < Length())
		fData.resize(newLength);
	return *this;
}

BString&
BString::Remove(int32 from, int32 length)
{
	if (from < 0 || length <= 0 || from >= Length())
		return *this;
	fData.erase(from, length);
	return *this;
}

BString&
BString::RemoveFirst(const BString& string)
{
	return RemoveFirst(string.String());
}

BString&
BString::RemoveLast(const BString& string)
{
	return RemoveLast(string.String());
}

BString&
BString::RemoveAll(const BString& string)
{
	return RemoveAll(string.String());
}

BString&
BString::RemoveFirst(const char* string)
{
	int32 at = FindFirst(string);
	if (at >= 0)
		fData.erase(at, strlen(string));
	return *this;
}

BString&
BString::RemoveLast(const char* string)
{
	int32 at = FindLast(string);
	if (at >= 0)
		fData.erase(at, strlen(string));
	return *this;
}

BString&
BString::RemoveAll(const char* string)
{
	return ReplaceAll(string, "");
}

BString&
BString::MoveInto(BString& into, int32 from, int32 length)
{
	CopyInto(into, from, length);
	if (&into != this)
		Remove(from, length);
	return into;
}

void
BString::MoveInto(char* into, int32 from, int32 length)
{
	CopyInto(into, from, length);
	Remove(from, length);
}

BString&
BString::CopyInto(BString& into, int32 from, int32 length) const
{
	if (from < 0 || length < 0 || from > Length()) {
		into.fData.clear();
		return into;
	}
	std::string part = fData.substr(from, length);
	into.fData.swap(part);
	return into;
}

void
BString::CopyInto(char* into, int32 from, int32 length) const
{
	if (into == nullptr || from < 0 || length <= 0 || from >= Length())
		return;
	size_t count = std::min<size_t>(length, fData.size() - from);
	memcpy(into, fData.data() + from, count);
}

BString&
BString::Trim()
{
	size_t start = fData.find_first_not_of(" \t\n\r\f\v");
	if (start == std::string::npos) {
		fData.clear();
		return *this;
	}
	size_t end = fData.find_last_not_of(" \t\n\r\f\v");
	fData = fData.substr(start, end - start + 1);
	return *this;
}

int
BString::Compare(const BString& other) const
{
	return Sign(strcmp(String(), other.String()));
}

int
BString::Compare(const char* string) const
{
	return Sign(strcmp(String(), string != nullptr ? string : ""));
}

int
BString::Compare(const BString& other, int32 length) const
{
	return Compare(other.String(), length);
}

int
BString::Compare(const char* string, int32 length) const
{
	return Sign(strncmp(String(), string != nullptr ? string : "", std::max<int32>(length, 0)));
}

int
BString::ICompare(const BString& other) const
{
	return ICompare(other.String());
}

int
BString::ICompare(const char* string) const
{
	return Sign(strcasecmp(String(), string != nullptr ? string : ""));
}

int
BString::ICompare(const BString& other, int32 length) const
{
	return ICompare(other.String(), length);
}

int
BString::ICompare(const char* string, int32 length) const
{
	return Sign(strncasecmp(String(), string != nullptr ? string : "", std::max<int32>(length, 0)));
}

int32
BString::FindFirst(const BString& string) const
{
	return FindFirst(string.String(), 0);
}

int32
BString::FindFirst(const char* string) const
{
	return FindFirst(string, 0);
}

int32
BString::FindFirst(const BString& string, int32 fromOffset) const
{
	return FindFirst(string.String(), fromOffset);
}

int32
BString::FindFirst(const char* string, int32 fromOffset) const
{
	if (string == nullptr || fromOffset < 0 || fromOffset > Length())
		return B_BAD_VALUE;
	size_t at = fData.find(string, fromOffset);
	return at == std::string::npos ? B_ERROR : static_cast<int32>(at);
}

int32
BString::FindFirst(char c) const
{
	return FindFirst(c, 0);
}

int32
BString::FindFirst(char c, int32 fromOffset) const
{
	if (fromOffset < 0 || fromOffset > Length())
		return B_BAD_VALUE;
	size_t at = fData.find(c, fromOffset);
	return at == std::string::npos ? B_ERROR : static_cast<int32>(at);
}

int32
BString::FindLast(const BString& string) const
{
	return FindLast(string.String(), Length());
}

int32
BString::FindLast(const char* string) const
{
	return FindLast(string, Length());
}

int32
BString::FindLast(const BString& string, int32 beforeOffset) const
{
	return FindLast(string.String(), beforeOffset);
}

int32
BString::FindLast(const char* string, int32 beforeOffset) const
{
	if (string == nullptr || beforeOffset < 0)
		return B_BAD_VALUE;
	size_t length = strlen(string);
	int32 limit = std::min(beforeOffset, Length());
	if (static_cast<int32>(length) > limit)
		return B_ERROR;
	size_t at = fData.rfind(string, limit - length);
	return at == std::string::npos ? B_ERROR : static_cast<int32>(at);
}

int32
BString::FindLast(char c) const
{
	size_t at = fData.rfind(c);
	return at == std::string::npos ? B_ERROR : static_cast<int32>(at);
}

int32
BString::FindLast(char c, int32 beforeOffset) const
{
	if (beforeOffset <= 0)
		return B_ERROR;
	size_t at = fData.rfind(c, std::min(beforeOffset, Length()) - 1);
	return at == std::string::npos ? B_ERROR : static_cast<int32>(at);
}

int32
BString::IFindFirst(const char* string, int32 fromOffset) const
{
	BString lower(*this), needle(string);
	lower.ToLower();
	needle.ToLower();
	return lower.FindFirst(needle, fromOffset);
}

int32
BString::IFindLast(const char* string) const
{
	BString lower(*this), needle(string);
	lower.ToLower();
	needle.ToLower();
	return lower.FindLast(needle);
}

bool
BString::StartsWith(const char* prefix) const
{
	return prefix != nullptr && fData.compare(0, strlen(prefix), prefix) == 0;
}

bool
BString::EndsWith(const char* suffix) const
{
	if (suffix == nullptr)
		return false;
	size_t length = strlen(suffix);
	return length <= fData.size() && fData.compare(fData.size() - length, length, suffix) == 0;
}

BString&
BString::ReplaceFirst(char replaceThis, char withThis)
{
	return Replace(replaceThis, withThis, 1, 0);
}

BString&
BString::ReplaceLast(char replaceThis, char withThis)
{
	size_t at = fData.rfind(replaceThis);
	if (at != std::string::npos)
		fData[at] = withThis;
	return *this;
}

BString&
BString::ReplaceAll(char replaceThis, char withThis, int32 fromOffset)
{
	return Replace(replaceThis, withThis, INT32_MAX, fromOffset);
}

BString&
BString::Replace(char replaceThis, char withThis, int32 maxReplaceCount, int32 fromOffset)
{
	for (size_t i = _Clamp(fromOffset); i < fData.size() && maxReplaceCount > 0; i++) {
		if (fData[i] == replaceThis) {
			fData[i] = withThis;
			maxReplaceCount--;
		}
	}
	return *this;
}

BString&
BString::ReplaceFirst(const char* replaceThis, const char* withThis)
{
	return Replace(replaceThis, withThis, 1, 0);
}

BString&
BString::ReplaceLast(const char* replaceThis, const char* withThis)
{
	int32 at = FindLast(replaceThis);
	if (at >= 0 && withThis != nullptr)
		fData.replace(at, strlen(replaceThis), withThis);
	return *this;
}

BString&
BString::ReplaceAll(const char* replaceThis, const char* withThis, int32 fromOffset)
{
	return Replace(replaceThis, withThis, INT32_MAX, fromOffset);
}

BString&
BString::Replace(const char* replaceThis, const char* withThis, int32 maxReplaceCount,
                 int32 fromOffset)
{
	if (replaceThis == nullptr || *replaceThis == '\0' || withThis == nullptr)
		return *this;
	size_t oldLength = strlen(replaceThis), newLength = strlen(withThis);
	size_t at = _Clamp(fromOffset);
	while (maxReplaceCount-- > 0 && (at = fData.find(replaceThis, at)) != std::string::npos) {
		fData.replace(at, oldLength, withThis);
		at += newLength;
	}
	return *this;
}

BString&
BString::ToLower()
{
	for (char& c : fData)
		c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
	return *this;
}

BString&
BString::ToUpper()
{
	for (char& c : fData)
		c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
	return *this;
}

BString&
BString::Capitalize()
{
	ToLower();
	if (!fData.empty())
		fData[0] = static_cast<char>(toupper(static_cast<unsigned char>(fData[0])));
	return *this;
}

char
BString::ByteAt(int32 index) const
{
	if (index < 0 || index >= Length())
		return 0;
	return fData[index];
}

char*
BString::LockBuffer(int32 maxLength)
{
	if (maxLength > Length())
		fData.resize(maxLength, '\0');
	return fData.data();
}

BString&
BString::UnlockBuffer(int32 length)
{
	if (length < 0)
		length = static_cast<int32>(strnlen(fData.data(), fData.size()));
	fData.resize(std::min<size_t>(length, fData.size()));
	return *this;
}

BString&
BString::operator<<(const char* string)
{
	return Append(string);
}

BString&
BString::operator<<(const BString& string)
{
	return Append(string);
}

BString&
BString::operator<<(char c)
{
	return *this += c;
}

BString&
BString::operator<<(int value)
{
	return Append(std::to_string(value).c_str());
}

BString&
BString::operator<<(unsigned int value)
{
	return Append(std::to_string(value).c_str());
}

BString&
BString::operator<<(long value)
{
	return Append(std::to_string(value).c_str());
}

BString&
BString::operator<<(unsigned long value)
{
	return Append(std::to_string(value).c_str());
}

BString&
BString::operator<<(long long value)
{
	return Append(std::to_string(value).c_str());
}

BString&
BString::operator<<(unsigned long long value)
{
	return Append(std::to_string(value).c_str());
}

BString&
BString::operator<<(float value)
{
	char buffer[64];
	snprintf(buffer, sizeof(buffer), "%.2f", value);
	return Append(buffer);
}

int32
BString::_Clamp(int32 offset) const
{
	return std::clamp<int32>(offset, 0, Length());
}

bool
operator<(const char* a, const BString& b)
{
	return b.Compare(a) > 0;
}

bool
operator<=(const char* a, const BString& b)
{
	return b.Compare(a) >= 0;
}

bool
operator==(const char* a, const BString& b)
{
	return b.Compare(a) == 0;
}

bool
operator>(const char* a, const BString& b)
{
	return b.Compare(a) < 0;
}

bool
operator>=(const char* a, const BString& b)
{
	return b.Compare(a) <= 0;
}

bool
operator!=(const char* a, const BString& b)
{
	return b.Compare(a) != 0;
}

int
Compare(const BString& a, const BString& b)
{
	return a.Compare(b);
}

int
ICompare(const BString& a, const BString& b)
{
	return a.ICompare(b);
}

int
Compare(const BString* a, const BString* b)
{
	return a->Compare(*b);
}

int
ICompare(const BString* a, const BString* b)
{
	return a->ICompare(*b);
}
