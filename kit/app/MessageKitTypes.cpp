// BMessage fields whose values come from other parts of the kit: messengers (the team
// and tokens they address) and entry_refs (device, directory, name). Kept apart so the
// rest of BMessage needs neither type.
#include <Message.h>

#include <cstring>
#include <string>

#include <Entry.h>
#include <Messenger.h>

#include "MessengerPrivate.h"

namespace {

static_assert(sizeof(BPrivate::messenger_data) == 12, "a messenger value is 12 bytes");

// An entry_ref value: device and directory as 64-bit numbers, then the name with its
// NUL (an empty name for a ref without one).
std::string
RefBytes(const entry_ref& ref)
{
	int64 numbers[2] = {(int64)ref.device, (int64)ref.directory};
	std::string bytes((const char*)numbers, sizeof(numbers));
	if (ref.name != nullptr)
		bytes += ref.name;
	bytes += '\0';
	return bytes;
}

status_t
RefFromBytes(const void* data, ssize_t size, entry_ref* ref)
{
	int64 numbers[2];
	if (size < (ssize_t)sizeof(numbers) + 1)
		return B_BAD_VALUE;
	memcpy(numbers, data, sizeof(numbers));
	const char* name = (const char*)data + sizeof(numbers);
	ref->device = (dev_t)numbers[0];
	ref->directory = (ino_t)numbers[1];
	return ref->set_name(name[0] != '\0' ? name : nullptr);
}

} // namespace

status_t
BMessage::AddMessenger(const char* name, BMessenger messenger)
{
	BPrivate::messenger_data data = BPrivate::GetMessengerData(messenger);
	return _AddItem(name, B_MESSENGER_TYPE, &data, sizeof(data), true);
}

status_t
BMessage::FindMessenger(const char* name, BMessenger* messenger) const
{
	return FindMessenger(name, 0, messenger);
}

status_t
BMessage::FindMessenger(const char* name, int32 index, BMessenger* messenger) const
{
	if (messenger == nullptr)
		return B_BAD_VALUE;
	BPrivate::messenger_data data;
	status_t status = _FindFixed(name, B_MESSENGER_TYPE, index, &data, sizeof(data));
	if (status == B_OK)
		*messenger = BPrivate::MakeMessenger(data);
	return status;
}

status_t
BMessage::ReplaceMessenger(const char* name, BMessenger messenger)
{
	return ReplaceMessenger(name, 0, messenger);
}

status_t
BMessage::ReplaceMessenger(const char* name, int32 index, BMessenger messenger)
{
	BPrivate::messenger_data data = BPrivate::GetMessengerData(messenger);
	return _ReplaceItem(name, B_MESSENGER_TYPE, index, &data, sizeof(data));
}

status_t
BMessage::AddRef(const char* name, const entry_ref* ref)
{
	if (ref == nullptr)
		return B_BAD_VALUE;
	std::string bytes = RefBytes(*ref);
	return _AddItem(name, B_REF_TYPE, bytes.data(), bytes.size(), false);
}

status_t
BMessage::FindRef(const char* name, entry_ref* ref) const
{
	return FindRef(name, 0, ref);
}

status_t
BMessage::FindRef(const char* name, int32 index, entry_ref* ref) const
{
	if (ref == nullptr)
		return B_BAD_VALUE;
	const void* data;
	ssize_t size;
	status_t status = FindData(name, B_REF_TYPE, index, &data, &size);
	if (status != B_OK)
		return status;
	return RefFromBytes(data, size, ref);
}

status_t
BMessage::ReplaceRef(const char* name, const entry_ref* ref)
{
	return ReplaceRef(name, 0, ref);
}

status_t
BMessage::ReplaceRef(const char* name, int32 index, const entry_ref* ref)
{
	if (ref == nullptr)
		return B_BAD_VALUE;
	std::string bytes = RefBytes(*ref);
	return _ReplaceItem(name, B_REF_TYPE, index, bytes.data(), bytes.size());
}
