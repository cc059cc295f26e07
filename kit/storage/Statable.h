// BStatable: what every file system object can tell about itself through stat().
#ifndef _STATABLE_H
#define _STATABLE_H

#include <SupportDefs.h>

#include <sys/stat.h>

struct node_ref;

class BStatable
{
public:
	virtual ~BStatable();

	// The object's stat data; an entry stats itself (a link is a link), a node its inode.
	virtual status_t GetStat(struct stat* info) const = 0;

	bool IsFile() const;
	bool IsDirectory() const;
	bool IsSymLink() const;

	status_t GetNodeRef(node_ref* ref) const;
	status_t GetModificationTime(time_t* when) const;
	status_t GetPermissions(mode_t* permissions) const;
};

#endif // _STATABLE_H
