// Named clipboards: one shared store per name in the program, kept for the program's
// life and guarded by a recursive BLocker, so that separate BClipboard objects of one
// name see each other's commits. The "system" store also goes through the registered
// ClipboardBridge, when there is one: a commit publishes its text to the desktop, and
// loading takes another program's text.
#include <Clipboard.h>

#include <Autolock.h>
#include <Locker.h>
#include <Message.h>

#include <map>
#include <mutex>
#include <shared_mutex>
#include <string>

#include "ClipboardBridge.h"

BClipboard* be_clipboard = nullptr;

namespace BPrivate {

struct clipboard_store
{
	explicit clipboard_store(const char* name)
	    : name(name), system(this->name == "system"), lock("clipboard"), count(0)
	{}

	std::string name;
	bool system; // bridged to the desktop's clipboard
	BLocker lock;
	BMessage data; // guarded by lock
	uint32 count;  // guarded by lock
	// What the last load took from another program, so that loading the same text again
	// is not counted as a change. Guarded by lock.
	bool foreign = false;
	bool foreignHasText = false;
	std::string foreignText;
};

} // namespace BPrivate

using BPrivate::clipboard_store;

namespace {

// A clipboard's data outlives the objects that name it, as on BeOS, where it lives in the
// system: committed data must still be there for the next BClipboard of that name.
std::mutex sStoresLock;
std::map<std::string, std::shared_ptr<clipboard_store>> sStores;

std::shared_ptr<clipboard_store>
StoreFor(const char* name)
{
	std::lock_guard<std::mutex> lock(sStoresLock);
	std::shared_ptr<clipboard_store>& store = sStores[name];
	if (!store)
		store = std::make_shared<clipboard_store>(name);
	return store;
}

std::shared_mutex sBridgeLock;
BPrivate::ClipboardBridge* sBridge = nullptr; // guarded by sBridgeLock

const char* const kTextType = "text/plain";

// Takes the desktop's clipboard into the store when another program holds it.
void
LoadFromDesktop(clipboard_store& store)
{
	std::string text;
	int32 answer;
	{
		std::shared_lock<std::shared_mutex> guard(sBridgeLock);
		if (sBridge == nullptr)
			return;
		answer = sBridge->Fetch(&text);
	}
	if (answer == BPrivate::kClipboardLocal)
		return;
	bool hasText = answer == BPrivate::kClipboardForeignText;
	if (store.foreign && store.foreignHasText == hasText && store.foreignText == text)
		return;
	store.data.MakeEmpty();
	if (hasText) {
		// Programs read "text/plain" as a C string, as they wrote it: add the NUL.
		text.push_back('\0');
		store.data.AddData(kTextType, B_MIME_TYPE, text.data(), (ssize_t)text.size());
		text.pop_back();
	}
	store.foreign = true;
	store.foreignHasText = hasText;
	store.foreignText = std::move(text);
	store.count++;
}

// Hands the committed text to the desktop. The NUL that programs store with the text is
// not part of it for other programs.
status_t
PublishToDesktop(const BMessage& data)
{
	std::shared_lock<std::shared_mutex> guard(sBridgeLock);
	if (sBridge == nullptr)
		return B_OK;
	const void* bytes = nullptr;
	ssize_t size = 0;
	if (data.FindData(kTextType, B_MIME_TYPE, &bytes, &size) != B_OK)
		return sBridge->Publish(nullptr);
	std::string text((const char*)bytes, (size_t)size);
	if (!text.empty() && text.back() == '\0')
		text.pop_back();
	return sBridge->Publish(&text);
}

} // namespace

namespace BPrivate {

ClipboardBridge::~ClipboardBridge()
{}

void
RegisterClipboardBridge(ClipboardBridge* bridge)
{
	std::unique_lock<std::shared_mutex> guard(sBridgeLock);
	sBridge = bridge;
}

void
UnregisterClipboardBridge(ClipboardBridge* bridge)
{
	std::unique_lock<std::shared_mutex> guard(sBridgeLock);
	if (sBridge == bridge)
		sBridge = nullptr;
}

} // namespace BPrivate

BClipboard::BClipboard(const char* name, bool)
    : fStore(StoreFor(name != nullptr ? name : "system")), fData(new BMessage), fLocalCount(0),
      fLocks(0)
{}

BClipboard::~BClipboard()
{
	// A clipboard deleted while locked must not leave its name locked for good.
	for (; fLocks > 0; fLocks--)
		fStore->lock.Unlock();
}

const char*
BClipboard::Name() const
{
	return fStore->name.c_str();
}

bool
BClipboard::Lock()
{
	if (!fStore->lock.Lock())
		return false;
	if (fLocks++ == 0)
		_Load();
	return true;
}

void
BClipboard::Unlock()
{
	if (fLocks <= 0 || !fStore->lock.IsLocked())
		return;
	fLocks--;
	fStore->lock.Unlock();
}

bool
BClipboard::IsLocked() const
{
	return fLocks > 0 && fStore->lock.IsLocked();
}

status_t
BClipboard::Clear()
{
	if (!IsLocked())
		return B_NOT_ALLOWED;
	fData->MakeEmpty();
	return B_OK;
}

status_t
BClipboard::Commit()
{
	return Commit(false);
}

status_t
BClipboard::Commit(bool failIfChanged)
{
	if (!IsLocked())
		return B_NOT_ALLOWED;
	if (failIfChanged && fStore->count != fLocalCount)
		return B_ERROR;
	fStore->data = *fData;
	fStore->foreign = false;
	fLocalCount = ++fStore->count;
	if (!fStore->system)
		return B_OK;
	return PublishToDesktop(*fData);
}

status_t
BClipboard::Revert()
{
	if (!IsLocked())
		return B_NOT_ALLOWED;
	_Load();
	return B_OK;
}

uint32
BClipboard::LocalCount() const
{
	return fLocalCount;
}

uint32
BClipboard::SystemCount() const
{
	BAutolock lock(fStore->lock);
	return fStore->count;
}

BMessage*
BClipboard::Data() const
{
	return IsLocked() ? fData.get() : nullptr;
}

void
BClipboard::_Load()
{
	if (fStore->system)
		LoadFromDesktop(*fStore);
	*fData = fStore->data;
	fLocalCount = fStore->count;
}
