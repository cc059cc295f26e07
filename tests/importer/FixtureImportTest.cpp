// The real-world Opera files import without loss: every named link becomes one file in
// its folder, the counts match what the files hold, and the CR LF twin gives the same tree.
#include "ImporterTestSupport.h"
#include "ParserTestSupport.h"

#include <filesystem>
#include <map>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// Relative path -> the file's four attributes; directories map to "<dir>".
std::map<std::string, std::string>
ReadTree(const std::string& root)
{
	std::map<std::string, std::string> tree;
	for (const auto& entry : fs::recursive_directory_iterator(root)) {
		std::string path = entry.path().string();
		std::string relative = path.substr(root.size());
		if (entry.is_directory()) {
			tree[relative] = "<dir>";
			continue;
		}
		std::string attributes;
		for (const char* name : {"mime_type", "META:url", "META:keyw", "META:title"}) {
			std::string value;
			kvtest::GetXattr(path, std::string("user.") + name, &value);
			attributes += value + '\n';
		}
		tree[relative] = attributes;
	}
	return tree;
}

size_t
Count(const std::string& text, const std::string& what)
{
	size_t count = 0;
	for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
		count++;
	return count;
}

struct FixtureCase
{
	const char* name;
	const char* file;
	size_t files;
	size_t directories;
	size_t prompts;
};

class FixtureImportTest : public ImporterTest, public ::testing::WithParamInterface<FixtureCase>
{};

} // namespace

TEST_P(FixtureImportTest, ImportsEveryLink)
{
	const FixtureCase& fixture = GetParam();
	UseFixture(fixture.file);
	// Import twice: the second run meets every file again and, at the end of its input,
	// keeps them all.
	for (size_t run = 0; run < 2; run++) {
		kvtest::ProcessResult result = Import();
		EXPECT_EQ(result.exitStatus, 0);
		EXPECT_EQ(Count(result.output, "Overwrite? (y/n/a): "),
		          run == 0 ? fixture.prompts : fixture.files + fixture.prompts);
		EXPECT_EQ(Count(result.output, "\n"), 0u) << result.output;
	}

	std::map<std::string, std::string> tree = ReadTree(fDest);
	EXPECT_EQ(tree.size(), fixture.files + fixture.directories - 1);

	// What the parser saw is what is on disk, name for name and byte for byte; of two
	// links with one name, the first stays.
	TreeSink expected;
	KVOperaParser parser(&expected);
	std::istringstream stream(kvtest::ReadFile(OperaFile()));
	parser.ParseStream(stream);
	EXPECT_EQ(expected.files.size(), fixture.files);
	for (const auto& [path, link] : expected.files) {
		auto found = tree.find(path);
		ASSERT_NE(found, tree.end()) << path;
		EXPECT_EQ(found->second, "application/x-vnd.Be-bookmark\n" + link.first +
		                                 "\nOpera Bookmark\n" + link.second + "\n")
		        << path;
	}
}

INSTANTIATE_TEST_SUITE_P(
        Fixtures, FixtureImportTest,
        ::testing::Values(FixtureCase{"Opera9Japanese",
                                      "opera8or9-2006-win-crlf-nested-japanese.adr", 19, 7, 0},
                          FixtureCase{"Opera12", "opera12-realistic-bom.adr", 184, 54, 3},
                          FixtureCase{"Opera10", "opera10-realistic.adr", 286, 81, 16}),
        [](const ::testing::TestParamInfo<FixtureCase>& info) { return info.param.name; });

TEST_F(ImporterTest, LineEndingsDoNotMatter)
{
	UseFixture("opera12-realistic-bom.adr");
	EXPECT_EQ(Import().exitStatus, 0);
	std::map<std::string, std::string> lf = ReadTree(fDest);

	UseFixture("opera12-realistic-bom-crlf.adr");
	kvtest::RemoveTree(fDest);
	EXPECT_EQ(Import().exitStatus, 0);
	EXPECT_EQ(ReadTree(fDest), lf);
	EXPECT_EQ(lf.size(), 184u + 53u);
}
