// Named clipboards: one shared store per name in the program, guarded by a recursive
// BLocker, so that separate BClipboard objects of one name see each other's commits.
#include <Clipboard.h>

#include <Autolock.h>
#include <Locker.h>
#include <Message.h>

#include <map>
#include <mutex>
#include <string>

BClipboard* be_clipboard = nullptr;

namespace BPrivate {

struct clipboard_store
{
	explicit clipboard_store(const char* name) : name(name), lock("clipboard"), count(0) {}

	std::string name;
	BLocker lock;
	BMessage data; // guarded by lock
	uint32 count;  // guarded by lock
};

} // namespace BPrivate

using BPrivate::clipboard_store;

namespace {

std::mutex sStoresLock;
std::map<std::string, std::weak_ptr<clipboard_store>> sStores;

std::shared_ptr<clipboard_store>
StoreFor(const char* name)
{
	std::lock_guard<std::mutex> lock(sStoresLock);
	std::weak_ptr<clipboard_store>& slot = sStores[name];
	std::shared_ptr<clipboard_store> store = slot.lock();
	if (!store) {
		store = std::make_shared<clipboard_store>(name);
		slot = store;
	}
	return store;
}

} // namespace

BClipboard::BClipboard(const char* name, bool transient)
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
	fLocalCount = ++fStore->count;
	return B_OK;
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
	*fData = fStore->data;
	fLocalCount = fStore->count;
}
