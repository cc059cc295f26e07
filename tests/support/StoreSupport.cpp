// Temporary stores and bookmark files for the store and add-bookmark tests.
#include "StoreSupport.h"

#include <climits>
#include <cstdlib>
#include <sys/stat.h>

namespace kvtest {

std::string
WithNul(const std::string& text)
{
	return text + std::string(1, '\0');
}

bool
MakeBookmark(const std::string& path, const BookmarkFields& fields)
{
	if (!WriteFile(path, ""))
		return false;
	if (!fields.type.empty() && !SetXattr(path, "user.mime_type", fields.type))
		return false;
	if (!SetXattr(path, "user.META:url", fields.url))
		return false;
	return !fields.hasKeywords || SetXattr(path, "user.META:keyw", fields.keywords);
}

bool
MakeBookmark(const std::string& path, const std::string& url, const std::string& keywords)
{
	BookmarkFields fields;
	fields.url = WithNul(url);
	fields.keywords = WithNul(keywords);
	return MakeBookmark(path, fields);
}

TempStore::TempStore(const char* tag, const char* home)
    : fDir(tag), fHome("HOME", home != nullptr ? home : fDir.Path().c_str()),
      fConfig("XDG_CONFIG_HOME", fDir.Path().c_str()), fReady(false)
{
	char resolved[PATH_MAX];
	if (realpath(fDir.Path().c_str(), resolved) == nullptr)
		return;
	fStore = std::string(resolved) + "/Kestrovane";
	fReady = mkdir(fStore.c_str(), 0755) == 0;
}

bool
TempStore::MakeFolder(const std::string& name) const
{
	return mkdir(Sub(name).c_str(), 0755) == 0;
}

} // namespace kvtest
