// The node monitor against the real file system: every opcode with its fields, moves
// across the edge of the watched area, a watched node's own rename and removal,
// attribute changes told from stat changes, and the re-scan after a queue overflow.
#include <Directory.h>
#include <Entry.h>
#include <Looper.h>
#include <Message.h>
#include <NodeMonitor.h>

#include "InotifyMonitor.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

const int64 kUnknown = -1;

class Recorder : public BLooper
{
public:
	Recorder() : BLooper("node monitor recorder") {}
	void MessageReceived(BMessage* message) override
	{
		if (message->what != B_NODE_MONITOR)
			return;
		std::lock_guard<std::mutex> lock(fLock);
		fMessages.push_back(*message);
	}
	std::vector<BMessage> Messages()
	{
		std::lock_guard<std::mutex> lock(fLock);
		return fMessages;
	}
	void Clear()
	{
		std::lock_guard<std::mutex> lock(fLock);
		fMessages.clear();
	}

private:
	std::mutex fLock;
	std::vector<BMessage> fMessages;
};

int32
Opcode(const BMessage& message)
{
	int32 opcode = 0;
	message.FindInt32("opcode", &opcode);
	return opcode;
}

int64
Int64(const BMessage& message, const char* name)
{
	int64 value = 0;
	if (message.FindInt64(name, &value) != B_OK)
		return -2;
	return value;
}

std::string
String(const BMessage& message, const char* name)
{
	const char* value = nullptr;
	return message.FindString(name, &value) == B_OK ? value : "<none>";
}

node_ref
NodeOf(const std::string& path)
{
	struct stat info;
	if (lstat(path.c_str(), &info) != 0)
		return node_ref();
	// The kit meets the node's directory the way a program would before watching it.
	BEntry meet(path.c_str());
	return node_ref(info.st_dev, info.st_ino);
}

int64
Inode(const std::string& path)
{
	struct stat info;
	return lstat(path.c_str(), &info) == 0 ? static_cast<int64>(info.st_ino) : -3;
}

void
Shell(const std::string& command)
{
	ASSERT_EQ(0, kvtest::RunProcess({"/bin/sh", "-c", command}).exitStatus) << command;
}

class NodeMonitorTest : public ::testing::Test
{
protected:
	void SetUp() override
	{
		fRecorder = new Recorder;
		fRecorder->Run();
		fTarget = BMessenger(fRecorder);
		mkdir(fDir.Sub("a").c_str(), 0777);
		mkdir(fDir.Sub("b").c_str(), 0777);
		mkdir(fDir.Sub("outside").c_str(), 0777);
	}
	void TearDown() override
	{
		stop_watching(fTarget);
		if (fRecorder->Lock())
			fRecorder->Quit();
	}
	void Watch(const std::string& path, uint32 flags)
	{
		node_ref node = NodeOf(path);
		ASSERT_EQ(B_OK, watch_node(&node, flags, fTarget)) << path;
	}
	std::vector<BMessage> WaitFor(size_t count)
	{
		kvtest::WaitUntil([&] { return fRecorder->Messages().size() >= count; });
		return fRecorder->Messages();
	}
	// Nothing more arrives: a marker event sent after the quiet period comes first.
	void ExpectNothingBefore(const std::string& markerDirectory)
	{
		Shell("touch '" + markerDirectory + "/marker'");
		std::vector<BMessage> messages = WaitFor(1);
		ASSERT_EQ(1u, messages.size());
		EXPECT_EQ(B_ENTRY_CREATED, Opcode(messages[0]));
		EXPECT_EQ("marker", String(messages[0], "name"));
	}

	kvtest::TempDir fDir{"nodemon"};
	Recorder* fRecorder = nullptr;
	BMessenger fTarget;
};

TEST_F(NodeMonitorTest, DirectoryWatchReportsCreateRenameRemoveInOrderWithNodes)
{
	std::string a = fDir.Sub("a");
	Watch(a, B_WATCH_DIRECTORY);
	Shell("cd '" + a + "' && touch one && mv one two && rm two");
	std::vector<BMessage> messages = WaitFor(3);
	ASSERT_EQ(3u, messages.size());

	int64 node = Int64(messages[0], "node");
	EXPECT_EQ(B_ENTRY_CREATED, Opcode(messages[0]));
	EXPECT_EQ(Inode(a), Int64(messages[0], "directory"));
	EXPECT_EQ("one", String(messages[0], "name"));
	EXPECT_GT(node, 0);
	int32 device = -1;
	EXPECT_EQ(B_OK, messages[0].FindInt32("device", &device));
	EXPECT_EQ(NodeOf(a).device, device);

	EXPECT_EQ(B_ENTRY_MOVED, Opcode(messages[1]));
	EXPECT_EQ(Inode(a), Int64(messages[1], "from directory"));
	EXPECT_EQ(Inode(a), Int64(messages[1], "to directory"));
	EXPECT_EQ(node, Int64(messages[1], "node"));
	EXPECT_EQ("two", String(messages[1], "name"));
	EXPECT_EQ("one", String(messages[1], "from name"));

	EXPECT_EQ(B_ENTRY_REMOVED, Opcode(messages[2]));
	EXPECT_EQ(node, Int64(messages[2], "node"));
	EXPECT_EQ("two", String(messages[2], "name"));
}

TEST_F(NodeMonitorTest, MovesBetweenInAndOutOfTheWatchedArea)
{
	std::string a = fDir.Sub("a");
	std::string b = fDir.Sub("b");
	std::string outside = fDir.Sub("outside");
	Shell("touch '" + a + "/f' '" + outside + "/g' '" + a + "/h'");
	Watch(a, B_WATCH_DIRECTORY);
	Watch(b, B_WATCH_DIRECTORY);
	int64 f = Inode(a + "/f");
	int64 g = Inode(outside + "/g");
	int64 h = Inode(a + "/h");
	Shell("mv '" + a + "/f' '" + b + "/f' && mv '" + outside + "/g' '" + a + "/g' && mv '" + a +
	      "/h' '" + outside + "/h'");
	std::vector<BMessage> messages = WaitFor(3);
	ASSERT_EQ(3u, messages.size());
	// Between two watched directories: one message with both sides.
	EXPECT_EQ(B_ENTRY_MOVED, Opcode(messages[0]));
	EXPECT_EQ(Inode(a), Int64(messages[0], "from directory"));
	EXPECT_EQ(Inode(b), Int64(messages[0], "to directory"));
	EXPECT_EQ(f, Int64(messages[0], "node"));
	// Into the area: the side it came from is unknown.
	EXPECT_EQ(B_ENTRY_MOVED, Opcode(messages[1]));
	EXPECT_EQ(kUnknown, Int64(messages[1], "from directory"));
	EXPECT_EQ(Inode(a), Int64(messages[1], "to directory"));
	EXPECT_EQ(g, Int64(messages[1], "node"));
	EXPECT_EQ("g", String(messages[1], "name"));
	// Out of it, for a node nobody watches: the side it went to is unknown.
	EXPECT_EQ(B_ENTRY_MOVED, Opcode(messages[2]));
	EXPECT_EQ(Inode(a), Int64(messages[2], "from directory"));
	EXPECT_EQ(kUnknown, Int64(messages[2], "to directory"));
	EXPECT_EQ(h, Int64(messages[2], "node"));
}

TEST_F(NodeMonitorTest, NodeWatchedForItsNameReportsItsOwnRenameMoveAndRemoval)
{
	std::string store = fDir.Sub("store");
	std::string outside = fDir.Sub("outside");
	mkdir(store.c_str(), 0777);
	Shell("touch '" + store + "/file'");
	int64 storeNode = Inode(store);
	int64 fileNode = Inode(store + "/file");
	Watch(store, B_WATCH_NAME);
	Watch(store + "/file", B_WATCH_NAME);

	// The store's own rename: both sides are its parent. Each step waits for its message,
	// as the far side of a move is only followed once the move has been seen.
	Shell("mv '" + store + "' '" + store + "2'");
	std::vector<BMessage> messages = WaitFor(1);
	Shell("mv '" + store + "2/file' '" + outside + "/moved'");
	messages = WaitFor(2);
	Shell("mv '" + store + "2' '" + outside + "/store'");
	messages = WaitFor(3);
	Shell("rm -r '" + outside + "/store'");
	messages = WaitFor(4);
	Shell("rm '" + outside + "/moved'");
	messages = WaitFor(5);
	ASSERT_EQ(5u, messages.size());
	EXPECT_EQ(B_ENTRY_MOVED, Opcode(messages[0]));
	EXPECT_EQ(Inode(fDir.Path()), Int64(messages[0], "from directory"));
	EXPECT_EQ(Inode(fDir.Path()), Int64(messages[0], "to directory"));
	EXPECT_EQ(storeNode, Int64(messages[0], "node"));
	EXPECT_EQ("store2", String(messages[0], "name"));

	// A watched file moved out of sight still knows where it went.
	EXPECT_EQ(B_ENTRY_MOVED, Opcode(messages[1]));
	EXPECT_EQ(fileNode, Int64(messages[1], "node"));
	EXPECT_EQ(storeNode, Int64(messages[1], "from directory"));
	EXPECT_EQ(Inode(outside), Int64(messages[1], "to directory"));
	EXPECT_EQ("moved", String(messages[1], "name"));

	EXPECT_EQ(B_ENTRY_MOVED, Opcode(messages[2]));
	EXPECT_EQ(storeNode, Int64(messages[2], "node"));
	EXPECT_EQ(Inode(outside), Int64(messages[2], "to directory"));

	EXPECT_EQ(B_ENTRY_REMOVED, Opcode(messages[3]));
	EXPECT_EQ(storeNode, Int64(messages[3], "node"));
	EXPECT_EQ(B_ENTRY_REMOVED, Opcode(messages[4]));
	EXPECT_EQ(fileNode, Int64(messages[4], "node"));
}

TEST_F(NodeMonitorTest, AttributeChangesAreToldApartFromStatChanges)
{
	std::string file = fDir.Sub("a/bookmark");
	Shell("touch '" + file + "'");
	Watch(file, B_WATCH_STAT | B_WATCH_ATTR | B_WATCH_NAME);
	Shell("setfattr -n user.META:url -v http://a '" + file + "' || exit 1");
	std::vector<BMessage> messages = WaitFor(1);
	ASSERT_EQ(1u, messages.size());
	EXPECT_EQ(B_ATTR_CHANGED, Opcode(messages[0]));
	EXPECT_EQ(Inode(file), Int64(messages[0], "node"));
	EXPECT_EQ("META:url", String(messages[0], "attr"));
	int32 cause = 0;
	messages[0].FindInt32("cause", &cause);
	EXPECT_EQ(B_ATTR_CREATED, cause);

	fRecorder->Clear();
	Shell("chmod 600 '" + file + "'");
	messages = WaitFor(1);
	ASSERT_EQ(1u, messages.size());
	EXPECT_EQ(B_STAT_CHANGED, Opcode(messages[0]));
	int32 fields = 0;
	messages[0].FindInt32("fields", &fields);
	EXPECT_EQ(B_STAT_MODE, fields);
	Shell("echo x >> '" + file + "'");
	messages = WaitFor(2);
	ASSERT_GE(messages.size(), 2u);
	EXPECT_EQ(B_STAT_CHANGED, Opcode(messages[1]));

	// Only the attribute listener hears of attributes.
	stop_watching(fTarget);
	Watch(fDir.Sub("a"), B_WATCH_DIRECTORY);
	Watch(file, B_WATCH_STAT);
	fRecorder->Clear();
	Shell("setfattr -n user.META:url -v http://b '" + file + "'");
	ExpectNothingBefore(fDir.Sub("a"));
}

TEST_F(NodeMonitorTest, StoppedWatchesAreSilentAndBadArgumentsFail)
{
	std::string a = fDir.Sub("a");
	Watch(a, B_WATCH_DIRECTORY);
	Watch(fDir.Sub("b"), B_WATCH_DIRECTORY);
	node_ref node = NodeOf(a);
	EXPECT_EQ(B_OK, watch_node(&node, B_STOP_WATCHING, fTarget));
	EXPECT_EQ(B_BAD_VALUE, watch_node(&node, B_STOP_WATCHING, fTarget));
	Shell("touch '" + a + "/quiet'");
	ExpectNothingBefore(fDir.Sub("b"));

	EXPECT_EQ(B_BAD_VALUE, watch_node(nullptr, B_WATCH_NAME, fTarget));
	EXPECT_EQ(B_BAD_VALUE, watch_node(&node, B_WATCH_NAME, BMessenger()));
	node_ref missing(node.device, 987654321);
	EXPECT_EQ(B_ENTRY_NOT_FOUND, watch_node(&missing, B_WATCH_NAME, fTarget));
}

// The kernel queue's size is fixed when the process's inotify instance is made, so the
// overflow runs in a child process of this test program with a tiny queue.
TEST(NodeMonitorOverflowTest, RescanReportsEveryDifference)
{
	if (getenv("KV_OVERFLOW_CHILD") == nullptr) {
		if (getuid() != 0)
			GTEST_SKIP() << "needs root to shrink the inotify queue";
		char self[4096] = {};
		ASSERT_GT(readlink("/proc/self/exe", self, sizeof(self) - 1), 0);
		kvtest::ProcessResult result = kvtest::RunProcess(
		        {self, "--gtest_filter=NodeMonitorOverflowTest.*"}, "", {"KV_OVERFLOW_CHILD=1"});
		EXPECT_EQ(0, result.exitStatus) << result.output << result.error;
		return;
	}
	kvtest::TempDir dir("overflow");
	std::string watched = dir.Sub("w");
	mkdir(watched.c_str(), 0777);
	Shell("cd '" + watched + "' && touch keep gone old && setfattr -n user.x -v 1 keep");

	std::string limit = kvtest::ReadFile("/proc/sys/fs/inotify/max_queued_events");
	ASSERT_TRUE(kvtest::WriteFile("/proc/sys/fs/inotify/max_queued_events", "8\n"));
	Recorder* recorder = new Recorder;
	recorder->Run();
	BMessenger target(recorder);
	node_ref directory = NodeOf(watched);
	node_ref keep = NodeOf(watched + "/keep");
	status_t status = watch_node(&directory, B_WATCH_DIRECTORY, target);
	kvtest::WriteFile("/proc/sys/fs/inotify/max_queued_events", limit);
	ASSERT_EQ(B_OK, status);
	ASSERT_EQ(B_OK, watch_node(&keep, B_WATCH_ATTR, target));

	{
		// Hold the engine so that the kernel queue fills behind it.
		auto hold = BPrivate::InotifyMonitor::Default().HoldForTesting();
		Shell("cd '" + watched +
		      "' && for i in $(seq 1 40); do touch n$i; rm n$i; done"
		      " && touch fresh && rm gone && mv old new && setfattr -n user.x -v 2 keep");
	}
	// The last notice about each name, once all four have arrived.
	std::map<std::string, int32> seen;
	kvtest::WaitUntil([&] {
		seen.clear();
		for (const BMessage& message : recorder->Messages()) {
			bool attribute = Opcode(message) == B_ATTR_CHANGED;
			seen[String(message, attribute ? "attr" : "name")] = Opcode(message);
		}
		return seen.count("gone") + seen.count("new") + seen.count("fresh") + seen.count("x") == 4;
	});
	EXPECT_EQ(B_ENTRY_REMOVED, seen["gone"]);
	EXPECT_EQ(B_ENTRY_MOVED, seen["new"]);
	EXPECT_EQ(B_ENTRY_CREATED, seen["fresh"]);
	EXPECT_EQ(B_ATTR_CHANGED, seen["x"]);
	stop_watching(target);
	if (recorder->Lock())
		recorder->Quit();
}

} // namespace
