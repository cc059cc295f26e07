// Runs the built KVImporter as a user would: a private home holding the Opera bookmark
// file, the destination inside it, and helpers to read back what landed on disk.
#ifndef KV_IMPORTER_TEST_SUPPORT_H
#define KV_IMPORTER_TEST_SUPPORT_H

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class ImporterTest : public ::testing::Test
{
protected:
	ImporterTest() : fHome("kv-importer"), fDest(fHome.Sub("dest")) {}

	std::string Importer() const { return KV_IMPORTER_PATH; }
	std::string OperaDir() const { return fHome.Sub("config/Opera"); }
	std::string OperaFile() const { return OperaDir() + "/Opera Default Bookmarks.adr"; }

	void WriteOpera(const std::string& contents);
	void UseFixture(const std::string& name);

	kvtest::ProcessResult Run(const std::vector<std::string>& arguments,
	                          const std::string& input = "");
	kvtest::ProcessResult Import(const std::string& input = "") { return Run({fDest}, input); }

	// "user.NAME" of path, or "<missing>".
	static std::string Attr(const std::string& path, const std::string& name);
	// The four xattrs of a bookmark file as the importer writes them.
	static void ExpectBookmark(const std::string& path, const std::string& title,
	                           const std::string& url);

	kvtest::TempDir fHome;
	std::string fDest;
};

#endif // KV_IMPORTER_TEST_SUPPORT_H
