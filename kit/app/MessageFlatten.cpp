// BMessage's flattened form: the bytes a message becomes in a settings file, on a socket
// between programs, or inside another message.
//
// Format version 1. Every integer is little-endian and every float an IEEE-754 value in
// the same byte order; nothing is padded.
//
//   offset size  message header
//      0     4   magic 'KVMG' (0x4B564D47)
//      4     4   format version: 1
//      8     4   total size in bytes, header included
//     12     4   what
//     16     4   delivery flags (bits in MessagePrivate.h); unknown bits are refused
//     20     4   target handler token (int32; -1: none)
//     24    12   reply address: team, looper token, handler token (int32 each)
//     36     8   drop point: x, y (float)
//     44     8   drop offset: x, y (float)
//     52     4   number of fields
//     56     8   reserved, zero
//     64         the fields, one after the other, in the order they were added:
//
//   offset size  field
//      0     4   type code
//      4     4   number of values (at least 1)
//      8     4   size of every value of a fixed-size field; 0 for a variable-size field
//     12     2   name length in bytes (the name is stored without its NUL)
//     14     2   field flags: 0x1 fixed size; other bits zero
//     16         the name, then the values: a fixed-size field's values back to back;
//                a variable-size field's as a 4-byte size followed by the bytes, each
//
// Values are the bytes of the value with multi-byte numbers little-endian: int16..int64,
// float, double, BPoint (x, y), BRect (left, top, right, bottom), a messenger (team,
// looper token, handler token), a pointer (64 bits), rgb_color (red, green, blue,
// alpha), a string with its NUL, an entry_ref (device int64, directory int64, name with
// its NUL), a nested message in this same format. Names are unique in a message.
//
// Reading accepts any bytes: every count and size is checked against the bytes present
// before anything is allocated, values of known types must have their exact size, and
// nested messages are checked to a bounded depth.
#include <Message.h>

#include <bit>
#include <cstring>
#include <string_view>
#include <unordered_set>

#include <DataIO.h>

#include "MessageFormat.h"
#include "MessagePrivate.h"

using BPrivate::MessageField;

namespace {

const uint32 kMagic = 'KVMG';
const uint32 kFormatVersion = 1;
const size_t kHeaderSize = 64;
const size_t kFieldHeaderSize = 16;
const uint16 kFieldFixedSize = 0x1;
const size_t kReadChunk = 64 * 1024;

struct FlatHeader
{
	uint32 what = 0;
	uint32 flags = 0;
	int32 target = -1;
	int32 reply[3] = {-1, -1, -1};
	float drop[4] = {0, 0, 0, 0};
};

uint16
Get16(const char* data)
{
	return uint16((uint8)data[0] | ((uint8)data[1] << 8));
}

uint32
Get32(const char* data)
{
	return uint32((uint8)data[0]) | (uint32((uint8)data[1]) << 8) | (uint32((uint8)data[2]) << 16) |
	       (uint32((uint8)data[3]) << 24);
}

float
GetFloat(const char* data)
{
	return std::bit_cast<float>(Get32(data));
}

void
Put16(char* out, uint16 value)
{
	out[0] = char(value);
	out[1] = char(value >> 8);
}

void
Put32(char* out, uint32 value)
{
	for (int i = 0; i < 4; i++)
		out[i] = char(value >> (8 * i));
}

void
PutFloat(char* out, float value)
{
	Put32(out, std::bit_cast<uint32>(value));
}

// The unit whose bytes are reversed between host order and the flattened order, for
// the types whose values are numbers; 0 for byte-oriented values.
size_t
SwapUnitOfType(type_code type)
{
	switch (type) {
	case B_INT16_TYPE:
	case B_UINT16_TYPE:
		return 2;
	case B_INT32_TYPE:
	case B_UINT32_TYPE:
	case B_FLOAT_TYPE:
	case B_POINT_TYPE:
	case B_RECT_TYPE:
	case B_MESSENGER_TYPE:
		return 4;
	case B_INT64_TYPE:
	case B_UINT64_TYPE:
	case B_DOUBLE_TYPE:
	case B_POINTER_TYPE:
	case B_OFF_T_TYPE:
	case B_REF_TYPE:
		return 8;
	default:
		return 0;
	}
}

// Converts a value between host order and little-endian in place (its own inverse).
// On little-endian hosts the bytes are already in the flattened order.
void
ConvertValue(type_code type, char* data, size_t size)
{
	if constexpr (std::endian::native == std::endian::little)
		return;
	size_t unit = SwapUnitOfType(type);
	if (unit == 0)
		return;
	// An entry_ref's name after its two 64-bit numbers is bytes.
	size_t end = type == B_REF_TYPE ? 16 : size;
	for (size_t offset = 0; offset + unit <= end; offset += unit) {
		for (size_t i = 0; i < unit / 2; i++)
			std::swap(data[offset + i], data[offset + unit - 1 - i]);
	}
}

// Walks a byte range; every read is checked against what is left.
class Reader
{
public:
	Reader(const char* data, size_t size) : fData(data), fSize(size), fPosition(0) {}

	size_t Remaining() const { return fSize - fPosition; }

	bool GetBytes(size_t size, const char** bytes)
	{
		if (size > Remaining())
			return false;
		*bytes = fData + fPosition;
		fPosition += size;
		return true;
	}
	bool Get16(uint16* value)
	{
		const char* bytes;
		if (!GetBytes(2, &bytes))
			return false;
		*value = ::Get16(bytes);
		return true;
	}
	bool Get32(uint32* value)
	{
		const char* bytes;
		if (!GetBytes(4, &bytes))
			return false;
		*value = ::Get32(bytes);
		return true;
	}

private:
	const char* fData;
	size_t fSize;
	size_t fPosition;
};

status_t
CheckHeaderStart(const char* buffer, size_t size)
{
	if (size < 4 || Get32(buffer) != kMagic)
		return B_NOT_A_MESSAGE;
	if (size < kHeaderSize)
		return B_BAD_VALUE;
	if (Get32(buffer + 4) != kFormatVersion)
		return B_NOT_A_MESSAGE;
	size_t total = Get32(buffer + 8);
	if (total > BPrivate::kMaxFlattenedSize)
		return B_NO_MEMORY;
	if (total < kHeaderSize)
		return B_BAD_VALUE;
	return B_OK;
}

status_t
ParseHeader(const char* buffer, size_t size, FlatHeader* header, uint32* fieldCount)
{
	status_t status = CheckHeaderStart(buffer, size);
	if (status != B_OK)
		return status;
	if (Get32(buffer + 8) != size)
		return B_BAD_VALUE;
	header->what = Get32(buffer + 12);
	header->flags = Get32(buffer + 16);
	if ((header->flags & ~(uint32)BPrivate::kMessageKnownFlags) != 0)
		return B_BAD_VALUE;
	header->target = (int32)Get32(buffer + 20);
	for (int i = 0; i < 3; i++)
		header->reply[i] = (int32)Get32(buffer + 24 + 4 * i);
	for (int i = 0; i < 4; i++)
		header->drop[i] = GetFloat(buffer + 36 + 4 * i);
	*fieldCount = Get32(buffer + 52);
	if (Get32(buffer + 56) != 0 || Get32(buffer + 60) != 0)
		return B_BAD_VALUE;
	// The smallest field is its header, an empty name and one one-byte value.
	if (*fieldCount > (size - kHeaderSize) / (kFieldHeaderSize + 1))
		return B_BAD_VALUE;
	return B_OK;
}

// Reads the values of one field; with field null it only checks them.
status_t
ParseValues(Reader& reader, type_code type, uint32 count, uint32 valueSize, bool fixedSize,
            int32 depth, MessageField* field)
{
	if (fixedSize) {
		if (valueSize == 0 || (uint64)count * valueSize > reader.Remaining())
			return B_BAD_VALUE;
	} else if (valueSize != 0 || count > reader.Remaining() / 5) {
		return B_BAD_VALUE;
	}
	if (field != nullptr)
		field->items.reserve(count);
	for (uint32 i = 0; i < count; i++) {
		uint32 size = valueSize;
		if (!fixedSize && (!reader.Get32(&size) || size == 0))
			return B_BAD_VALUE;
		const char* bytes;
		if (!reader.GetBytes(size, &bytes))
			return B_BAD_VALUE;
		status_t status = BPrivate::CheckValue(type, bytes, size, depth);
		if (status != B_OK)
			return status;
		if (field != nullptr) {
			field->items.emplace_back(bytes, size);
			ConvertValue(type, field->items.back().data(), size);
		}
	}
	return B_OK;
}

status_t
ParseField(Reader& reader, int32 depth, std::unordered_set<std::string_view>& names,
           MessageField* field)
{
	uint32 type;
	uint32 count;
	uint32 valueSize;
	uint16 nameLength;
	uint16 flags;
	const char* name;
	if (!reader.Get32(&type) || !reader.Get32(&count) || !reader.Get32(&valueSize) ||
	    !reader.Get16(&nameLength) || !reader.Get16(&flags) || !reader.GetBytes(nameLength, &name))
		return B_BAD_VALUE;
	if ((flags & ~kFieldFixedSize) != 0 || count == 0 || type == B_ANY_TYPE ||
	    memchr(name, '\0', nameLength) != nullptr ||
	    !names.insert(std::string_view(name, nameLength)).second)
		return B_BAD_VALUE;
	bool fixedSize = (flags & kFieldFixedSize) != 0;
	if (field != nullptr) {
		field->name.assign(name, nameLength);
		field->type = type;
		field->fixedSize = fixedSize;
	}
	return ParseValues(reader, type, count, valueSize, fixedSize, depth, field);
}

// Reads a whole flattened message of exactly size bytes. With fields null it only
// checks the bytes.
status_t
ParseMessage(const char* buffer, size_t size, int32 depth, FlatHeader* header,
             std::vector<MessageField>* fields)
{
	FlatHeader localHeader;
	uint32 fieldCount;
	status_t status = ParseHeader(buffer, size, header ? header : &localHeader, &fieldCount);
	if (status != B_OK)
		return status;
	Reader reader(buffer + kHeaderSize, size - kHeaderSize);
	std::unordered_set<std::string_view> names;
	if (fields != nullptr)
		fields->reserve(fieldCount);
	for (uint32 i = 0; i < fieldCount; i++) {
		MessageField field;
		status = ParseField(reader, depth, names, fields != nullptr ? &field : nullptr);
		if (status != B_OK)
			return status;
		if (fields != nullptr)
			fields->push_back(std::move(field));
	}
	return reader.Remaining() == 0 ? B_OK : B_BAD_VALUE;
}

size_t
FieldFlattenedSize(const MessageField& field)
{
	size_t size = kFieldHeaderSize + field.name.size();
	for (const std::string& item : field.items)
		size += item.size() + (field.fixedSize ? 0 : 4);
	return size;
}

char*
WriteField(char* out, const MessageField& field)
{
	Put32(out, field.type);
	Put32(out + 4, (uint32)field.items.size());
	Put32(out + 8, field.fixedSize ? (uint32)field.items.front().size() : 0);
	Put16(out + 12, (uint16)field.name.size());
	Put16(out + 14, field.fixedSize ? kFieldFixedSize : 0);
	out += kFieldHeaderSize;
	memcpy(out, field.name.data(), field.name.size());
	out += field.name.size();
	for (const std::string& item : field.items) {
		if (!field.fixedSize) {
			Put32(out, (uint32)item.size());
			out += 4;
		}
		memcpy(out, item.data(), item.size());
		ConvertValue(field.type, out, item.size());
		out += item.size();
	}
	return out;
}

} // namespace

// #pragma mark - rules shared with the field operations

size_t
BPrivate::FixedSizeOfType(type_code type)
{
	switch (type) {
	case B_INT8_TYPE:
	case B_UINT8_TYPE:
	case B_BOOL_TYPE:
	case B_CHAR_TYPE:
		return 1;
	case B_INT16_TYPE:
	case B_UINT16_TYPE:
		return 2;
	case B_INT32_TYPE:
	case B_UINT32_TYPE:
	case B_FLOAT_TYPE:
	case B_RGB_COLOR_TYPE:
		return 4;
	case B_INT64_TYPE:
	case B_UINT64_TYPE:
	case B_DOUBLE_TYPE:
	case B_POINTER_TYPE:
	case B_OFF_T_TYPE:
	case B_POINT_TYPE:
		return 8;
	case B_MESSENGER_TYPE:
		return 12;
	case B_RECT_TYPE:
		return 16;
	default:
		return 0;
	}
}

status_t
BPrivate::CheckValue(type_code type, const void* data, size_t size, int32 depth)
{
	const char* bytes = (const char*)data;
	// A byte field may hold a run of bytes, as the 16-byte "states" of key messages do.
	if ((type == B_UINT8_TYPE || type == B_INT8_TYPE) && size >= 1)
		return B_OK;
	size_t fixedSize = FixedSizeOfType(type);
	if (fixedSize != 0)
		return size == fixedSize ? B_OK : B_BAD_VALUE;
	switch (type) {
	case B_STRING_TYPE:
		return size >= 1 && bytes[size - 1] == '\0' ? B_OK : B_BAD_VALUE;
	case B_REF_TYPE:
		return size >= 17 && bytes[size - 1] == '\0' ? B_OK : B_BAD_VALUE;
	case B_MESSAGE_TYPE:
		if (depth >= kMaxMessageNesting)
			return B_BAD_VALUE;
		return ValidateFlattened(bytes, size, depth + 1);
	default:
		return B_OK;
	}
}

status_t
BPrivate::ValidateFlattened(const char* buffer, size_t size, int32 depth)
{
	status_t status = ParseMessage(buffer, size, depth, nullptr, nullptr);
	// A nested message that is not a message is a bad value of its field.
	return status == B_NOT_A_MESSAGE && depth > 0 ? B_BAD_VALUE : status;
}

// #pragma mark - BMessage

ssize_t
BMessage::FlattenedSize() const
{
	size_t size = kHeaderSize;
	for (const MessageField& field : fFields)
		size += FieldFlattenedSize(field);
	return (ssize_t)size;
}

status_t
BMessage::Flatten(char* buffer, ssize_t size) const
{
	if (buffer == nullptr || size < 0)
		return B_BAD_VALUE;
	size_t needed = (size_t)FlattenedSize();
	if (needed > BPrivate::kMaxFlattenedSize)
		return B_NO_MEMORY;
	if ((size_t)size < needed)
		return B_BUFFER_OVERFLOW;

	memset(buffer, 0, kHeaderSize);
	Put32(buffer, kMagic);
	Put32(buffer + 4, kFormatVersion);
	Put32(buffer + 8, (uint32)needed);
	Put32(buffer + 12, what);
	Put32(buffer + 16, fFlags);
	Put32(buffer + 20, (uint32)fTarget);
	Put32(buffer + 24, (uint32)fReplyTeam);
	Put32(buffer + 28, (uint32)fReplyLooper);
	Put32(buffer + 32, (uint32)fReplyHandler);
	PutFloat(buffer + 36, fDropPoint.x);
	PutFloat(buffer + 40, fDropPoint.y);
	PutFloat(buffer + 44, fDropOffset.x);
	PutFloat(buffer + 48, fDropOffset.y);
	Put32(buffer + 52, (uint32)fFields.size());
	char* out = buffer + kHeaderSize;
	for (const MessageField& field : fFields)
		out = WriteField(out, field);
	return B_OK;
}

status_t
BMessage::Flatten(BDataIO* stream, ssize_t* size) const
{
	if (stream == nullptr)
		return B_BAD_VALUE;
	std::vector<char> buffer(FlattenedSize());
	status_t status = Flatten(buffer.data(), (ssize_t)buffer.size());
	if (status == B_OK)
		status = stream->WriteExactly(buffer.data(), buffer.size());
	if (status == B_OK && size != nullptr)
		*size = (ssize_t)buffer.size();
	return status;
}

status_t
BMessage::Unflatten(const char* flatBuffer)
{
	if (flatBuffer == nullptr)
		return B_BAD_VALUE;
	// Only the header is read before the recorded size is known.
	status_t status = CheckHeaderStart(flatBuffer, kHeaderSize);
	if (status != B_OK) {
		Unflatten(flatBuffer, 0);
		return status;
	}
	return Unflatten(flatBuffer, (ssize_t)Get32(flatBuffer + 8));
}

status_t
BMessage::Unflatten(const char* flatBuffer, ssize_t size)
{
	FlatHeader header;
	std::vector<MessageField> fields;
	status_t status = B_BAD_VALUE;
	if (flatBuffer != nullptr && size >= 0)
		status = ParseMessage(flatBuffer, (size_t)size, 0, &header, &fields);
	if (status != B_OK) {
		what = 0;
		fFields.clear();
		_ClearHeader();
		return status;
	}
	what = header.what;
	fFields = std::move(fields);
	fFlags = header.flags;
	fTarget = header.target;
	fReplyTeam = header.reply[0];
	fReplyLooper = header.reply[1];
	fReplyHandler = header.reply[2];
	fDropPoint = BPoint(header.drop[0], header.drop[1]);
	fDropOffset = BPoint(header.drop[2], header.drop[3]);
	return B_OK;
}

// Reads exactly one message from the stream. The buffer grows as bytes arrive, so a
// header that claims a huge size costs no more memory than the bytes really present.
status_t
BMessage::Unflatten(BDataIO* stream)
{
	if (stream == nullptr)
		return Unflatten(nullptr, 0);
	std::vector<char> buffer(kHeaderSize);
	size_t bytesRead = 0;
	stream->ReadExactly(buffer.data(), kHeaderSize, &bytesRead);
	status_t status = CheckHeaderStart(buffer.data(), bytesRead);
	if (status != B_OK) {
		Unflatten(nullptr, 0);
		return status;
	}
	size_t total = Get32(buffer.data() + 8);
	while (buffer.size() < total) {
		size_t offset = buffer.size();
		size_t chunk = std::min(total - offset, kReadChunk);
		buffer.resize(offset + chunk);
		if (stream->ReadExactly(buffer.data() + offset, chunk) != B_OK)
			return Unflatten(nullptr, 0);
	}
	return Unflatten(buffer.data(), (ssize_t)buffer.size());
}
