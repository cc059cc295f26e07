// Helpers of the end-to-end importer tests.
#include "ImporterTestSupport.h"

#include <filesystem>

void
ImporterTest::WriteOpera(const std::string& contents)
{
	std::filesystem::create_directories(OperaDir());
	ASSERT_TRUE(kvtest::WriteFile(OperaFile(), contents));
}

void
ImporterTest::UseFixture(const std::string& name)
{
	WriteOpera(kvtest::ReadFile(std::string(KV_IMPORTER_FIXTURES) + "/" + name));
}

kvtest::ProcessResult
ImporterTest::Run(const std::vector<std::string>& arguments, const std::string& input)
{
	std::vector<std::string> argv{Importer()};
	argv.insert(argv.end(), arguments.begin(), arguments.end());
	return kvtest::RunProcess(argv, input,
	                          {"HOME=" + fHome.Path(), "XDG_CONFIG_HOME=" + fHome.Sub("config")});
}

std::string
ImporterTest::Attr(const std::string& path, const std::string& name)
{
	std::string value;
	if (!kvtest::GetXattr(path, "user." + name, &value))
		return "<missing>";
	return value;
}

void
ImporterTest::ExpectBookmark(const std::string& path, const std::string& title,
                             const std::string& url)
{
	SCOPED_TRACE(path);
	ASSERT_TRUE(std::filesystem::is_regular_file(path));
	EXPECT_EQ(std::filesystem::file_size(path), 0u);
	EXPECT_EQ(Attr(path, "mime_type"), "application/x-vnd.Be-bookmark");
	EXPECT_EQ(Attr(path, "META:url"), url);
	EXPECT_EQ(Attr(path, "META:keyw"), "Opera Bookmark");
	EXPECT_EQ(Attr(path, "META:title"), title);
}
