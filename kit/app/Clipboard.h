// BClipboard: a named clipboard holding one data message. Lock it, Clear() it, add fields
// to Data(), Commit(), Unlock(). Every BClipboard of one name in a program shares the data.
// Once the program has a display, the "system" clipboard is the desktop's clipboard: a
// commit hands its "text/plain" text to other programs, and Lock() loads the text that
// another program put there. Without a display it is local to the program.
#ifndef _CLIPBOARD_H
#define _CLIPBOARD_H

#include <SupportDefs.h>

#include <atomic>
#include <memory>

class BMessage;

namespace BPrivate {
struct clipboard_store;
}

class BClipboard
{
public:
	BClipboard(const char* name, bool transient = false);
	virtual ~BClipboard();

	const char* Name() const;

	// Lock() takes the clipboard for the calling thread (recursively) and loads the
	// current data into Data(). Always true: a clipboard cannot vanish under its users.
	bool Lock();
	void Unlock();
	bool IsLocked() const;

	// Need the lock. Clear() empties the data message; Commit() publishes it to every
	// clipboard of this name (for "system", to the desktop too: an error then means that
	// other programs do not see it, though this program does); Revert() throws away
	// changes since the last Lock or Commit.
	status_t Clear();
	status_t Commit();
	status_t Commit(bool failIfChanged);
	status_t Revert();

	// How many commits this clipboard has seen (LocalCount: when last loaded).
	uint32 LocalCount() const;
	uint32 SystemCount() const;

	// The data message while the caller holds the lock, else nullptr. The clipboard owns it.
	BMessage* Data() const;

private:
	BClipboard(const BClipboard&) = delete;
	BClipboard& operator=(const BClipboard&) = delete;

	void _Load();

	std::shared_ptr<BPrivate::clipboard_store> fStore;
	std::unique_ptr<BMessage> fData;
	uint32 fLocalCount;
	std::atomic<int32> fLocks; // levels this object holds, for the destructor
};

// The program's "system" clipboard; created with the BApplication, deleted with it.
extern BClipboard* be_clipboard;

#endif // _CLIPBOARD_H
