// Reads the "Bookmarks" file of Chromium and the browsers built on it (a JSON document
// with the roots "bookmark_bar", "other" and "synced") through nlohmann::json.
#ifndef KV_CHROMIUM_READER_H
#define KV_CHROMIUM_READER_H

#include "SourceTree.h"

#include <string>

// Fills tree; the bookmark bar is the toolbar. False with *error set for text that is not
// JSON, JSON without the roots, or folders nested too deep.
bool ReadChromiumBookmarks(const char* data, size_t size, KVSourceTree* tree, std::string* error);

#endif // KV_CHROMIUM_READER_H
