// kvbookmarks run as a user runs it, in a profile of its own: its store, its home (where
// browsers keep their files) and a private place for running applications.
#ifndef KV_TOOL_TEST_SUPPORT_H
#define KV_TOOL_TEST_SUPPORT_H

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

class KvbookmarksTest : public ::testing::Test
{
protected:
	KvbookmarksTest()
	    : fProfile("kv-bookmarks"), fConfig("XDG_CONFIG_HOME", fProfile.Sub("config").c_str()),
	      fHome("HOME", fProfile.Sub("home").c_str())
	{
		std::filesystem::create_directories(fProfile.Sub("config"));
		std::filesystem::create_directories(fProfile.Sub("home"));
		std::filesystem::create_directories(fProfile.Sub("run"));
		std::filesystem::permissions(fProfile.Sub("run"), std::filesystem::perms::owner_all);
	}

	kvtest::ProcessResult Run(std::vector<std::string> arguments)
	{
		arguments.insert(arguments.begin(), KV_BOOKMARKS_PATH);
		return kvtest::RunProcess(arguments, "",
		                          {"XDG_CONFIG_HOME=" + fProfile.Sub("config"),
		                           "HOME=" + fProfile.Sub("home"),
		                           "XDG_RUNTIME_DIR=" + fProfile.Sub("run"),
		                           "KIT_APPLICATION_TABLE=" + fProfile.Sub("applications")});
	}

	std::string Store(const std::string& relative = "") const
	{
		return fProfile.Sub("config/Kestrovane") + (relative.empty() ? "" : "/" + relative);
	}

	static std::string Fixture(const std::string& name)
	{
		return std::string(KV_BOOKMARKS_FIXTURES) + "/" + name;
	}

	// Every entry under the profile, relative to it, sorted.
	std::vector<std::string> Entries() const
	{
		std::vector<std::string> entries;
		for (const auto& entry : std::filesystem::recursive_directory_iterator(fProfile.Path()))
			entries.push_back(std::filesystem::relative(entry.path(), fProfile.Path()).string());
		std::sort(entries.begin(), entries.end());
		return entries;
	}

	// The bookmark file as the bar's add window writes it: the type and the three
	// attributes, each value with its terminating NUL.
	static void ExpectBookmark(const std::string& path, const std::string& url,
	                           const std::string& keywords, const std::string& title)
	{
		SCOPED_TRACE(path);
		ASSERT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(path)));
		std::string value;
		ASSERT_TRUE(kvtest::GetXattr(path, "user.mime_type", &value));
		EXPECT_EQ(value, "application/x-vnd.Be-bookmark");
		ASSERT_TRUE(kvtest::GetXattr(path, "user.META:url", &value));
		EXPECT_EQ(value, url + std::string(1, '\0'));
		ASSERT_TRUE(kvtest::GetXattr(path, "user.META:keyw", &value));
		EXPECT_EQ(value, keywords + std::string(1, '\0'));
		ASSERT_TRUE(kvtest::GetXattr(path, "user.META:title", &value));
		EXPECT_EQ(value, title + std::string(1, '\0'));
		EXPECT_EQ(std::filesystem::file_size(path), 0u);
	}

	kvtest::TempDir fProfile;
	kvtest::ScopedEnv fConfig;
	kvtest::ScopedEnv fHome;
};

#endif // KV_TOOL_TEST_SUPPORT_H
