// The C attribute calls: attributes of an open file, and attribute directories.
// Results follow the kit's convention: a byte count or 0 on success, and on failure a
// negative BeOS status code (never a bare -1), so callers can test "< 0" as on BeOS
// and still learn why.
#ifndef _FS_ATTR_H
#define _FS_ATTR_H

#include <SupportDefs.h>

#include <dirent.h>

struct attr_info
{
	uint32 type;
	off_t size;
};

// An attribute directory lists the names of a file's attributes in byte order. The DIR
// returned is the kit's own object: only the fs_*_attr_dir calls may take it.
DIR* fs_open_attr_dir(const char* path);
DIR* fs_fopen_attr_dir(int fd);
// The next name in d_name (d_ino and d_type carry nothing), or NULL at the end.
struct dirent* fs_read_attr_dir(DIR* dir);
void fs_rewind_attr_dir(DIR* dir);
int fs_close_attr_dir(DIR* dir);

// pos 0 replaces the value; pos > 0 writes into the existing value (see BNode).
ssize_t fs_write_attr(int fd, const char* attribute, uint32 type, off_t pos, const void* buffer,
                      size_t writeBytes);
// The type argument is not checked against the stored type, as on BeOS.
ssize_t fs_read_attr(int fd, const char* attribute, uint32 type, off_t pos, void* buffer,
                     size_t readBytes);
int fs_remove_attr(int fd, const char* attribute);
int fs_stat_attr(int fd, const char* attribute, struct attr_info* info);

#endif // _FS_ATTR_H
