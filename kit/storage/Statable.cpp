// BStatable: the questions every entry and node answers from its stat data.
#include <Statable.h>

#include <Node.h>

BStatable::~BStatable()
{}

bool
BStatable::IsFile() const
{
	struct stat info;
	return GetStat(&info) == B_OK && S_ISREG(info.st_mode);
}

bool
BStatable::IsDirectory() const
{
	struct stat info;
	return GetStat(&info) == B_OK && S_ISDIR(info.st_mode);
}

bool
BStatable::IsSymLink() const
{
	struct stat info;
	return GetStat(&info) == B_OK && S_ISLNK(info.st_mode);
}

status_t
BStatable::GetNodeRef(node_ref* ref) const
{
	if (ref == nullptr)
		return B_BAD_VALUE;
	struct stat info;
	status_t status = GetStat(&info);
	if (status != B_OK)
		return status;
	ref->device = info.st_dev;
	ref->node = info.st_ino;
	return B_OK;
}

status_t
BStatable::GetModificationTime(time_t* when) const
{
	if (when == nullptr)
		return B_BAD_VALUE;
	struct stat info;
	status_t status = GetStat(&info);
	if (status == B_OK)
		*when = info.st_mtime;
	return status;
}

status_t
BStatable::GetPermissions(mode_t* permissions) const
{
	if (permissions == nullptr)
		return B_BAD_VALUE;
	struct stat info;
	status_t status = GetStat(&info);
	if (status == B_OK)
		*permissions = info.st_mode & 07777;
	return status;
}
