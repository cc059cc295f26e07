// What the inotify engine keeps per node: the node's handle (an O_PATH descriptor that
// follows it through renames), its listeners, its inotify watch, the name -> node table
// of a directory whose entries are followed, and the snapshot that tells an attribute
// change from a stat change.
#ifndef KIT_LINUX_INOTIFY_RECORD_H
#define KIT_LINUX_INOTIFY_RECORD_H

#include "InotifyMonitor.h"

#include <sys/stat.h>

namespace BPrivate {

// The parts of a node that IN_ATTRIB may have changed. Attribute values are kept as
// hashes so that a node with large attributes costs a few words per attribute.
struct NodeSnapshot
{
	bool taken = false;
	mode_t mode = 0;
	uid_t owner = 0;
	gid_t group = 0;
	off_t size = 0;
	timespec modified = {};
	timespec changed = {};
	std::map<std::string, size_t> attributes;
};

struct InotifyMonitor::Record
{
	Key key;
	Key parent;
	bool isDirectory = false;
	FileDescriptor handle;
	std::map<uint64, uint32> listeners;
	int wd = -1;
	uint32 mask = 0;
	bool followsChildren = false;
	std::map<std::string, ino_t> children;
	NodeSnapshot snapshot;

	uint32 AllFlags() const;
	std::vector<uint64> ListenersWith(uint32 flag) const;
};

// Reads the snapshot of an open handle; false when the node is gone.
bool TakeSnapshot(int handle, NodeSnapshot* snapshot);
// The current host path of a handle, or "" when the node has no name any more.
std::string HandlePath(int handle);

} // namespace BPrivate

#endif // KIT_LINUX_INOTIFY_RECORD_H
