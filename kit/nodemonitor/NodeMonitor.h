// The node monitor: watch a file system node (or a directory's entries) and receive
// B_NODE_MONITOR messages about its changes. See kit/README.md for how the notices map
// onto the host and which fields each opcode carries.
#ifndef _NODE_MONITOR_H
#define _NODE_MONITOR_H

#include <Messenger.h>
#include <Node.h>

// Flags of watch_node().
enum
{
	B_STOP_WATCHING = 0x0000,
	B_WATCH_NAME = 0x0001,
	B_WATCH_STAT = 0x0002,
	B_WATCH_ATTR = 0x0004,
	B_WATCH_DIRECTORY = 0x0008,
	B_WATCH_ALL = 0x000f,
	B_WATCH_MOUNT = 0x0010
};

// The "opcode" field of a B_NODE_MONITOR message.
enum
{
	B_ENTRY_CREATED = 1,
	B_ENTRY_REMOVED = 2,
	B_ENTRY_MOVED = 3,
	B_STAT_CHANGED = 4,
	B_ATTR_CHANGED = 5,
	B_DEVICE_MOUNTED = 6,
	B_DEVICE_UNMOUNTED = 7
};

// The "cause" field of B_ATTR_CHANGED (B_ATTR_CHANGED itself is the third cause).
enum
{
	B_ATTR_CREATED = 1,
	B_ATTR_REMOVED = 2
};

// The bits of the "fields" field of B_STAT_CHANGED.
enum
{
	B_STAT_MODE = 0x0001,
	B_STAT_UID = 0x0002,
	B_STAT_GID = 0x0004,
	B_STAT_SIZE = 0x0008,
	B_STAT_ACCESS_TIME = 0x0010,
	B_STAT_MODIFICATION_TIME = 0x0020,
	B_STAT_CREATION_TIME = 0x0040,
	B_STAT_CHANGE_TIME = 0x0080
};

// Adds flags to the target's watch of the node (B_STOP_WATCHING ends it). B_OK,
// B_BAD_VALUE for a null node or an invalid target (or, when stopping, no such watch),
// B_ENTRY_NOT_FOUND when the node cannot be found, or the host's error.
status_t watch_node(const node_ref* node, uint32 flags, BMessenger target);
status_t watch_node(const node_ref* node, uint32 flags, const BHandler* handler,
                    const BLooper* looper = nullptr);

// Ends every watch of the target.
status_t stop_watching(BMessenger target);
status_t stop_watching(const BHandler* handler, const BLooper* looper = nullptr);

#endif // _NODE_MONITOR_H
