// The overwrite dialogue, answered through a pipe and typed on a terminal.
#include "ImporterTestSupport.h"

#include <filesystem>

#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const char* kFour = "#URL\n\tNAME=A\n\tURL=http://new-a/\n#URL\n\tNAME=B\n\tURL=http://new-b/\n"
                    "#URL\n\tNAME=C\n\tURL=http://new-c/\n#URL\n\tNAME=D\n\tURL=http://new-d/\n";

class PromptTest : public ImporterTest
{
protected:
	// Four existing bookmarks A..D with old URLs.
	void SetUp() override
	{
		WriteOpera(kFour);
		fs::create_directory(fDest);
		for (const char* name : {"A", "B", "C", "D"}) {
			ASSERT_TRUE(kvtest::WriteFile(fDest + "/" + name, ""));
			ASSERT_TRUE(kvtest::SetXattr(fDest + "/" + name, "user.META:url", "http://old/"));
		}
	}

	std::string Prompt(const char* name) const
	{
		return "File " + fDest + "/" + name + " exists! Overwrite? (y/n/a): ";
	}

	// "new" or "old" for each of A..D.
	std::string Ages() const
	{
		std::string ages;
		for (const char* name : {"A", "B", "C", "D"})
			ages += Attr(fDest + "/" + name, "META:url") == "http://old/" ? 'o' : 'n';
		return ages;
	}
};

} // namespace

TEST_F(PromptTest, AnswersThroughAPipe)
{
	// One letter per prompt, white space skipped; "yes" answers three prompts.
	kvtest::ProcessResult result = Import("n\n  y");
	EXPECT_EQ(result.exitStatus, 0);
	EXPECT_EQ(result.output, Prompt("A") + Prompt("B") + Prompt("C") + Prompt("D"));
	EXPECT_EQ(Ages(), "onoo") << "the end of input keeps the rest";
	ExpectBookmark(fDest + "/B", "B", "http://new-b/");

	result = Import("yes\n");
	EXPECT_EQ(result.output, Prompt("A") + Prompt("B") + Prompt("C") + Prompt("D"));
	EXPECT_EQ(Ages(), "nnno");
}

TEST_F(PromptTest, AllOverwritesEveryLaterFile)
{
	kvtest::ProcessResult result = Import("N\nA\n");
	EXPECT_EQ(result.exitStatus, 0);
	EXPECT_EQ(result.output, Prompt("A") + Prompt("B"));
	EXPECT_EQ(Ages(), "onnn");
}

namespace {

// KVImporter on a pseudo-terminal, typed at as a user would.
class TerminalRun
{
public:
	TerminalRun(const std::string& importer, const std::string& dest, const std::string& home,
	            const std::string& config)
	{
		fChild = forkpty(&fMaster, nullptr, nullptr, nullptr);
		if (fChild == 0) {
			setenv("HOME", home.c_str(), 1);
			setenv("XDG_CONFIG_HOME", config.c_str(), 1);
			execl(importer.c_str(), importer.c_str(), dest.c_str(), (char*)nullptr);
			_exit(127);
		}
	}

	~TerminalRun()
	{
		if (fMaster >= 0)
			close(fMaster);
	}

	bool Started() const { return fChild > 0; }
	const std::string& Screen() const { return fScreen; }

	// Waits up to 10 s for text to appear on the terminal.
	bool WaitFor(const std::string& text)
	{
		return kvtest::WaitUntil(
		        [&] {
			        _Drain();
			        return fScreen.find(text) != std::string::npos;
		        },
		        std::chrono::seconds(10));
	}

	void Type(const std::string& keys)
	{
		ASSERT_EQ(write(fMaster, keys.data(), keys.size()), (ssize_t)keys.size());
	}

	// Waits for the program to end; its exit status, or -1.
	int Finish()
	{
		int status = -1;
		bool ended = kvtest::WaitUntil(
		        [&] {
			        _Drain();
			        return waitpid(fChild, &status, WNOHANG) == fChild;
		        },
		        std::chrono::seconds(10));
		return ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
	}

private:
	void _Drain()
	{
		pollfd fd{fMaster, POLLIN, 0};
		while (poll(&fd, 1, 20) > 0 && (fd.revents & POLLIN) != 0) {
			char buffer[512];
			ssize_t count = read(fMaster, buffer, sizeof(buffer));
			if (count <= 0)
				break;
			fScreen.append(buffer, count);
		}
	}

	int fMaster = -1;
	pid_t fChild = -1;
	std::string fScreen;
};

} // namespace

TEST_F(PromptTest, AnswersTypedOnATerminal)
{
	TerminalRun run(Importer(), fDest, fHome.Path(), fHome.Sub("config"));
	ASSERT_TRUE(run.Started());
	EXPECT_TRUE(run.WaitFor(Prompt("A"))) << run.Screen();
	run.Type("n\n");
	EXPECT_TRUE(run.WaitFor(Prompt("B"))) << run.Screen();
	// One line answers B, C and D: the terminal hands "yes" over at the newline.
	run.Type("yes\n");
	EXPECT_EQ(run.Finish(), 0) << run.Screen();
	EXPECT_NE(run.Screen().find(Prompt("D")), std::string::npos);
	EXPECT_EQ(Ages(), "onnn");
}

TEST_F(PromptTest, EndOfInputOnATerminalKeepsTheFiles)
{
	TerminalRun run(Importer(), fDest, fHome.Path(), fHome.Sub("config"));
	ASSERT_TRUE(run.Started());
	EXPECT_TRUE(run.WaitFor(Prompt("A"))) << run.Screen();
	run.Type("\x04"); // Ctrl-D on an empty line
	EXPECT_EQ(run.Finish(), 0) << run.Screen();
	EXPECT_NE(run.Screen().find(Prompt("D")), std::string::npos);
	EXPECT_EQ(Ages(), "oooo");
}
