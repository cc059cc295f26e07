// How long the storage calls behind a store rebuild take: one attribute round trip, a
// walk over a 100-entry directory, reading a bookmark file, and FindItem on a full
// store of 10 folders with 10 bookmarks each (the last slot, the slowest case).
#include "store/KVNames.h"

#include <Directory.h>
#include <Entry.h>
#include <File.h>
#include <Node.h>
#include <NodeInfo.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// A store under a fresh configuration directory, removed at exit.
class BenchStore
{
public:
	BenchStore()
	{
		char pattern[] = "/tmp/kv-bench-XXXXXX";
		fRoot = mkdtemp(pattern);
		setenv("XDG_CONFIG_HOME", fRoot.c_str(), 1);
		create_directory(kStoreDirectory, 0777);
		for (int folder = 0; folder < 10; folder++) {
			char name[32];
			snprintf(name, sizeof(name), "/%d - Folder", folder);
			std::string folderPath = fRoot + "/Kestrovane" + name;
			create_directory(folderPath.c_str(), 0777);
			for (int slot = 0; slot < 10; slot++) {
				snprintf(name, sizeof(name), "/%d - Bookmark", slot);
				MakeBookmark(folderPath + name);
			}
		}
	}

	~BenchStore()
	{
		std::string command = "rm -rf '" + fRoot + "'";
		if (system(command.c_str()) != 0)
			fprintf(stderr, "could not remove %s\n", fRoot.c_str());
	}

	std::string Folder(int number) const
	{
		return fRoot + "/Kestrovane/" + std::to_string(number) + " - Folder";
	}

private:
	static void MakeBookmark(const std::string& path)
	{
		BFile file(path.c_str(), B_READ_WRITE | B_CREATE_FILE | B_ERASE_FILE);
		BNode node(path.c_str());
		BNodeInfo(&node).SetType(kBookmarkType);
		const char url[] = "http://www.example.org/some/page.html";
		node.WriteAttr(kUrlAttribute, B_STRING_TYPE, 0, url, sizeof(url));
		node.WriteAttr(kKeywordsAttribute, B_STRING_TYPE, 0, "news", 5);
	}

	std::string fRoot;
};

BenchStore&
Store()
{
	static BenchStore sStore;
	return sStore;
}

void
BM_AttributeRoundTrip(benchmark::State& state)
{
	std::string path = Store().Folder(0) + "/0 - Bookmark";
	BNode node(path.c_str());
	const char url[] = "http://www.example.org/other/page.html";
	char buffer[64];
	for (auto _ : state) {
		node.WriteAttr("bench", B_STRING_TYPE, 0, url, sizeof(url));
		attr_info info;
		node.GetAttrInfo("bench", &info);
		benchmark::DoNotOptimize(node.ReadAttr("bench", B_STRING_TYPE, 0, buffer, info.size));
	}
}
BENCHMARK(BM_AttributeRoundTrip);

void
BM_WalkHundredEntries(benchmark::State& state)
{
	std::string path = Store().Folder(0) + "/walk";
	create_directory(path.c_str(), 0777);
	BDirectory directory(path.c_str());
	for (int i = 0; i < 100; i++)
		directory.CreateFile(std::to_string(i).c_str(), nullptr);
	BEntry entry;
	for (auto _ : state) {
		directory.Rewind();
		int count = 0;
		while (directory.GetNextEntry(&entry) == B_OK)
			count += entry.IsFile();
		benchmark::DoNotOptimize(count);
	}
}
BENCHMARK(BM_WalkHundredEntries);

void
BM_ReadBookmarkFile(benchmark::State& state)
{
	BEntry entry((Store().Folder(5) + "/5 - Bookmark").c_str());
	BString url;
	BString keywords;
	for (auto _ : state)
		benchmark::DoNotOptimize(ReadBookmarkFile(entry, &url, &keywords));
}
BENCHMARK(BM_ReadBookmarkFile);

void
BM_FindItemLastSlot(benchmark::State& state)
{
	Store();
	for (auto _ : state)
		benchmark::DoNotOptimize(FindItem(10, 10));
}
BENCHMARK(BM_FindItemLastSlot);

} // namespace
