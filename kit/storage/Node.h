// BNode: an open file system node and its attributes; node_ref names a node.
#ifndef _NODE_H
#define _NODE_H

#include <Statable.h>
#include <StorageDefs.h>
#include <TypeConstants.h>
#include <fs_attr.h>

#include <string>
#include <vector>

class BDirectory;
class BEntry;
struct entry_ref;

struct node_ref
{
	node_ref();
	node_ref(dev_t device, ino_t node);

	bool operator==(const node_ref& other) const;
	bool operator!=(const node_ref& other) const;
	bool operator<(const node_ref& other) const;

	dev_t device;
	ino_t node;
};

// A node opened from a path follows symbolic links, as open() does: the node of a link
// is the node it points to. BEntry is the view of a link itself.
class BNode : public BStatable
{
public:
	BNode();
	BNode(const entry_ref* ref);
	BNode(const BEntry* entry);
	BNode(const char* path);
	BNode(const BDirectory* dir, const char* path);
	BNode(const BNode& node);
	virtual ~BNode();

	status_t InitCheck() const;
	virtual status_t GetStat(struct stat* info) const;

	status_t SetTo(const entry_ref* ref);
	status_t SetTo(const BEntry* entry);
	status_t SetTo(const char* path);
	status_t SetTo(const BDirectory* dir, const char* path);
	void Unset();

	status_t Sync();

	// Attribute names are at most B_ATTR_NAME_LENGTH - 5 bytes (the host adds "user.").
	// offset 0 replaces the whole value; offset > 0 overwrites that part of the existing
	// value and keeps the rest. A value the file system cannot hold fails whole with
	// B_FILE_TOO_LARGE or B_DEVICE_FULL; a file system without user attributes gives
	// B_NOT_SUPPORTED. Returns the bytes written or read, or an error.
	ssize_t WriteAttr(const char* name, type_code type, off_t offset, const void* buffer,
	                  size_t length);
	ssize_t ReadAttr(const char* name, type_code type, off_t offset, void* buffer,
	                 size_t length) const;
	status_t RemoveAttr(const char* name);
	// A missing attribute gives B_ENTRY_NOT_FOUND.
	status_t GetAttrInfo(const char* name, attr_info* info) const;

	// Walks a snapshot of the attribute names (taken at the first call after SetTo or
	// RewindAttrs) in byte order; buffer holds B_ATTR_NAME_LENGTH bytes. B_ENTRY_NOT_FOUND
	// at the end.
	status_t GetNextAttrName(char* buffer);
	status_t RewindAttrs();

	// A duplicate of the node's descriptor; the caller owns it. Negative on failure.
	int Dup();

	BNode& operator=(const BNode& node);
	bool operator==(const BNode& node) const;
	bool operator!=(const BNode& node) const;

protected:
	// Takes ownership of an open descriptor (or records a failure when fd < 0). A caller
	// that knows the node is no directory says so, which spares a stat.
	status_t _SetDescriptor(int fd, status_t status, bool mayBeDirectory = true);
	// The node was just created by this process, so it has no attributes yet.
	void _NodeIsNew();
	status_t _HostPathOf(const entry_ref* ref, std::string* path) const;
	status_t _OpenPath(const std::string& hostPath, int flags);

	int fFd;
	status_t fCStatus;

private:
	std::vector<std::string>* _TypedAttrs();

	std::vector<std::string> fAttrNames;
	size_t fAttrIndex;
	bool fAttrsListed;
	// The attributes of the node that carry a type record, learned once per open node
	// (none on a node this process created, else from one listing), so that writing a
	// string removes a record only where there is one.
	std::vector<std::string> fTypedAttrs;
	bool fTypedAttrsKnown;
};

#endif // _NODE_H
