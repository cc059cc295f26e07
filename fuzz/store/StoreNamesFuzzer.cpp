// Feeds arbitrary bytes to the naming functions and, as attribute values, to the
// bookmark reading rule; checks the rule's promise that a value reads as its bytes up
// to the first NUL.
#include "store/KVNames.h"

#include <Entry.h>
#include <File.h>
#include <Node.h>
#include <NodeInfo.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Small enough for every file system's attribute space.
const size_t kMaxValue = 2000;

const std::string&
ScratchFile()
{
	static std::string sPath;
	if (sPath.empty()) {
		char pattern[] = "/tmp/kv-fuzz-XXXXXX";
		if (mkdtemp(pattern) == nullptr)
			abort();
		sPath = std::string(pattern) + "/bookmark";
		BFile file(sPath.c_str(), B_READ_WRITE | B_CREATE_FILE);
		BNode node(sPath.c_str());
		BNodeInfo(&node).SetType(kBookmarkType);
	}
	return sPath;
}

void
CheckNames(const std::string& text)
{
	int number = GetNumber(text.c_str());
	if (number < -1 || number > 9 || number != GetNumber(BString(text.c_str())))
		abort();
	BString name = GetName(text.c_str());
	if (name != GetName(BString(text.c_str())) || name.Length() > int32(text.size()))
		abort();
	BString url = ParseURL(text.c_str());
	size_t length = strlen(text.c_str());
	if (url.Length() != int32(length > 50 ? 50 : length))
		abort();
}

void
CheckAttributeRule(const uint8_t* data, size_t size)
{
	BNode node(ScratchFile().c_str());
	node.WriteAttr(kUrlAttribute, B_STRING_TYPE, 0, data, size);
	node.WriteAttr(kKeywordsAttribute, B_STRING_TYPE, 0, data, size / 2);
	BString url;
	BString keywords;
	if (!ReadBookmarkFile(BEntry(ScratchFile().c_str()), &url, &keywords))
		abort();
	size_t expected = strnlen(reinterpret_cast<const char*>(data), size);
	if (size_t(url.Length()) != expected || memcmp(url.String(), data, expected) != 0)
		abort();
}

} // namespace

extern "C" int
LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	CheckNames(std::string(reinterpret_cast<const char*>(data), size));
	if (size <= kMaxValue)
		CheckAttributeRule(data, size);
	return 0;
}
