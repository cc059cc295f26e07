// BMessage's fields: adding, finding, replacing and removing typed values, and the
// information calls. The flattened form lives in MessageFlatten.cpp; fields that need
// other kits' types (messengers, entry_refs) in MessageKitTypes.cpp; replies in
// MessageReply.cpp, which belongs to the looper's part of the kit.
#include <Message.h>

#include <algorithm>
#include <cctype>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <utility>

#include <String.h>

#include "MessageFormat.h"
#include "MessagePrivate.h"

using BPrivate::MessageField;

BMessage::BMessage() : what(0)
{
	_ClearHeader();
}

BMessage::BMessage(uint32 command) : what(command)
{
	_ClearHeader();
}

BMessage::BMessage(const BMessage& other)
    : what(other.what), fFields(other.fFields), fTarget(other.fTarget), fFlags(other.fFlags),
      fReplyTeam(other.fReplyTeam), fReplyLooper(other.fReplyLooper),
      fReplyHandler(other.fReplyHandler), fDropPoint(other.fDropPoint),
      fDropOffset(other.fDropOffset)
{}

BMessage::~BMessage()
{}

BMessage&
BMessage::operator=(const BMessage& other)
{
	if (this == &other)
		return *this;
	what = other.what;
	fFields = other.fFields;
	fTarget = other.fTarget;
	fFlags = other.fFlags;
	fReplyTeam = other.fReplyTeam;
	fReplyLooper = other.fReplyLooper;
	fReplyHandler = other.fReplyHandler;
	fDropPoint = other.fDropPoint;
	fDropOffset = other.fDropOffset;
	return *this;
}

void
BMessage::_ClearHeader()
{
	fTarget = BPrivate::kNoHandlerToken;
	fFlags = 0;
	fReplyTeam = -1;
	fReplyLooper = -1;
	fReplyHandler = -1;
	fDropPoint = BPoint();
	fDropOffset = BPoint();
}

// #pragma mark - information

status_t
BMessage::GetInfo(type_code typeRequested, int32 index, char** nameFound, type_code* typeFound,
                  int32* countFound) const
{
	if (index < 0)
		return B_BAD_INDEX;
	int32 seen = 0;
	for (const MessageField& field : fFields) {
		if (typeRequested != B_ANY_TYPE && field.type != typeRequested)
			continue;
		if (seen++ != index)
			continue;
		if (nameFound != nullptr)
			*nameFound = const_cast<char*>(field.name.c_str());
		if (typeFound != nullptr)
			*typeFound = field.type;
		if (countFound != nullptr)
			*countFound = (int32)field.items.size();
		return B_OK;
	}
	return seen == 0 ? B_BAD_TYPE : B_BAD_INDEX;
}

status_t
BMessage::GetInfo(const char* name, type_code* typeFound, int32* countFound) const
{
	const MessageField* field = _FindField(name);
	if (field == nullptr)
		return name == nullptr ? B_BAD_VALUE : B_NAME_NOT_FOUND;
	if (typeFound != nullptr)
		*typeFound = field->type;
	if (countFound != nullptr)
		*countFound = (int32)field->items.size();
	return B_OK;
}

status_t
BMessage::GetInfo(const char* name, type_code* typeFound, bool* fixedSize) const
{
	const MessageField* field = _FindField(name);
	if (field == nullptr)
		return name == nullptr ? B_BAD_VALUE : B_NAME_NOT_FOUND;
	if (typeFound != nullptr)
		*typeFound = field->type;
	if (fixedSize != nullptr)
		*fixedSize = field->fixedSize;
	return B_OK;
}

int32
BMessage::CountNames(type_code type) const
{
	if (type == B_ANY_TYPE)
		return (int32)fFields.size();
	int32 count = 0;
	for (const MessageField& field : fFields) {
		if (field.type == type)
			count++;
	}
	return count;
}

bool
BMessage::IsEmpty() const
{
	return fFields.empty();
}

// System messages have codes of an underscore and three capitals, like '_QRQ'.
bool
BMessage::IsSystem() const
{
	char a = char(what >> 24);
	char b = char(what >> 16);
	char c = char(what >> 8);
	char d = char(what);
	return a == '_' && isupper((unsigned char)b) && isupper((unsigned char)c) &&
	       isupper((unsigned char)d);
}

bool
BMessage::IsReply() const
{
	return (fFlags & BPrivate::kMessageIsReply) != 0;
}

bool
BMessage::WasDelivered() const
{
	return (fFlags & BPrivate::kMessageDelivered) != 0;
}

bool
BMessage::IsSourceWaiting() const
{
	return (fFlags & BPrivate::kMessageReplyRequired) != 0 &&
	       (fFlags & BPrivate::kMessageReplyDone) == 0;
}

bool
BMessage::IsSourceRemote() const
{
	return (fFlags & BPrivate::kMessageSourceRemote) != 0;
}

bool
BMessage::WasDropped() const
{
	return (fFlags & BPrivate::kMessageDropped) != 0;
}

BPoint
BMessage::DropPoint(BPoint* offset) const
{
	if (offset != nullptr)
		*offset = fDropOffset;
	return fDropPoint;
}

// #pragma mark - field storage

const MessageField*
BMessage::_FindField(const char* name) const
{
	if (name == nullptr)
		return nullptr;
	for (const MessageField& field : fFields) {
		if (field.name == name)
			return &field;
	}
	return nullptr;
}

MessageField*
BMessage::_FindField(const char* name)
{
	return const_cast<MessageField*>(std::as_const(*this)._FindField(name));
}

status_t
BMessage::_FindItem(const char* name, type_code type, int32 index, const std::string** item) const
{
	if (name == nullptr)
		return B_BAD_VALUE;
	const MessageField* field = _FindField(name);
	if (field == nullptr)
		return B_NAME_NOT_FOUND;
	if (type != B_ANY_TYPE && field->type != type)
		return B_BAD_TYPE;
	if (index < 0 || (size_t)index >= field->items.size())
		return B_BAD_INDEX;
	*item = &field->items[index];
	return B_OK;
}

status_t
BMessage::_FindFixed(const char* name, type_code type, int32 index, void* value, size_t size) const
{
	if (value == nullptr)
		return B_BAD_VALUE;
	const std::string* item;
	status_t status = _FindItem(name, type, index, &item);
	if (status != B_OK)
		return status;
	if (item->size() != size)
		return B_BAD_VALUE;
	memcpy(value, item->data(), size);
	return B_OK;
}

status_t
BMessage::_AddItem(const char* name, type_code type, const void* data, size_t size, bool fixedSize)
{
	if (name == nullptr || data == nullptr || size == 0 || type == B_ANY_TYPE ||
	    strlen(name) > BPrivate::kMaxFieldNameLength)
		return B_BAD_VALUE;
	status_t status = BPrivate::CheckValue(type, data, size, 0);
	if (status != B_OK)
		return status;

	MessageField* field = _FindField(name);
	if (field != nullptr) {
		if (field->type != type)
			return B_BAD_TYPE;
		if (field->fixedSize && field->items.front().size() != size)
			return B_BAD_VALUE;
		field->items.emplace_back((const char*)data, size);
		return B_OK;
	}
	MessageField newField;
	newField.name = name;
	newField.type = type;
	newField.fixedSize = fixedSize;
	newField.items.emplace_back((const char*)data, size);
	fFields.push_back(std::move(newField));
	return B_OK;
}

status_t
BMessage::_ReplaceItem(const char* name, type_code type, int32 index, const void* data, size_t size)
{
	if (name == nullptr || data == nullptr || size == 0)
		return B_BAD_VALUE;
	MessageField* field = _FindField(name);
	if (field == nullptr)
		return B_NAME_NOT_FOUND;
	if (field->type != type)
		return B_BAD_TYPE;
	if (index < 0 || (size_t)index >= field->items.size())
		return B_BAD_INDEX;
	if (field->fixedSize && field->items[index].size() != size)
		return B_BAD_VALUE;
	status_t status = BPrivate::CheckValue(type, data, size, 0);
	if (status != B_OK)
		return status;
	field->items[index].assign((const char*)data, size);
	return B_OK;
}

status_t
BMessage::AddData(const char* name, type_code type, const void* data, ssize_t numBytes,
                  bool isFixedSize, int32)
{
	if (numBytes <= 0)
		return B_BAD_VALUE;
	return _AddItem(name, type, data, (size_t)numBytes, isFixedSize);
}

status_t
BMessage::FindData(const char* name, type_code type, const void** data, ssize_t* numBytes) const
{
	return FindData(name, type, 0, data, numBytes);
}

status_t
BMessage::FindData(const char* name, type_code type, int32 index, const void** data,
                   ssize_t* numBytes) const
{
	if (data == nullptr)
		return B_BAD_VALUE;
	const std::string* item;
	status_t status = _FindItem(name, type, index, &item);
	if (status != B_OK) {
		*data = nullptr;
		return status;
	}
	*data = item->data();
	if (numBytes != nullptr)
		*numBytes = (ssize_t)item->size();
	return B_OK;
}

status_t
BMessage::ReplaceData(const char* name, type_code type, const void* data, ssize_t numBytes)
{
	return ReplaceData(name, type, 0, data, numBytes);
}

status_t
BMessage::ReplaceData(const char* name, type_code type, int32 index, const void* data,
                      ssize_t numBytes)
{
	if (numBytes <= 0)
		return B_BAD_VALUE;
	return _ReplaceItem(name, type, index, data, (size_t)numBytes);
}

bool
BMessage::HasData(const char* name, type_code type, int32 index) const
{
	const std::string* item;
	return _FindItem(name, type, index, &item) == B_OK;
}

status_t
BMessage::RemoveData(const char* name, int32 index)
{
	if (name == nullptr)
		return B_BAD_VALUE;
	MessageField* field = _FindField(name);
	if (field == nullptr)
		return B_NAME_NOT_FOUND;
	if (index < 0 || (size_t)index >= field->items.size())
		return B_BAD_INDEX;
	if (field->items.size() == 1)
		return RemoveName(name);
	field->items.erase(field->items.begin() + index);
	return B_OK;
}

status_t
BMessage::RemoveName(const char* name)
{
	if (name == nullptr)
		return B_BAD_VALUE;
	for (auto it = fFields.begin(); it != fFields.end(); ++it) {
		if (it->name == name) {
			fFields.erase(it);
			return B_OK;
		}
	}
	return B_NAME_NOT_FOUND;
}

status_t
BMessage::MakeEmpty()
{
	fFields.clear();
	return B_OK;
}

// #pragma mark - typed values of fixed size

// Add, Find (first and indexed), Replace (first and indexed) and Has for a type whose
// values are stored as their bytes.
#define KV_DEFINE_FIXED_FIELD(NAME, TYPE, CODE)                                                    \
	status_t BMessage::Add##NAME(const char* name, TYPE value)                                     \
	{                                                                                              \
		return _AddItem(name, CODE, &value, sizeof(TYPE), true);                                   \
	}                                                                                              \
	status_t BMessage::Find##NAME(const char* name, TYPE* value) const                             \
	{                                                                                              \
		return _FindFixed(name, CODE, 0, value, sizeof(TYPE));                                     \
	}                                                                                              \
	status_t BMessage::Find##NAME(const char* name, int32 index, TYPE* value) const                \
	{                                                                                              \
		return _FindFixed(name, CODE, index, value, sizeof(TYPE));                                 \
	}                                                                                              \
	status_t BMessage::Replace##NAME(const char* name, TYPE value)                                 \
	{                                                                                              \
		return _ReplaceItem(name, CODE, 0, &value, sizeof(TYPE));                                  \
	}                                                                                              \
	status_t BMessage::Replace##NAME(const char* name, int32 index, TYPE value)                    \
	{                                                                                              \
		return _ReplaceItem(name, CODE, index, &value, sizeof(TYPE));                              \
	}                                                                                              \
	bool BMessage::Has##NAME(const char* name, int32 index) const                                  \
	{                                                                                              \
		return HasData(name, CODE, index);                                                         \
	}

KV_DEFINE_FIXED_FIELD(Int8, int8, B_INT8_TYPE)
KV_DEFINE_FIXED_FIELD(UInt8, uint8, B_UINT8_TYPE)
KV_DEFINE_FIXED_FIELD(Int16, int16, B_INT16_TYPE)
KV_DEFINE_FIXED_FIELD(UInt16, uint16, B_UINT16_TYPE)
KV_DEFINE_FIXED_FIELD(Int32, int32, B_INT32_TYPE)
KV_DEFINE_FIXED_FIELD(UInt32, uint32, B_UINT32_TYPE)
KV_DEFINE_FIXED_FIELD(Int64, int64, B_INT64_TYPE)
KV_DEFINE_FIXED_FIELD(UInt64, uint64, B_UINT64_TYPE)
KV_DEFINE_FIXED_FIELD(Float, float, B_FLOAT_TYPE)
KV_DEFINE_FIXED_FIELD(Double, double, B_DOUBLE_TYPE)
KV_DEFINE_FIXED_FIELD(Point, BPoint, B_POINT_TYPE)
KV_DEFINE_FIXED_FIELD(Rect, BRect, B_RECT_TYPE)
KV_DEFINE_FIXED_FIELD(Color, rgb_color, B_RGB_COLOR_TYPE)

#undef KV_DEFINE_FIXED_FIELD

// Booleans are one byte; any non-zero byte from a foreign file reads as true.
status_t
BMessage::AddBool(const char* name, bool value)
{
	uint8 byte = value ? 1 : 0;
	return _AddItem(name, B_BOOL_TYPE, &byte, 1, true);
}

status_t
BMessage::FindBool(const char* name, bool* value) const
{
	return FindBool(name, 0, value);
}

status_t
BMessage::FindBool(const char* name, int32 index, bool* value) const
{
	if (value == nullptr)
		return B_BAD_VALUE;
	uint8 byte;
	status_t status = _FindFixed(name, B_BOOL_TYPE, index, &byte, 1);
	if (status == B_OK)
		*value = byte != 0;
	return status;
}

status_t
BMessage::ReplaceBool(const char* name, bool value)
{
	return ReplaceBool(name, 0, value);
}

status_t
BMessage::ReplaceBool(const char* name, int32 index, bool value)
{
	uint8 byte = value ? 1 : 0;
	return _ReplaceItem(name, B_BOOL_TYPE, index, &byte, 1);
}

bool
BMessage::HasBool(const char* name, int32 index) const
{
	return HasData(name, B_BOOL_TYPE, index);
}

// Pointers are only meaningful inside this program; they are stored as 64-bit values.
status_t
BMessage::AddPointer(const char* name, const void* pointer)
{
	uint64 value = (uint64)(uintptr_t)pointer;
	return _AddItem(name, B_POINTER_TYPE, &value, sizeof(value), true);
}

status_t
BMessage::FindPointer(const char* name, void** pointer) const
{
	return FindPointer(name, 0, pointer);
}

status_t
BMessage::FindPointer(const char* name, int32 index, void** pointer) const
{
	if (pointer == nullptr)
		return B_BAD_VALUE;
	uint64 value;
	status_t status = _FindFixed(name, B_POINTER_TYPE, index, &value, sizeof(value));
	*pointer = status == B_OK ? (void*)(uintptr_t)value : nullptr;
	return status;
}

status_t
BMessage::ReplacePointer(const char* name, const void* pointer)
{
	return ReplacePointer(name, 0, pointer);
}

status_t
BMessage::ReplacePointer(const char* name, int32 index, const void* pointer)
{
	uint64 value = (uint64)(uintptr_t)pointer;
	return _ReplaceItem(name, B_POINTER_TYPE, index, &value, sizeof(value));
}

bool
BMessage::HasPointer(const char* name, int32 index) const
{
	return HasData(name, B_POINTER_TYPE, index);
}

// #pragma mark - strings and nested messages

// Strings are stored with their terminating NUL, in a field of variable size.
status_t
BMessage::AddString(const char* name, const char* string)
{
	if (string == nullptr)
		return B_BAD_VALUE;
	return _AddItem(name, B_STRING_TYPE, string, strlen(string) + 1, false);
}

status_t
BMessage::AddString(const char* name, const BString& string)
{
	return AddString(name, string.String());
}

status_t
BMessage::FindString(const char* name, const char** string) const
{
	return FindString(name, 0, string);
}

status_t
BMessage::FindString(const char* name, int32 index, const char** string) const
{
	if (string == nullptr)
		return B_BAD_VALUE;
	const std::string* item;
	status_t status = _FindItem(name, B_STRING_TYPE, index, &item);
	*string = status == B_OK ? item->c_str() : nullptr;
	return status;
}

status_t
BMessage::FindString(const char* name, BString* string) const
{
	return FindString(name, 0, string);
}

status_t
BMessage::FindString(const char* name, int32 index, BString* string) const
{
	if (string == nullptr)
		return B_BAD_VALUE;
	const char* value;
	status_t status = FindString(name, index, &value);
	if (status == B_OK)
		string->SetTo(value);
	return status;
}

status_t
BMessage::ReplaceString(const char* name, const char* string)
{
	return ReplaceString(name, 0, string);
}

status_t
BMessage::ReplaceString(const char* name, int32 index, const char* string)
{
	if (string == nullptr)
		return B_BAD_VALUE;
	return _ReplaceItem(name, B_STRING_TYPE, index, string, strlen(string) + 1);
}

status_t
BMessage::ReplaceString(const char* name, const BString& string)
{
	return ReplaceString(name, 0, string.String());
}

status_t
BMessage::ReplaceString(const char* name, int32 index, const BString& string)
{
	return ReplaceString(name, index, string.String());
}

bool
BMessage::HasString(const char* name, int32 index) const
{
	return HasData(name, B_STRING_TYPE, index);
}

// A nested message is stored flattened, so it is a copy that later changes to the
// original do not reach.
status_t
BMessage::AddMessage(const char* name, const BMessage* message)
{
	if (message == nullptr)
		return B_BAD_VALUE;
	std::vector<char> buffer(message->FlattenedSize());
	status_t status = message->Flatten(buffer.data(), buffer.size());
	if (status != B_OK)
		return status;
	return _AddItem(name, B_MESSAGE_TYPE, buffer.data(), buffer.size(), false);
}

status_t
BMessage::FindMessage(const char* name, BMessage* message) const
{
	return FindMessage(name, 0, message);
}

status_t
BMessage::FindMessage(const char* name, int32 index, BMessage* message) const
{
	if (message == nullptr)
		return B_BAD_VALUE;
	const std::string* item;
	status_t status = _FindItem(name, B_MESSAGE_TYPE, index, &item);
	if (status != B_OK)
		return status;
	return message->Unflatten(item->data(), (ssize_t)item->size());
}

status_t
BMessage::ReplaceMessage(const char* name, const BMessage* message)
{
	return ReplaceMessage(name, 0, message);
}

status_t
BMessage::ReplaceMessage(const char* name, int32 index, const BMessage* message)
{
	if (message == nullptr)
		return B_BAD_VALUE;
	std::vector<char> buffer(message->FlattenedSize());
	status_t status = message->Flatten(buffer.data(), buffer.size());
	if (status != B_OK)
		return status;
	return _ReplaceItem(name, B_MESSAGE_TYPE, index, buffer.data(), buffer.size());
}

bool
BMessage::HasMessage(const char* name, int32 index) const
{
	return HasData(name, B_MESSAGE_TYPE, index);
}

bool
BMessage::HasMessenger(const char* name, int32 index) const
{
	return HasData(name, B_MESSENGER_TYPE, index);
}

bool
BMessage::HasRef(const char* name, int32 index) const
{
	return HasData(name, B_REF_TYPE, index);
}

// #pragma mark - printing

static void
PrintTypeCode(type_code type)
{
	char text[5];
	for (int i = 0; i < 4; i++) {
		char c = char(type >> (24 - 8 * i));
		text[i] = isprint((unsigned char)c) ? c : '.';
	}
	text[4] = '\0';
	printf("'%s'", text);
}

static void
PrintValue(type_code type, const std::string& item)
{
	const char* data = item.data();
	switch (type) {
	case B_INT8_TYPE:
		printf("int8(%d)", (int)(int8)data[0]);
		return;
	case B_BOOL_TYPE:
		printf("bool(%s)", data[0] != 0 ? "true" : "false");
		return;
	case B_STRING_TYPE:
		printf("string(\"%s\", %zu bytes)", item.c_str(), item.size());
		return;
	}
	if (type == B_INT32_TYPE || type == B_FLOAT_TYPE || type == B_POINT_TYPE ||
	    type == B_RECT_TYPE || type == B_INT64_TYPE || type == B_DOUBLE_TYPE) {
		union
		{
			int32 i32;
			int64 i64;
			float f[4];
			double d;
		} value;
		memcpy(&value, data, std::min(item.size(), sizeof(value)));
		if (type == B_INT32_TYPE)
			printf("int32(%" PRId32 " or 0x%" PRIx32 ")", value.i32, (uint32)value.i32);
		else if (type == B_INT64_TYPE)
			printf("int64(%" PRId64 ")", value.i64);
		else if (type == B_FLOAT_TYPE)
			printf("float(%.4f)", value.f[0]);
		else if (type == B_DOUBLE_TYPE)
			printf("double(%.8g)", value.d);
		else if (type == B_POINT_TYPE)
			printf("BPoint(x:%.1f, y:%.1f)", value.f[0], value.f[1]);
		else
			printf("BRect(l:%.1f, t:%.1f, r:%.1f, b:%.1f)", value.f[0], value.f[1], value.f[2],
			       value.f[3]);
		return;
	}
	PrintTypeCode(type);
	printf(" data, %zu bytes", item.size());
}

void
BMessage::_PrintField(const MessageField& field) const
{
	for (size_t i = 0; i < field.items.size(); i++) {
		if (field.items.size() == 1)
			printf("    %s = ", field.name.c_str());
		else
			printf("    %s[%zu] = ", field.name.c_str(), i);
		PrintValue(field.type, field.items[i]);
		printf("\n");
	}
}

void
BMessage::PrintToStream() const
{
	printf("BMessage(");
	PrintTypeCode(what);
	printf(") {\n");
	for (const MessageField& field : fFields)
		_PrintField(field);
	printf("}\n");
}
