// Where BeOS paths live on the host, and the path arithmetic the storage kit shares.
// BeOS paths are mapped once, where they enter the kit; everything the kit hands back
// is a host path.
#ifndef KIT_LINUX_HOST_PATH_H
#define KIT_LINUX_HOST_PATH_H

#include <SupportDefs.h>

#include <string>

namespace BPrivate {

// $HOME, or the password database's home directory when HOME is unset or relative.
std::string HomeDirectory();

// $XDG_CONFIG_HOME when it is an absolute path, else HomeDirectory() + "/.config".
std::string ConfigDirectory();

// "/boot/home/config/settings[/...]" -> ConfigDirectory()[/...]; any other
// "/boot/home[/...]" -> HomeDirectory()[/...]; every other path is returned unchanged.
// The environment is read on every call, so a process (or a test) can relocate itself.
std::string MapToHostPath(const char* path);

// True when the path is relative or holds ".", ".." or empty components, or ends in "/".
bool NeedsNormalizing(const std::string& path);

// Maps, makes absolute and resolves ".", ".." and symbolic links in every component but
// the leaf. The parent directory must exist (B_ENTRY_NOT_FOUND otherwise); the leaf need
// not. Fails with B_BAD_VALUE for NULL or "", B_NAME_TOO_LONG past the kit's limits.
status_t NormalizePath(const char* path, std::string* result);

// NormalizePath for a path that is already a host path (no mapping).
status_t NormalizeHostPath(std::string path, std::string* result);

// Maps the path and normalises it only when NeedsNormalizing() says it must.
status_t HostPathFor(const char* path, bool normalize, std::string* result);

// Splits an absolute path into its directory and leaf ("/" has the leaf "" and parent "/").
void SplitPath(const std::string& path, std::string* parent, std::string* leaf);

// Joins a directory and a relative path with exactly one "/".
std::string JoinPath(const std::string& directory, const std::string& relative);

// The current host path of an open descriptor (it follows renames of the node);
// B_ENTRY_NOT_FOUND when the node has been removed.
status_t PathOfDescriptor(int fd, std::string* path);

} // namespace BPrivate

#endif // KIT_LINUX_HOST_PATH_H
