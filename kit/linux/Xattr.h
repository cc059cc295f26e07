// BeOS attributes over Linux extended attributes.
//
// Attribute NAME is the xattr "user.NAME" and holds exactly the bytes written, so
// getfattr/setfattr and other programs see the same value. A value whose type is not
// B_STRING_TYPE has its type recorded beside it in "user.kv.type.NAME" (four bytes, the
// type code big-endian); those records never show in listings, and names that would
// collide with them are refused. An attribute without a record reads as B_STRING_TYPE.
#ifndef KIT_LINUX_XATTR_H
#define KIT_LINUX_XATTR_H

#include <SupportDefs.h>

#include <string>
#include <vector>

namespace BPrivate {

// The host namespace of every attribute the kit reads or writes: attribute NAME is the
// xattr "user.NAME".
const char kUserNamespace[] = "user.";
// The attribute-name prefix of the kit's type records: the type of NAME is recorded in
// the attribute "kv.type.NAME" (the xattr "user.kv.type.NAME").
const char kTypeRecordPrefix[] = "kv.type.";

// The largest value the kernel passes for one extended attribute; a file system may take
// less (ext4 keeps all of a file's attributes in about one block).
const size_t kMaxAttributeSize = 65536;

// Reads up to size bytes of the value from offset pos. Returns the byte count (0 past
// the end) or B_ENTRY_NOT_FOUND, B_NOT_SUPPORTED, B_BAD_VALUE, B_NAME_TOO_LONG ...
ssize_t ReadAttribute(int fd, const char* name, off_t pos, void* buffer, size_t size);

// Writes size bytes at pos. pos 0 replaces the whole value; pos > 0 overwrites that part
// of the existing value, keeping the bytes after it and filling a gap with zeros.
// A value the file system cannot take fails whole (B_FILE_TOO_LARGE or B_DEVICE_FULL);
// it is never stored cut short.
// typedNames, when the caller knows them, are the attributes of the node that have a type
// record (see ListTypedAttributes); a string value then removes a record only where one
// exists, and the list is kept up to date. NULL: a string value always tries to remove one.
ssize_t WriteAttribute(int fd, const char* name, type_code type, off_t pos, const void* buffer,
                       size_t size, std::vector<std::string>* typedNames = nullptr);

// The whole value of the attribute.
status_t ReadAttributeValue(int fd, const char* name, std::string* value);

status_t StatAttribute(int fd, const char* name, type_code* type, off_t* size);
// typedNames as for WriteAttribute.
status_t RemoveAttribute(int fd, const char* name, std::vector<std::string>* typedNames = nullptr);

// Every user attribute (other programs' too), without the "user." prefix and without
// the kit's type records, sorted by name in byte order.
status_t ListAttributes(int fd, std::vector<std::string>* names);

// The attributes that have a type record, from one listing of the node's xattrs.
status_t ListTypedAttributes(int fd, std::vector<std::string>* names);

} // namespace BPrivate

#endif // KIT_LINUX_XATTR_H
