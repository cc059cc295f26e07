// The settings store against real files: defaults and fallbacks, foreign and broken
// files, and a settings file that survives full disks and a killed program.
#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include <Message.h>
#include <Path.h>

#include "TestSupport.h"
#include "app/KVSettings.h"

namespace {

const char kSettingsPath[] = "/boot/home/config/settings/Kestrovane.settings";

std::string
Flattened(const BMessage& message)
{
	std::string bytes(message.FlattenedSize(), '\0');
	EXPECT_EQ(B_OK, message.Flatten(bytes.data(), (ssize_t)bytes.size()));
	return bytes;
}

BMessage
ReadMessage(const std::string& path)
{
	std::string bytes = kvtest::ReadFile(path);
	BMessage message;
	EXPECT_EQ(B_OK, message.Unflatten(bytes.data(), (ssize_t)bytes.size())) << path;
	return message;
}

bool
Exists(const std::string& path)
{
	struct stat info;
	return stat(path.c_str(), &info) == 0;
}

class SettingsTest : public ::testing::Test
{
protected:
	SettingsTest()
	    : fConfig("settings"), fEnv("XDG_CONFIG_HOME", fConfig.Path().c_str()),
	      fFile(fConfig.Sub("Kestrovane.settings"))
	{}

	kvtest::TempDir fConfig;
	kvtest::ScopedEnv fEnv;
	std::string fFile;
};

} // namespace

TEST_F(SettingsTest, DefaultsWithoutAFileAndAfterSaving)
{
	KVSettings settings{BPath(kSettingsPath)};
	EXPECT_FALSE(settings.Load());
	EXPECT_EQ(kBrowserNetPositive, settings.GetBrowser());
	EXPECT_EQ(BPoint(30, 30), settings.GetPos());
	EXPECT_EQ(kAlignVertical, settings.GetAlign());
	EXPECT_TRUE(settings.GetShowURL());
	EXPECT_FALSE(settings.GetOnTop());
	EXPECT_EQ(8, settings.GetHotKey());
	EXPECT_EQ(make_color(216, 216, 216, 0), *settings.GetColor());

	settings.Save();
	BMessage saved = ReadMessage(fFile);
	EXPECT_EQ(0u, saved.what);
	const char* expected[] = {"browser", "pos", "align", "url", "ontop", "hotkey", "color"};
	for (int32 i = 0; i < 7; i++) {
		char* name;
		type_code type;
		ASSERT_EQ(B_OK, saved.GetInfo(B_ANY_TYPE, i, &name, &type));
		EXPECT_STREQ(expected[i], name);
	}
	bool fixedSize = false;
	type_code type;
	ASSERT_EQ(B_OK, saved.GetInfo("color", &type, &fixedSize));
	EXPECT_EQ((type_code)B_RGB_COLOR_TYPE, type);
	EXPECT_TRUE(fixedSize);
	EXPECT_FALSE(Exists(fFile + ".tmp"));
}

TEST_F(SettingsTest, FileWithOnlyAlignFallsBackForTheRest)
{
	BMessage file;
	file.AddInt32("align", 0);
	ASSERT_TRUE(kvtest::WriteFile(fFile, Flattened(file)));

	KVSettings settings{BPath(kSettingsPath)};
	ASSERT_TRUE(settings.Load());
	EXPECT_EQ(kAlignHorizontal, settings.GetAlign());
	EXPECT_EQ(BPoint(30, 30), settings.GetPos());
	EXPECT_EQ(kBrowserNetPositive, settings.GetBrowser());
	EXPECT_TRUE(settings.GetShowURL());
	EXPECT_FALSE(settings.GetOnTop());
	EXPECT_EQ(8, settings.GetHotKey());
	const rgb_color* color = settings.GetColor();
	EXPECT_EQ(make_color(216, 216, 216, 255), *color);
	// The fallback colour is shared, not allocated per call.
	EXPECT_EQ(color, settings.GetColor());

	// A missing field is added once, then replaced; values out of range are kept.
	settings.SetHotKey(3);
	settings.SetHotKey(0x21);
	settings.SetColor(make_color(1, 2, 3));
	settings.SetAlign((KVAlign)7);
	EXPECT_EQ(make_color(1, 2, 3), *settings.GetColor());
	settings.Save();
	BMessage saved = ReadMessage(fFile);
	int32 count = 0;
	type_code type;
	ASSERT_EQ(B_OK, saved.GetInfo("hotkey", &type, &count));
	EXPECT_EQ(1, count);
	int32 value;
	ASSERT_EQ(B_OK, saved.FindInt32("hotkey", &value));
	EXPECT_EQ(0x21, value);
	ASSERT_EQ(B_OK, saved.FindInt32("align", &value));
	EXPECT_EQ(7, value);
	EXPECT_EQ(3, saved.CountNames(B_ANY_TYPE));
}

TEST_F(SettingsTest, ForeignFieldsAreKeptAndWrongTypesLeftAlone)
{
	BMessage file;
	file.AddFloat("align", 0.0f);
	file.AddBool("hotkey", true);
	file.AddString("other program", "keep me");
	ASSERT_TRUE(kvtest::WriteFile(fFile, Flattened(file)));

	KVSettings settings{BPath(kSettingsPath)};
	ASSERT_TRUE(settings.Load());
	EXPECT_EQ(kAlignVertical, settings.GetAlign());
	EXPECT_EQ(8, settings.GetHotKey());
	settings.SetAlign(kAlignHorizontal);
	settings.SetHotKey(1);
	EXPECT_EQ(kAlignVertical, settings.GetAlign());
	settings.Save();

	BMessage saved = ReadMessage(fFile);
	float align;
	EXPECT_EQ(B_OK, saved.FindFloat("align", &align));
	EXPECT_FALSE(saved.HasInt32("align"));
	const char* text;
	ASSERT_EQ(B_OK, saved.FindString("other program", &text));
	EXPECT_STREQ("keep me", text);
}

TEST_F(SettingsTest, SavingOverALongerFileLeavesNoTrailingBytes)
{
	BMessage longer;
	longer.AddString("padding", std::string(5000, 'p').c_str());
	ASSERT_TRUE(kvtest::WriteFile(fFile, Flattened(longer)));

	KVSettings settings{BPath(kSettingsPath)};
	settings.SetOnTop(true);
	settings.Save();
	std::string bytes = kvtest::ReadFile(fFile);
	BMessage saved;
	ASSERT_EQ(B_OK, saved.Unflatten(bytes.data(), (ssize_t)bytes.size()));
	EXPECT_EQ(saved.FlattenedSize(), (ssize_t)bytes.size());
	EXPECT_FALSE(saved.HasString("padding"));
}

TEST_F(SettingsTest, UnreadableFileIsKeptAside)
{
	const std::string garbage = "not a settings message at all";
	ASSERT_TRUE(kvtest::WriteFile(fFile, garbage));

	KVSettings settings{BPath(kSettingsPath)};
	testing::internal::CaptureStderr();
	EXPECT_FALSE(settings.Load());
	std::string error = testing::internal::GetCapturedStderr();
	EXPECT_NE(std::string::npos, error.find("Kestrovane.settings.bad")) << error;
	// Nothing of the defaults is left after a failed read: every getter falls back.
	EXPECT_EQ(make_color(216, 216, 216, 255), *settings.GetColor());
	EXPECT_EQ(garbage, kvtest::ReadFile(fFile));

	settings.SetPos(BPoint(5, 6));
	settings.Save();
	EXPECT_EQ(garbage, kvtest::ReadFile(fFile + ".bad"));
	BPoint pos;
	ASSERT_EQ(B_OK, ReadMessage(fFile).FindPoint("pos", &pos));
	EXPECT_EQ(BPoint(5, 6), pos);
}

TEST_F(SettingsTest, FullDiskKeepsTheOldFile)
{
	if (!kvtest::CanMount())
		GTEST_SKIP() << "cannot mount a small file system here";
	std::string disk = fConfig.Sub("disk");
	ASSERT_EQ(0, mkdir(disk.c_str(), 0755));
	kvtest::ScopedMount mount("tmpfs", disk, "size=64k");
	ASSERT_TRUE(mount.IsMounted());
	kvtest::ScopedEnv env("XDG_CONFIG_HOME", disk.c_str());

	BMessage old;
	old.AddInt32("align", 0);
	const std::string oldBytes = Flattened(old);
	std::string file = disk + "/Kestrovane.settings";
	ASSERT_TRUE(kvtest::WriteFile(file, oldBytes));
	{
		std::ofstream filler(disk + "/filler", std::ios::binary);
		std::string block(4096, 'f');
		while (filler.write(block.data(), block.size()) && filler.flush()) {
		}
	}

	KVSettings settings{BPath(kSettingsPath)};
	ASSERT_TRUE(settings.Load());
	settings.SetPos(BPoint(1, 2));
	settings.Save();
	EXPECT_EQ(oldBytes, kvtest::ReadFile(file));
	EXPECT_FALSE(Exists(file + ".tmp"));
}

TEST_F(SettingsTest, KillDuringSaveLeavesTheOldFileWhole)
{
	// A large foreign field makes each save long enough to be caught in the middle.
	BMessage file;
	file.AddInt32("align", 0);
	std::string blob(2 * 1024 * 1024, 'b');
	file.AddData("blob", B_RAW_TYPE, blob.data(), (ssize_t)blob.size(), false);
	ASSERT_TRUE(kvtest::WriteFile(fFile, Flattened(file)));
	const std::string temporary = fFile + ".tmp";

	for (int round = 0; round < 5; round++) {
		unlink(temporary.c_str());
		pid_t child = fork();
		ASSERT_GE(child, 0);
		if (child == 0) {
			KVSettings settings{BPath(kSettingsPath)};
			if (!settings.Load())
				_exit(3);
			for (int32 i = 0;; i++) {
				settings.SetHotKey(i);
				settings.Save();
			}
		}
		bool midSave = kvtest::WaitUntil([&] { return Exists(temporary); });
		kill(child, SIGKILL);
		int status = 0;
		waitpid(child, &status, 0);
		ASSERT_TRUE(midSave);
		ASSERT_TRUE(WIFSIGNALED(status));

		BMessage saved = ReadMessage(fFile);
		const void* data;
		ssize_t size = 0;
		ASSERT_EQ(B_OK, saved.FindData("blob", B_RAW_TYPE, &data, &size));
		EXPECT_EQ((ssize_t)blob.size(), size);
	}
}
