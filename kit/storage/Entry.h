// BEntry: a named location in a directory (which may or may not exist yet), and
// entry_ref, the (device, directory, name) triple that names one without a path.
#ifndef _ENTRY_H
#define _ENTRY_H

#include <Statable.h>
#include <StorageDefs.h>

#include <string>

class BDirectory;
class BPath;

struct entry_ref
{
	entry_ref();
	entry_ref(dev_t device, ino_t directory, const char* name);
	entry_ref(const entry_ref& other);
	~entry_ref();

	// Copies name (NULL allowed); the ref owns its copy.
	status_t set_name(const char* name);

	bool operator==(const entry_ref& other) const;
	bool operator!=(const entry_ref& other) const;
	entry_ref& operator=(const entry_ref& other);

	dev_t device;
	ino_t directory;
	char* name;
};

bool operator<(const entry_ref& a, const entry_ref& b);

// The ref of the entry at path (the entry itself need not exist; its directory must).
status_t get_ref_for_path(const char* path, entry_ref* ref);

// An entry is its directory (resolved to a real host path, symbolic links and all) plus
// its leaf name. With traverse, a chain of symbolic links is followed to its end first
// (B_LINK_LIMIT for a loop); the end need not exist.
class BEntry : public BStatable
{
public:
	BEntry();
	BEntry(const BDirectory* dir, const char* path, bool traverse = false);
	BEntry(const entry_ref* ref, bool traverse = false);
	BEntry(const char* path, bool traverse = false);
	BEntry(const BEntry& entry);
	virtual ~BEntry();

	status_t InitCheck() const;
	bool Exists() const;

	virtual status_t GetStat(struct stat* info) const;

	status_t SetTo(const BDirectory* dir, const char* path, bool traverse = false);
	status_t SetTo(const entry_ref* ref, bool traverse = false);
	status_t SetTo(const char* path, bool traverse = false);
	void Unset();

	status_t GetRef(entry_ref* ref) const;
	status_t GetPath(BPath* path) const;
	status_t GetParent(BEntry* entry) const;
	status_t GetParent(BDirectory* dir) const;
	// buffer holds B_FILE_NAME_LENGTH bytes.
	status_t GetName(char* buffer) const;

	// Renames or moves the entry; a relative path is taken from the entry's directory.
	// Without clobber an existing target gives B_FILE_EXISTS and nothing changes. On
	// success the BEntry names the new location.
	status_t Rename(const char* path, bool clobber = false);
	status_t MoveTo(BDirectory* dir, const char* path = nullptr, bool clobber = false);
	// Removes the file, link or empty directory; the BEntry then names an absent entry.
	status_t Remove();

	bool operator==(const BEntry& item) const;
	bool operator!=(const BEntry& item) const;
	BEntry& operator=(const BEntry& item);

private:
	friend class BDirectory;
	friend class BFile;
	friend class BNode;

	status_t _SetHostPath(std::string path, bool traverse);
	// Settles on a name inside a directory whose path is already resolved.
	void _SetInDirectory(const std::string& directory, const std::string& name, dev_t device,
	                     ino_t directoryNode);
	status_t _Traverse(std::string* path) const;
	status_t _MoveToHostPath(const std::string& target, bool clobber);
	std::string _FullPath() const;

	std::string fDirectory;
	std::string fName;
	dev_t fDevice;
	ino_t fDirectoryNode;
	status_t fCStatus;
};

#endif // _ENTRY_H
