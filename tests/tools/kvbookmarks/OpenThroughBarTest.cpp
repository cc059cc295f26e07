// kvbookmarks open while the bar runs: the bar (here a stand-in application with the
// bar's signature, run in this process) gets the launch request, and no browser starts.
#include "ToolTestSupport.h"

#include <Application.h>
#include <Message.h>

#include <atomic>
#include <sys/stat.h>
#include <thread>

namespace {

class StandInBar : public BApplication
{
public:
	StandInBar() : BApplication("application/x-Zintu.Kestrovane"), fFolder(0), fSlot(0) {}

	void MessageReceived(BMessage* message) override
	{
		int8 folder = 0;
		int8 slot = 0;
		if (message->what == 'kvLi' && message->FindInt8("folder", &folder) == B_OK &&
		    message->FindInt8("slot", &slot) == B_OK) {
			fSlot = slot;
			fFolder = folder;
			return;
		}
		BApplication::MessageReceived(message);
	}

	std::atomic<int> fFolder;
	std::atomic<int> fSlot;
};

TEST_F(KvbookmarksTest, OpenAsksTheRunningBar)
{
	std::string launched = fProfile.Sub("launched");
	std::string browser = fProfile.Sub("browser.sh");
	ASSERT_TRUE(kvtest::WriteFile(browser, "#!/bin/sh\necho \"$@\" >> " + launched + "\n"));
	ASSERT_EQ(chmod(browser.c_str(), 0755), 0);
	ASSERT_TRUE(kvtest::WriteFile(fProfile.Sub("applications"),
	                              "application/x-vnd.Be-NPOS " + browser +
	                                      "\n"
	                                      "application/x-vnd.operasoftware-opera " +
	                                      browser + "\n"));
	ASSERT_EQ(Run({"add", "3", "2", "Site", "https://site.example/"}).exitStatus, 0);

	kvtest::ScopedEnv runtime("XDG_RUNTIME_DIR", fProfile.Sub("run").c_str());
	// The application belongs to the thread that made it, as on BeOS.
	std::atomic<StandInBar*> running(nullptr);
	std::atomic<int> folder(0), slot(0);
	std::thread loop([&] {
		StandInBar bar;
		running = &bar;
		bar.Run();
		folder = bar.fFolder.load();
		slot = bar.fSlot.load();
	});
	ASSERT_TRUE(kvtest::WaitUntil([&] { return running.load() != nullptr; }));
	kvtest::ProcessResult open = Run({"open", "3", "2"});
	EXPECT_EQ(open.exitStatus, 0) << open.error;
	EXPECT_TRUE(kvtest::WaitUntil([&] { return running.load()->fFolder == 4; }));
	running.load()->PostMessage(B_QUIT_REQUESTED);
	loop.join();
	EXPECT_EQ(folder, 4);
	EXPECT_EQ(slot, 3);
	EXPECT_EQ(kvtest::ReadFile(launched), "");
}

} // namespace
