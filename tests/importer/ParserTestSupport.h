// Sinks for the parser tests and the fuzzer: one records the events as text, the other
// plays them out on an in-memory tree the way the importer does on disk.
#ifndef KV_PARSER_TEST_SUPPORT_H
#define KV_PARSER_TEST_SUPPORT_H

#include "importer/OperaParser.h"

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

// Records "open NAME", "close" and "link NAME URL" in order.
class RecordingSink : public KVOperaSink
{
public:
	void FolderOpened(const std::string& name) override { events.push_back("open " + name); }
	void FolderClosed() override { events.push_back("close"); }
	void LinkFound(const std::string& name, const std::string& url) override
	{
		events.push_back("link " + name + " " + url);
	}

	std::vector<std::string> events;
};

// Builds folder paths from fixed names, as the importer does, relative to "" (the
// destination). A file met twice in one folder counts as a prompt and keeps the first link.
class TreeSink : public KVOperaSink
{
public:
	TreeSink() { directories.insert(""); }

	void FolderOpened(const std::string& name) override
	{
		fStack.push_back(fCurrent.size());
		fCurrent += "/" + FixString(name.c_str());
		directories.insert(fCurrent);
	}
	void FolderClosed() override
	{
		fCurrent.resize(fStack.back());
		fStack.pop_back();
	}
	void LinkFound(const std::string& name, const std::string& url) override
	{
		std::string path = fCurrent + "/" + FixString(name.c_str());
		if (!files.emplace(path, std::make_pair(url, name)).second)
			prompts++;
	}

	std::set<std::string> directories;
	std::map<std::string, std::pair<std::string, std::string>> files; // path -> (URL, name)
	int prompts = 0;

private:
	std::string fCurrent;
	std::vector<size_t> fStack;
};

#endif // KV_PARSER_TEST_SUPPORT_H
