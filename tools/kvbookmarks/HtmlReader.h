// Reads a Netscape bookmark file (the HTML export of every browser) with libxml2's HTML
// parser: <H3> starts a folder whose links are the next <DL>, <A HREF> is a link.
#ifndef KV_HTML_READER_H
#define KV_HTML_READER_H

#include "SourceTree.h"

#include <string>

// Fills tree from the file's bytes. Text arrives as UTF-8 whatever the file's declared
// encoding (a file that declares none is read as UTF-8). False with *error set when the
// bytes are no bookmark file (no link and no folder at all) or nest too deep.
bool ReadHtmlBookmarks(const char* data, size_t size, KVSourceTree* tree, std::string* error);

#endif // KV_HTML_READER_H
