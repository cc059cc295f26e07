// Writing one bookmark file for the importer, with the overwrite dialogue.
#ifndef KV_WRITE_FILE_H
#define KV_WRITE_FILE_H

// Writes the bookmark file FixString(name) inside folder, with its type and the attributes
// "META:url", "META:keyw" and "META:title". Asks on standard input before it overwrites an
// existing file. Returns true when the file was written or the user kept the existing one.
bool WriteFile(const char* folder, const char* name, const char* url);

#endif // KV_WRITE_FILE_H
