// Filing a bookmark into a slot of the store: creating its file, or rewriting the
// bookmark the slot already holds, and renaming the folder on the way. Works on the disk
// alone (no window, no in-memory store), so the add-bookmark window and command-line
// tools share it. Nothing that is not this slot's bookmark is ever erased, retyped,
// followed or replaced; a failed write leaves no half-made bookmark behind.
#ifndef KV_FILING_H
#define KV_FILING_H

#include <String.h>

enum KVFilingStatus
{
	kFilingDone = 0,
	// Folder or slot is not 1..10.
	kFilingNoSelection,
	// The store has no directory with the folder's number.
	kFilingNoFolder,
	// The file could not be made: its name is taken by another entry, the slot is held
	// by an entry that is not a bookmark, or the folder refuses a new file.
	kFilingCreateFailed,
	// A file made by this filing could not be given the bookmark type; it was removed.
	kFilingTypeFailed,
	// The slot's bookmark could not be renamed (the new name is taken, or the folder
	// refuses); it is unchanged.
	kFilingRenameFailed,
	// The attributes could not be written: a file made by this filing was removed, an
	// existing bookmark got its old name and values back.
	kFilingAttributesFailed
};

struct KVBookmarkRequest
{
	KVBookmarkRequest() : folder(0), slot(0) {}

	int32 folder; // 1..10
	int32 slot;   // 1..10
	BString name;
	BString url;
	BString keywords;
	// The folder's name as the user wants it (the text after "d - ").
	BString folderName;
	// The leaf of the file that holds the slot as the caller sees it, "" for a free slot.
	// Only that entry of the folder is ever rewritten.
	BString seenLeaf;
};

struct KVFilingResult
{
	KVFilingResult() : status(kFilingNoSelection), folderRenameTried(false), created(false) {}

	KVFilingStatus status;
	// The folder directory found before any rename ("" when none was found).
	BString foundFolderPath;
	// The folder's name differed from the requested one, so a rename was tried.
	bool folderRenameTried;
	// The folder directory the bookmark went into (after a rename, its new path).
	BString folderPath;
	// The bookmark file written (its path when the filing succeeded).
	BString itemPath;
	// True when this filing made the file.
	bool created;
};

// Files the request into the store. Blocking disk work; no lock is taken.
KVFilingResult FileBookmark(const KVBookmarkRequest& request);

// A name as it may stand in a store entry: "/" (a path separator) and NUL (which would
// end the name) become "_". Other bytes are kept.
BString DiskName(const BString& name);

// The alert text and its one button for a status; NULL for kFilingDone.
const char* FilingAlertText(KVFilingStatus status);
const char* FilingAlertButton(KVFilingStatus status);

#endif // KV_FILING_H
