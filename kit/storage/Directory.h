// BDirectory: an open directory, its entries in a stable order, and what can be made in
// it; create_directory makes a whole path of directories.
#ifndef _DIRECTORY_H
#define _DIRECTORY_H

#include <EntryList.h>
#include <Node.h>

class BFile;

// Entries come in byte order of their names, "." and ".." never; the order is fixed
// when the first entry is asked for after SetTo or Rewind (a snapshot), so "the first
// one met" is predictable. Entries removed after the snapshot are skipped.
class BDirectory : public BNode, public BEntryList
{
public:
	BDirectory();
	BDirectory(const BDirectory& dir);
	BDirectory(const entry_ref* ref);
	BDirectory(const node_ref* nref);
	BDirectory(const BEntry* entry);
	BDirectory(const char* path);
	BDirectory(const BDirectory* dir, const char* path);
	virtual ~BDirectory();

	status_t SetTo(const entry_ref* ref);
	status_t SetTo(const node_ref* nref);
	status_t SetTo(const BEntry* entry);
	status_t SetTo(const char* path);
	status_t SetTo(const BDirectory* dir, const char* path);
	void Unset();

	status_t GetEntry(BEntry* entry) const;
	// The entry at path (relative to this directory, or absolute); B_ENTRY_NOT_FOUND
	// when nothing is there.
	status_t FindEntry(const char* path, BEntry* entry, bool traverse = false) const;
	bool Contains(const char* path, int32 nodeFlags = B_ANY_NODE) const;
	bool Contains(const BEntry* entry, int32 nodeFlags = B_ANY_NODE) const;

	virtual status_t GetNextEntry(BEntry* entry, bool traverse = false);
	virtual status_t GetNextRef(entry_ref* ref);
	virtual int32 GetNextDirents(struct dirent* buffer, size_t length, int32 count = INT32_MAX);
	virtual status_t Rewind();
	// Counts the entries now on disk; the walk of GetNext* is not disturbed.
	virtual int32 CountEntries();

	// Both take paths relative to this directory. CreateFile erases an existing file
	// unless failIfExists; CreateDirectory gives B_FILE_EXISTS for an existing entry.
	// The objects passed in (owned by the caller) are set to the new file or directory.
	status_t CreateFile(const char* path, BFile* file, bool failIfExists = false);
	status_t CreateDirectory(const char* path, BDirectory* dir);

	BDirectory& operator=(const BDirectory& dir);

private:
	friend class BEntry;
	friend class BFile;
	friend class BNode;
	friend class BPath;

	status_t _OpenDirectory(const std::string& hostPath);
	status_t _TakeSnapshot();
	status_t _NextName(std::string* name, bool* isLink = nullptr);
	std::string _CurrentPath() const;

	std::string fPath;
	dev_t fDevice;
	ino_t fNode;
	std::vector<std::string> fNames;
	size_t fNextName;
	bool fListed;
};

// Creates path and every missing parent with the given permission bits (less the umask).
//   B_OK             the directory exists now (it may have existed before)
//   B_BAD_VALUE      NULL or empty path, a path too long, or a component (the last one
//                    too) that exists and is not a directory: the path cannot name one
//   B_NOT_ALLOWED    a directory would have to be made on a read-only volume
//   B_NO_MEMORY      the system ran out of memory
//   other errors     as the host reports them (B_PERMISSION_DENIED, B_DEVICE_FULL ...)
status_t create_directory(const char* path, mode_t mode);

#endif // _DIRECTORY_H
