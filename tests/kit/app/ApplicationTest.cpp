// BApplication between real processes: the stand-in application listens on its socket,
// kvsend is "another program", and two starts of an exclusive program meet.
#include <Application.h>
#include <List.h>
#include <Roster.h>

#include "TestSupport.h"
#include "UnixSocket.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

const char* kSignature = "application/x-vnd.kvtest-standin";

// Programs start slowly under the sanitizers on a busy machine; the deadline only bounds a
// failure, a passing test does not wait for it.
const std::chrono::milliseconds kDeadline(20000);

// A program running in the background for the length of a test; killed if still running.
class Child
{
public:
	Child(const std::vector<std::string>& argv, const std::vector<std::string>& extraEnv)
	{
		std::vector<std::string> env;
		for (char** entry = environ; *entry != nullptr; entry++)
			env.push_back(*entry);
		env.insert(env.end(), extraEnv.begin(), extraEnv.end());
		std::vector<char*> args, envp;
		for (const std::string& arg : argv)
			args.push_back(const_cast<char*>(arg.c_str()));
		for (const std::string& entry : env)
			envp.push_back(const_cast<char*>(entry.c_str()));
		args.push_back(nullptr);
		envp.push_back(nullptr);
		if (posix_spawn(&fPid, args[0], nullptr, nullptr, args.data(), envp.data()) != 0)
			fPid = -1;
	}

	~Child()
	{
		if (fPid > 0 && !fExited) {
			kill(fPid, SIGKILL);
			waitpid(fPid, nullptr, 0);
		}
	}

	pid_t Pid() const { return fPid; }

	// True once the program has ended within the deadline; *status is its exit status.
	bool WaitForExit(int* status = nullptr)
	{
		int raw = 0;
		kvtest::WaitUntil([&] { return fExited = waitpid(fPid, &raw, WNOHANG) == fPid; },
		                  kDeadline);
		if (fExited && status != nullptr)
			*status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
		return fExited;
	}

private:
	pid_t fPid = -1;
	bool fExited = false;
};

class ApplicationTest : public ::testing::Test
{
protected:
	ApplicationTest()
	    : fDir("app"), fRuntime("XDG_RUNTIME_DIR", fDir.Sub("run").c_str()),
	      fLogPath(fDir.Sub("log"))
	{
		mkdir(fDir.Sub("run").c_str(), 0700);
	}

	std::vector<std::string> Env() const
	{
		return {"XDG_RUNTIME_DIR=" + fDir.Sub("run"), "STANDIN_LOG=" + fLogPath};
	}

	std::unique_ptr<Child> StartApp(const std::vector<std::string>& extraArgs = {})
	{
		std::vector<std::string> argv = {STANDIN_APP, kSignature};
		argv.insert(argv.end(), extraArgs.begin(), extraArgs.end());
		auto child = std::make_unique<Child>(argv, Env());
		EXPECT_TRUE(WaitForLog("ready")) << Log();
		return child;
	}

	kvtest::ProcessResult Send(const std::vector<std::string>& args)
	{
		std::vector<std::string> argv = {KVSEND};
		argv.insert(argv.end(), args.begin(), args.end());
		return kvtest::RunProcess(argv, "", Env());
	}

	std::string Log() const { return kvtest::ReadFile(fLogPath); }

	bool WaitForLog(const std::string& line) const
	{
		return kvtest::WaitUntil([&] { return Log().find(line + "\n") != std::string::npos; },
		                         kDeadline);
	}

	kvtest::TempDir fDir;
	kvtest::ScopedEnv fRuntime;
	std::string fLogPath;
};

TEST_F(ApplicationTest, FiltersTellLocalFromRemoteQuitRequests)
{
	auto app = StartApp();
	// The app posts a quit request to itself: local, and its filter drops it.
	ASSERT_EQ(0, Send({kSignature, "lclq"}).exitStatus);
	ASSERT_TRUE(WaitForLog("quit local skipped")) << Log();
	EXPECT_TRUE(be_roster->IsRunning(kSignature));

	// kvsend is another program: its quit request is remote and passes.
	kvtest::ProcessResult quit = Send({kSignature, "quit"});
	EXPECT_EQ(0, quit.exitStatus) << quit.error;
	EXPECT_TRUE(WaitForLog("quit remote")) << Log();
	int status = -1;
	ASSERT_TRUE(app->WaitForExit(&status));
	EXPECT_EQ(0, status);
	EXPECT_TRUE(WaitForLog("ended"));
	EXPECT_FALSE(be_roster->IsRunning(kSignature)) << "the socket goes with the program";
}

TEST_F(ApplicationTest, TermAndHangUpAreRemoteQuitRequestsAndBrokenPipesAreHarmless)
{
	for (int signal : {SIGTERM, SIGHUP}) {
		SCOPED_TRACE(signal);
		std::remove(fLogPath.c_str());
		auto app = StartApp();
		// A write to a reader that has gone must not end the program.
		ASSERT_EQ(0, kill(app->Pid(), SIGPIPE));
		ASSERT_EQ(0, Send({kSignature, "tst1", "name=string:alive"}).exitStatus);
		ASSERT_TRUE(WaitForLog("echo count=0 name=alive remote")) << Log();

		ASSERT_EQ(0, kill(app->Pid(), signal));
		EXPECT_TRUE(WaitForLog("quit remote")) << Log();
		EXPECT_TRUE(WaitForLog("quit requested remote")) << Log();
		int status = -1;
		ASSERT_TRUE(app->WaitForExit(&status));
		EXPECT_EQ(0, status);
		EXPECT_TRUE(WaitForLog("ended")) << Log();
	}
}

TEST_F(ApplicationTest, LocalQuitPassesWhenTheFilterAllowsIt)
{
	auto app = StartApp();
	ASSERT_EQ(0, Send({kSignature, "allw"}).exitStatus);
	ASSERT_TRUE(WaitForLog("local quit allowed"));
	ASSERT_EQ(0, Send({kSignature, "lclq"}).exitStatus);
	EXPECT_TRUE(WaitForLog("quit local allowed")) << Log();
	EXPECT_TRUE(app->WaitForExit());
}

TEST_F(ApplicationTest, SecondExclusiveStartHandsItsArgumentsToTheFirst)
{
	auto first = StartApp({"--exclusive"});
	team_id team = be_roster->TeamFor(kSignature);
	EXPECT_EQ(first->Pid(), team);
	app_info info;
	ASSERT_EQ(B_OK, be_roster->GetAppInfo(kSignature, &info));
	EXPECT_EQ(B_EXCLUSIVE_LAUNCH, info.flags & B_LAUNCH_MASK);
	EXPECT_STREQ(kSignature, info.signature);

	kvtest::ProcessResult second = kvtest::RunProcess(
	        {STANDIN_APP, kSignature, "--exclusive", "one", "two words"}, "", Env());
	EXPECT_EQ(0, second.exitStatus);
	EXPECT_TRUE(WaitForLog("already running"));
	EXPECT_TRUE(WaitForLog("argv application/x-vnd.kvtest-standin --exclusive one two words"))
	        << Log();
	BList teams;
	be_roster->GetAppList(kSignature, &teams);
	EXPECT_EQ(1, teams.CountItems());

	// The roster's Launch meets the same running copy.
	const char* args[] = {"three"};
	team_id launched = -1;
	EXPECT_EQ(B_ALREADY_RUNNING, be_roster->Launch(kSignature, 1, args, &launched));
	EXPECT_EQ(team, launched);
	EXPECT_TRUE(WaitForLog("argv three")) << Log();
	EXPECT_EQ(0, Send({kSignature, "quit"}).exitStatus);
	EXPECT_TRUE(first->WaitForExit());
}

TEST_F(ApplicationTest, NonExclusiveProgramsRunSideBySide)
{
	auto first = StartApp();
	auto second = std::make_unique<Child>(std::vector<std::string>{STANDIN_APP, kSignature}, Env());
	BList teams;
	kvtest::WaitUntil(
	        [&] {
		        teams.MakeEmpty();
		        be_roster->GetAppList(kSignature, &teams);
		        return teams.CountItems() == 2;
	        },
	        kDeadline);
	EXPECT_EQ(2, teams.CountItems());
}

TEST_F(ApplicationTest, ToolDeliversAboutAndFieldsAndPrintsTheReply)
{
	auto app = StartApp();
	EXPECT_EQ(0, Send({kSignature, "about"}).exitStatus);
	EXPECT_TRUE(WaitForLog("about"));

	kvtest::ProcessResult echo =
	        Send({kSignature, "tst1", "count=int32:-7", "name=string:a b=c:d"});
	EXPECT_EQ(0, echo.exitStatus) << echo.error;
	EXPECT_TRUE(WaitForLog("echo count=-7 name=a b=c:d remote")) << Log();
	EXPECT_NE(std::string::npos, echo.output.find("a b=c:d")) << echo.output;
	EXPECT_NE(std::string::npos, echo.output.find("rply")) << echo.output;
}

TEST_F(ApplicationTest, ToolFailsForMissingAppsAndBadArguments)
{
	kvtest::ProcessResult missing = Send({"application/x-vnd.kvtest-nobody", "quit"});
	EXPECT_EQ(1, missing.exitStatus);
	EXPECT_NE(std::string::npos, missing.error.find("not running"));
	EXPECT_EQ(2, Send({}).exitStatus);
	EXPECT_EQ(2, Send({kSignature}).exitStatus);
	EXPECT_EQ(2, Send({kSignature, "toolong"}).exitStatus);
	EXPECT_EQ(2, Send({kSignature, "tst1", "count=int32:12x"}).exitStatus);
	EXPECT_EQ(2, Send({kSignature, "tst1", "count=int32:99999999999"}).exitStatus);
	EXPECT_EQ(2, Send({kSignature, "tst1", "novalue"}).exitStatus);
	EXPECT_EQ(2, Send({kSignature, "tst1", "x=float:1"}).exitStatus);
}

TEST_F(ApplicationTest, OversizedOrGarbledFramesAreRefusedWithoutHarm)
{
	auto app = StartApp();
	team_id team = be_roster->TeamFor(kSignature);
	ASSERT_GT(team, 0);
	std::string socketPath = fDir.Sub("run/kestrovane-kit/application%2Fx-vnd.kvtest-standin@") +
	                         std::to_string(team);

	BPrivate::UnixSocket huge;
	ASSERT_EQ(B_OK, huge.Connect(socketPath));
	const unsigned char header[] = {0xff, 0xff, 0xff, 0x7f, 'M'};
	ASSERT_EQ(0, write(huge.Descriptor(), header, sizeof(header)) == sizeof(header) ? 0 : 1);
	uint8 kind;
	std::vector<char> data;
	EXPECT_EQ(B_BUSTED_PIPE, huge.ReceiveFrame(kind, data, 5000000))
	        << "the application hangs up on a frame over the bound";

	BPrivate::UnixSocket garbage;
	ASSERT_EQ(B_OK, garbage.Connect(socketPath));
	ASSERT_EQ(B_OK, garbage.SendFrame(BPrivate::kFrameMessageReply, "not a message", 13));
	EXPECT_EQ(B_BUSTED_PIPE, garbage.ReceiveFrame(kind, data, 5000000));

	EXPECT_EQ(0, Send({kSignature, "about"}).exitStatus);
	EXPECT_TRUE(WaitForLog("about")) << "still serving after the bad frames";
}

} // namespace

// An application on the stack that is told to quit before it runs must survive the call
// and its Run() must return at once.
TEST_F(ApplicationTest, QuitBeforeRunLeavesTheObjectToItsOwner)
{
	BApplication app("application/x-vnd.kvtest-early-quit");
	ASSERT_EQ(app.InitCheck(), B_OK);
	ASSERT_TRUE(app.Lock());
	app.Quit();
	EXPECT_EQ(app.Run(), find_thread(nullptr));
	EXPECT_EQ(be_app, &app);
}

TEST_F(ApplicationTest, SignalDispositionsComeBackWhenTheApplicationGoes)
{
	auto handler = [](int signal) {
		struct sigaction action = {};
		sigaction(signal, nullptr, &action);
		return action.sa_handler;
	};
	// Whatever the test runner left them at (an ignored SIGPIPE is inherited).
	const int kSignals[] = {SIGTERM, SIGHUP, SIGPIPE};
	std::vector<void (*)(int)> before;
	for (int signal : kSignals)
		before.push_back(handler(signal));
	{
		BApplication app("application/x-vnd.kvtest-signals");
		ASSERT_EQ(app.InitCheck(), B_OK);
		EXPECT_NE(SIG_DFL, handler(SIGTERM));
		EXPECT_NE(SIG_DFL, handler(SIGHUP));
		EXPECT_EQ(SIG_IGN, handler(SIGPIPE));
	}
	for (size_t i = 0; i < before.size(); i++)
		EXPECT_EQ(before[i], handler(kSignals[i])) << kSignals[i];
}
