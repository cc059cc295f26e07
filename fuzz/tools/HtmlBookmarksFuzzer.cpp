// Fuzzes the Netscape bookmark file reader (libxml2 underneath) and plans an import of
// whatever it reads.
#include "TreeCheck.h"
#include "tools/kvbookmarks/HtmlReader.h"

#include <cstddef>
#include <cstdint>

extern "C" int
LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	KVSourceTree tree;
	std::string error;
	if (ReadHtmlBookmarks(reinterpret_cast<const char*>(data), size, &tree, &error)) {
		CheckTree(tree.root, 0);
		CheckPlan(tree);
	} else if (error.empty())
		abort();
	return 0;
}
