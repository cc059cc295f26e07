// BRoster against real application tables, real stand-in programs and real sockets;
// BClipboard's shared data.
#include <Clipboard.h>
#include <Entry.h>
#include <List.h>
#include <Message.h>
#include <Path.h>
#include <Roster.h>

#include "ApplicationTable.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

const char* kRecorderSignature = "application/x-vnd.kvtest-recorder";

// A stand-in program that writes its arguments, one per line, to $RECORDER_OUT.<pid>.
const char* kRecorderScript = "#!/bin/sh\n"
                              "out=\"$RECORDER_OUT.$$\"\n"
                              "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$out.tmp\"\n"
                              "mv \"$out.tmp\" \"$out\"\n";

// A listening Unix socket at path, as a running application has; -1 on failure.
int
ListenAt(const std::string& path)
{
	int fd = socket(AF_UNIX, SOCK_STREAM, 0);
	sockaddr_un address = {};
	address.sun_family = AF_UNIX;
	strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
	if (bind(fd, (sockaddr*)&address, sizeof(address)) != 0 || listen(fd, 4) != 0) {
		close(fd);
		return -1;
	}
	return fd;
}

class RosterTest : public ::testing::Test
{
protected:
	RosterTest()
	    : fDir("roster"), fRuntime(("XDG_RUNTIME_DIR"), fDir.Sub("run").c_str()),
	      fTable("KIT_APPLICATION_TABLE", fDir.Sub("applications").c_str()),
	      fOut("RECORDER_OUT", fDir.Sub("argv").c_str())
	{
		mkdir(fDir.Sub("run").c_str(), 0700);
		fRecorder = fDir.Sub("recorder.sh");
		kvtest::WriteFile(fRecorder, kRecorderScript);
		chmod(fRecorder.c_str(), 0755);
	}

	void WriteTable(const std::string& text) { kvtest::WriteFile(fDir.Sub("applications"), text); }

	// The arguments the recorder of team received, once it has written them.
	std::string RecordedArguments(team_id team)
	{
		std::string path = fDir.Sub("argv") + "." + std::to_string(team);
		kvtest::WaitUntil([&] { return access(path.c_str(), F_OK) == 0; },
		                  std::chrono::seconds(20));
		return kvtest::ReadFile(path);
	}

	kvtest::TempDir fDir;
	kvtest::ScopedEnv fRuntime;
	kvtest::ScopedEnv fTable;
	kvtest::ScopedEnv fOut;
	std::string fRecorder;
};

TEST_F(RosterTest, LaunchPassesTheExactArgumentsAfterTheTablesOwn)
{
	WriteTable("# stand-ins\n"
	           "APPLICATION/X-VND.KVTEST-RECORDER  " +
	           fRecorder +
	           " \"--fixed arg\"\n"
	           "text/html " +
	           fRecorder + "\n");
	const char* args[] = {"http://example.com/a b?c=1&d=2", "", "second"};
	team_id team = -1;
	ASSERT_EQ(B_OK, be_roster->Launch(kRecorderSignature, 3, args, &team));
	ASSERT_GT(team, 0);
	EXPECT_EQ("--fixed arg\nhttp://example.com/a b?c=1&d=2\n\nsecond\n", RecordedArguments(team));

	const char* url[] = {"mailto:someone@example.com"};
	ASSERT_EQ(B_OK, be_roster->Launch("text/html", 1, url, &team));
	EXPECT_EQ("mailto:someone@example.com\n", RecordedArguments(team));
}

TEST_F(RosterTest, RefsBecomePathArguments)
{
	WriteTable("application/x-vnd.Be-TRAK " + fRecorder + "\n");
	std::string folder = fDir.Sub("My Folder");
	mkdir(folder.c_str(), 0755);
	entry_ref ref;
	ASSERT_EQ(B_OK, get_ref_for_path(folder.c_str(), &ref));
	BMessage refs(B_REFS_RECEIVED);
	refs.AddRef("refs", &ref);
	team_id team = -1;
	ASSERT_EQ(B_OK, be_roster->Launch("application/x-vnd.Be-TRAK", &refs, &team));
	EXPECT_EQ(folder + "\n", RecordedArguments(team));
}

TEST_F(RosterTest, FindAppNamesTheTablesProgramAndFailsForUnknownOnes)
{
	WriteTable(std::string(kRecorderSignature) + " " + fRecorder + "\n" +
	           "application/x-vnd.kvtest-missing /nonexistent/program\n");
	entry_ref ref;
	ASSERT_EQ(B_OK, be_roster->FindApp(kRecorderSignature, &ref));
	EXPECT_STREQ(fRecorder.c_str(), BPath(&ref).Path());

	EXPECT_EQ(B_LAUNCH_FAILED_APP_NOT_FOUND,
	          be_roster->FindApp("application/x-vnd.kvtest-unknown", &ref));
	// A table line whose program is gone does not fall back to anything else.
	EXPECT_EQ(B_LAUNCH_FAILED_APP_NOT_FOUND,
	          be_roster->FindApp("application/x-vnd.kvtest-missing", &ref));
	const char* arg[] = {"x"};
	EXPECT_EQ(B_LAUNCH_FAILED_APP_NOT_FOUND,
	          be_roster->Launch("application/x-vnd.kvtest-unknown", 1, arg));
	EXPECT_EQ(B_BAD_VALUE, be_roster->FindApp(nullptr, &ref));
}

TEST_F(RosterTest, NonExecutableProgramFailsToLaunch)
{
	std::string plain = fDir.Sub("plain.txt");
	kvtest::WriteFile(plain, "not a program\n");
	WriteTable(std::string(kRecorderSignature) + " " + plain + "\n");
	EXPECT_NE(B_OK, be_roster->Launch(kRecorderSignature, 0, nullptr));
}

TEST_F(RosterTest, TableTextParsing)
{
	std::vector<std::string> words;
	const std::string text = "  # a comment line\n"
	                         "\n"
	                         "text/html first --one\n"
	                         "TEXT/HTML second\n"
	                         "text/x-email \"/opt/My Mail/mail\" \"a \\\"quoted\\\" word\"\n"
	                         "lonely-key\n";
	ASSERT_TRUE(BPrivate::FindInTableText(text, "Text/Html", words));
	EXPECT_EQ((std::vector<std::string>{"first", "--one"}), words);
	ASSERT_TRUE(BPrivate::FindInTableText(text, "text/x-email", words));
	EXPECT_EQ((std::vector<std::string>{"/opt/My Mail/mail", "a \"quoted\" word"}), words);
	EXPECT_FALSE(BPrivate::FindInTableText(text, "lonely-key", words));
	EXPECT_FALSE(BPrivate::FindInTableText(text, "#", words));
}

TEST_F(RosterTest, TablePathFollowsTheEnvironment)
{
	EXPECT_EQ(fDir.Sub("applications"), BPrivate::ApplicationTablePath());
	kvtest::ScopedEnv noOverride("KIT_APPLICATION_TABLE", nullptr);
	kvtest::ScopedEnv config("XDG_CONFIG_HOME", "/somewhere/config");
	EXPECT_EQ("/somewhere/config/kit/applications", BPrivate::ApplicationTablePath());
}

TEST_F(RosterTest, StaleSocketOfADeadProgramIsNotARunningApp)
{
	// A socket file whose listener is gone, as a crashed program leaves it behind.
	std::string directory = fDir.Sub("run/kestrovane-kit");
	mkdir(directory.c_str(), 0700);
	std::string path = directory + "/application%2Fx-vnd.kvtest-dead@4000000";
	int fd = ListenAt(path);
	ASSERT_GE(fd, 0);
	close(fd);

	EXPECT_FALSE(be_roster->IsRunning("application/x-vnd.kvtest-dead"));
	EXPECT_LT(be_roster->TeamFor("application/x-vnd.kvtest-dead"), 0);
	EXPECT_NE(0, access(path.c_str(), F_OK)) << "the stale socket file is removed";
	BList teams;
	be_roster->GetAppList(&teams);
	EXPECT_EQ(0, teams.CountItems());
}

TEST_F(RosterTest, SocketOfAProgramStillStartingIsLeftAlone)
{
	// Bound but not yet listening: the moment between bind() and listen() of a program
	// that is starting. Looking for running programs then must not delete its socket.
	std::string directory = fDir.Sub("run/kestrovane-kit");
	mkdir(directory.c_str(), 0700);
	std::string path =
	        directory + "/application%2Fx-vnd.kvtest-starting@" + std::to_string(getpid());
	int fd = socket(AF_UNIX, SOCK_STREAM, 0);
	sockaddr_un address = {};
	address.sun_family = AF_UNIX;
	strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
	ASSERT_EQ(0, bind(fd, (sockaddr*)&address, sizeof(address)));

	EXPECT_FALSE(be_roster->IsRunning("application/x-vnd.kvtest-starting"));
	EXPECT_EQ(0, access(path.c_str(), F_OK)) << "a live program's socket must stay";
	ASSERT_EQ(0, listen(fd, 4));
	EXPECT_TRUE(be_roster->IsRunning("application/x-vnd.kvtest-starting"));
	close(fd);
}

TEST_F(RosterTest, SocketDirectoryOpenToOthersIsNotTrusted)
{
	std::string directory = fDir.Sub("run/kestrovane-kit");
	mkdir(directory.c_str(), 0700);
	int fd = ListenAt(directory + "/application%2Fx-vnd.kvtest-any@" + std::to_string(getpid()));
	ASSERT_GE(fd, 0);
	EXPECT_TRUE(be_roster->IsRunning("application/x-vnd.kvtest-any"));
	// Anybody could have put that socket into a directory that everybody may write.
	chmod(directory.c_str(), 0777);
	EXPECT_FALSE(be_roster->IsRunning("application/x-vnd.kvtest-any"));
	close(fd);
}

TEST(ClipboardTest, CommitsAreSharedByNameAndRevertable)
{
	BClipboard writer("system");
	BClipboard reader("system");
	BClipboard other("kvtest-other");
	EXPECT_EQ(nullptr, writer.Data()) << "no data without the lock";
	EXPECT_EQ(B_NOT_ALLOWED, writer.Commit());

	ASSERT_TRUE(writer.Lock());
	ASSERT_EQ(B_OK, writer.Clear());
	ASSERT_NE(nullptr, writer.Data());
	writer.Data()->AddData("text/plain", B_MIME_TYPE, "hello", 6);
	ASSERT_EQ(B_OK, writer.Commit());
	writer.Data()->AddString("uncommitted", "x");
	ASSERT_EQ(B_OK, writer.Revert());
	EXPECT_FALSE(writer.Data()->HasString("uncommitted"));
	writer.Unlock();

	ASSERT_TRUE(reader.Lock());
	const void* data;
	ssize_t size;
	ASSERT_EQ(B_OK, reader.Data()->FindData("text/plain", B_MIME_TYPE, &data, &size));
	EXPECT_EQ(6, size);
	EXPECT_STREQ("hello", (const char*)data);
	reader.Unlock();

	ASSERT_TRUE(other.Lock());
	EXPECT_TRUE(other.Data()->IsEmpty());
	other.Unlock();
}

TEST(ClipboardTest, CommittedDataOutlivesTheClipboardObjects)
{
	{
		BClipboard copier("kvtest-lasting");
		ASSERT_TRUE(copier.Lock());
		copier.Data()->AddString("text", "kept");
		ASSERT_EQ(B_OK, copier.Commit());
		copier.Unlock();
	}
	BClipboard paster("kvtest-lasting");
	ASSERT_TRUE(paster.Lock());
	const char* text = nullptr;
	ASSERT_EQ(B_OK, paster.Data()->FindString("text", &text));
	EXPECT_STREQ("kept", text);
	EXPECT_EQ(1u, paster.SystemCount());
	paster.Unlock();
}

} // namespace
