// BEntryList: the interface of anything that hands out entries one by one.
#ifndef _ENTRY_LIST_H
#define _ENTRY_LIST_H

#include <SupportDefs.h>

#include <dirent.h>

class BEntry;
struct entry_ref;

class BEntryList
{
public:
	BEntryList();
	virtual ~BEntryList();

	// B_ENTRY_NOT_FOUND when there is no next entry.
	virtual status_t GetNextEntry(BEntry* entry, bool traverse = false) = 0;
	virtual status_t GetNextRef(entry_ref* ref) = 0;
	// Fills up to count dirents into buffer; returns how many (0 at the end) or an error.
	virtual int32 GetNextDirents(struct dirent* buffer, size_t length, int32 count = INT32_MAX) = 0;
	virtual status_t Rewind() = 0;
	virtual int32 CountEntries() = 0;
};

#endif // _ENTRY_LIST_H
