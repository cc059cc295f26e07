// One slot of one folder: empty ("Add Bookmark Here") or a bookmark read from its file.
// The item owns the menu entry's message only through the entry; the entry belongs to
// the folder's menu once added to it, and the item never deletes it.
#ifndef KV_ITEM_H
#define KV_ITEM_H

#include <Entry.h>
#include <MenuItem.h>
#include <Messenger.h>
#include <Node.h>
#include <Path.h>
#include <String.h>

class BHandler;
class BMessage;

// The menu entry of a slot: it always sends its own message.
class KVMenuItem : public BMenuItem
{
public:
	KVMenuItem(const char* label, BMessage* message);
	virtual ~KVMenuItem();

	status_t Invoke(BMessage* message = nullptr) override;
};

// What identifies an item's file in node-monitor messages.
struct KVRawItem
{
	dev_t device;
	ino_t directory;
	const char* name;
	ino_t node;
};

class KVItem
{
public:
	KVItem(BHandler* target, int number, int folder);
	~KVItem();

	// Reads the bookmark file at path; false (with the fields read so far kept) when it
	// is missing or not a readable bookmark. The path is kept whenever the file exists.
	// Leaves the state and label alone.
	bool SetFile(const char* path);
	// The same for an entry already resolved (one met while listing its folder), which
	// saves resolving its path again; path is that entry's path.
	bool SetFile(const BEntry& entry, const char* path);
	void SetValid(bool valid);
	// Rebuilds a valid item's label from its name, URL and the show-URL setting.
	void UpdateItem();

	bool IsValid() const { return fValid; }
	BMenuItem* MenuItem() const { return fMenuItem; }
	const char* Path() const { return fPath.Path(); }
	const char* Name() const { return fName.String(); }
	const char* Url() const { return fUrl.String(); }
	const char* Keywords() const { return fKeywords.String(); }
	int32 Number() const { return fNumber; }
	int32 Folder() const { return fFolder; }
	KVRawItem RawItem() const;
	entry_ref Ref() const { return fRef; }
	node_ref NodeRef() const { return node_ref(fRef.device, fNode); }

	bool Watch(BMessenger messenger);
	void StopWatching(BMessenger messenger);

	void SetTarget(BHandler* target);
	void SetFolder(int folder) { fFolder = folder; }
	void SetNumber(int number) { fNumber = number; }
	void SetName(const char* name) { fName = name; }
	void SetUrl(const char* url) { fUrl = url; }
	void SetKeywords(const char* keywords) { fKeywords = keywords; }

private:
	KVItem(const KVItem&) = delete;
	KVItem& operator=(const KVItem&) = delete;

	BString _ValidLabel() const;
	void _SetFields(uint32 what);

	BString fName;
	BString fUrl;
	BString fKeywords;
	int32 fNumber;
	int32 fFolder;
	bool fValid;
	BPath fPath;
	entry_ref fRef;
	ino_t fNode;
	BMessage* fMessage;
	BHandler* fTarget;
	KVMenuItem* fMenuItem;
};

#endif // KV_ITEM_H
