// What kvbookmarks does to the store: filing, removing and moving bookmarks, renaming
// folders, and opening a bookmark. Filing goes through the add-bookmark window's own
// code (KVFiling); nothing here erases, retypes or follows an entry that is not the
// slot's own bookmark file. Folder and slot are the digits 0..9 of the store's names.
#ifndef KV_STORE_COMMANDS_H
#define KV_STORE_COMMANDS_H

#include <String.h>

enum KVCommandStatus
{
	kCommandDone = 0,
	// The store refused: the slot is taken or empty, the entry is no bookmark file of
	// the folder, or a write failed.
	kCommandRefused = 1,
	kCommandUsage = 2,
	// A source could not be read or an output written.
	kCommandInput = 3,
	// Nothing could open the bookmark.
	kCommandNoBrowser = 4
};

struct KVCommandResult
{
	KVCommandResult(KVCommandStatus status = kCommandDone, const BString& message = BString())
	    : status(status), message(message)
	{}

	KVCommandStatus status;
	BString message; // for the user when status is not kCommandDone
};

// The longest name a bookmark or folder may have: its entry name ("d - " and the name)
// must fit the file system's 255 bytes.
const int32 kMaxNameLength = 251;

// The folder directory with the digit, made (with the store) as the bar makes a missing
// one, "%d -", when there is none. "" when it cannot be made.
BString EnsureFolder(int32 folder);

// A URL the bar would open: not empty, not starting with "-".
bool IsOpenableUrl(const BString& url, BString* why);

KVCommandResult AddBookmark(int32 folder, int32 slot, const BString& name, const BString& url,
                            const BString& keywords, bool replace);
KVCommandResult RemoveBookmark(int32 folder, int32 slot);
KVCommandResult MoveBookmark(int32 fromFolder, int32 fromSlot, int32 toFolder, int32 toSlot);
KVCommandResult RenameFolder(int32 folder, const BString& name);

// Opens the slot's bookmark: through the running bar when there is one, else in the
// browser chosen in the settings.
KVCommandResult OpenBookmark(int32 folder, int32 slot);

#endif // KV_STORE_COMMANDS_H
