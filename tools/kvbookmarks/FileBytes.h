// Whole files in and out through the storage kit.
#ifndef KV_FILE_BYTES_H
#define KV_FILE_BYTES_H

#include <SupportDefs.h>

#include <string>

// Files larger than this are refused (B_FILE_TOO_LARGE): no bookmark file comes near it.
const off_t kMaxInputSize = 512 * 1024 * 1024;

// Reads the whole file at path (a BeOS or host path) into *bytes.
status_t ReadWholeFile(const char* path, std::string* bytes);

// Writes bytes as the whole file at path, creating or emptying it.
status_t WriteWholeFile(const char* path, const std::string& bytes);

// Writes bytes beside the file at path (a link is followed), then puts them in its place:
// until then the old file stays whole, and a failed write (a full disk) leaves it as it
// was. What is not a plain file (a device, a pipe) is written directly.
status_t ReplaceWholeFile(const char* path, const std::string& bytes);

#endif // KV_FILE_BYTES_H
