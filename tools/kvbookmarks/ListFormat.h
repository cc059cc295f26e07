// The store as kvbookmarks list prints it: lines a shell reads (and kvseed takes back),
// or JSON.
#ifndef KV_LIST_FORMAT_H
#define KV_LIST_FORMAT_H

#include "StoreView.h"

#include <string>

// One line per folder that exists, "D\t-\tNAME", followed by its taken slots,
// "D\tS\tNAME\tURL[\tKEYWORDS]". Tabs and line breaks inside a value print as blanks.
std::string FormatListText(const KVStoreView& store);

// {"folders": [{"folder": D, "name", "path", "slots": [{"slot": S, "name", "url",
// "keywords", "path", "bookmark": true|false}]}]}; bytes that are not UTF-8 become U+FFFD.
std::string FormatListJson(const KVStoreView& store);

#endif // KV_LIST_FORMAT_H
