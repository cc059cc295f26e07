// The process-wide table of directories the kit has met, so that an entry_ref or a
// node_ref (device and inode numbers only) can be turned back into a host path.
#ifndef KIT_LINUX_DIRECTORY_TABLE_H
#define KIT_LINUX_DIRECTORY_TABLE_H

#include <SupportDefs.h>

#include <string>

namespace BPrivate {

// Records that the directory (device, inode) lives at the given absolute host path.
// Every BDirectory, BEntry and path lookup of the kit feeds this; it is thread safe.
void RememberDirectory(dev_t device, ino_t inode, const std::string& path);

// Finds the current host path of a directory met before. A recorded path that no longer
// names that directory is looked for again among the children of its old parent and of
// the other recorded directories (a rename or a move inside known ground); when that
// fails too, the result is B_ENTRY_NOT_FOUND and the stale record is dropped.
status_t FindDirectory(dev_t device, ino_t inode, std::string* path);

// Finds a node of any kind among the directories met before and their entries (a file
// has no table of its own): its current host path, or B_ENTRY_NOT_FOUND.
status_t FindNode(dev_t device, ino_t inode, std::string* path);

// Stats path (following links) and, when it is a directory, remembers it.
void RememberDirectoryPath(const std::string& path);

} // namespace BPrivate

#endif // KIT_LINUX_DIRECTORY_TABLE_H
