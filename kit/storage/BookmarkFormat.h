// The bookmark file as BeOS browsers write it and Tracker shows it: an empty file whose
// file type marks it a bookmark and whose attributes carry the link. Everything that reads
// or writes one (the store, the importer, the kit's icons) names it through these.
#ifndef _BOOKMARK_FORMAT_H
#define _BOOKMARK_FORMAT_H

// The file type (BNodeInfo) of a bookmark; readers compare it without regard to case.
const char* const kBookmarkType = "application/x-vnd.Be-bookmark";

// String attributes of a bookmark file.
const char* const kUrlAttribute = "META:url";
const char* const kKeywordsAttribute = "META:keyw";
const char* const kTitleAttribute = "META:title";

#endif // _BOOKMARK_FORMAT_H
