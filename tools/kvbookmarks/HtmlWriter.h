// Writes the store as a Netscape bookmark file, the format every browser imports: one
// folder per store folder, in digit order, each with its bookmarks in slot order.
#ifndef KV_HTML_WRITER_H
#define KV_HTML_WRITER_H

#include "StoreView.h"

#include <string>

// All ten folders are written (a missing one as an empty folder without a name), so that
// importing the file with --folders into an empty store gives each folder its digit back;
// each link carries its slot digit for the same reason. Slots without a readable bookmark
// or without a URL are left out.
std::string FormatHtmlBookmarks(const KVStoreView& store);

#endif // KV_HTML_WRITER_H
