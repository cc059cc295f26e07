// kvbookmarks' speed goals: the plan of an import of a 10,000-bookmark HTML export
// (--dry-run) within 100 ms, and the listing of a full store (100 bookmarks) within 20 ms,
// both measured in process and as the whole program started from a shell.
#include "tools/kvbookmarks/FileBytes.h"
#include "tools/kvbookmarks/HtmlReader.h"
#include "tools/kvbookmarks/ImportPlan.h"
#include "tools/kvbookmarks/ListFormat.h"
#include "tools/kvbookmarks/StoreCommands.h"
#include "tools/kvbookmarks/StoreView.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/resource.h>

namespace {

// One profile for the whole run: a full store and a 10,000-bookmark export, as
// Firefox writes it (100 folders of 100 links under the toolbar).
class Profile
{
public:
	Profile()
	{
		char pattern[] = "/tmp/kv-bookmarks-bench-XXXXXX";
		fPath = mkdtemp(pattern);
		setenv("XDG_CONFIG_HOME", fPath.c_str(), 1);
		setenv("HOME", fPath.c_str(), 1);
		for (int folder = 0; folder < 10; folder++) {
			RenameFolder(folder, ("Folder " + std::to_string(folder)).c_str());
			for (int slot = 0; slot < 10; slot++) {
				std::string name = "Bookmark " + std::to_string(folder * 10 + slot);
				AddBookmark(folder, slot, name.c_str(), ("https://example.org/" + name).c_str(),
				            "words", false);
			}
		}
		std::string html = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<META HTTP-EQUIV=\"Content-Type\" "
		                   "CONTENT=\"text/html; charset=UTF-8\">\n<TITLE>Bookmarks</TITLE>\n"
		                   "<H1>Bookmarks Menu</H1>\n<DL><p>\n    <DT><H3 "
		                   "PERSONAL_TOOLBAR_FOLDER=\"true\">Bookmarks Toolbar</H3>\n    <DL><p>\n";
		for (int folder = 0; folder < 100; folder++) {
			html += "        <DT><H3 ADD_DATE=\"1700000000\">Folder " + std::to_string(folder) +
			        "</H3>\n        <DL><p>\n";
			for (int link = 0; link < 100; link++) {
				std::string n = std::to_string(folder * 100 + link);
				html += "            <DT><A HREF=\"https://example.org/page/" + n +
				        "?a=1&amp;b=2\" ADD_DATE=\"1700000000\" ICON=\"data:image/png;base64,"
				        "iVBORw0KGgo=\">Page &amp; title " +
				        n + "</A>\n";
			}
			html += "        </DL><p>\n";
		}
		html += "    </DL><p>\n</DL>\n";
		fExport = fPath + "/bookmarks.html";
		WriteWholeFile(fExport.c_str(), html);
	}

	~Profile() { std::filesystem::remove_all(fPath); }

	const std::string& Export() const { return fExport; }
	const std::string& Path() const { return fPath; }

private:
	std::string fPath;
	std::string fExport;
};

Profile&
TheProfile()
{
	static Profile profile;
	return profile;
}

void
BM_PlanHtmlImport10000(benchmark::State& state)
{
	const Profile& profile = TheProfile();
	for (auto _ : state) {
		std::string bytes;
		ReadWholeFile(profile.Export().c_str(), &bytes);
		KVSourceTree tree;
		std::string error;
		ReadHtmlBookmarks(bytes.data(), bytes.size(), &tree, &error);
		KVStoreView store;
		ReadStore(&store);
		KVImportOptions options;
		options.folders = true;
		KVImportPlan plan;
		PlanImport(tree, store, options, &plan, &error);
		benchmark::DoNotOptimize(FormatPlan(plan));
	}
}
BENCHMARK(BM_PlanHtmlImport10000)->Unit(benchmark::kMillisecond);

void
BM_ListFullStore(benchmark::State& state)
{
	TheProfile();
	for (auto _ : state) {
		KVStoreView store;
		ReadStore(&store);
		benchmark::DoNotOptimize(FormatListText(store));
	}
}
BENCHMARK(BM_ListFullStore)->Unit(benchmark::kMillisecond);

double
ChildrenCpuMilliseconds()
{
	struct rusage usage;
	getrusage(RUSAGE_CHILDREN, &usage);
	return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
	       (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
}

// The program as a user starts it, output thrown away; includes the shell's start. The
// wall time depends on the machine's load; "cpu_ms" is what the program and its shell
// used per run.
void
RunProgram(benchmark::State& state, const std::string& arguments)
{
	const Profile& profile = TheProfile();
	std::string command = "XDG_CONFIG_HOME='" + profile.Path() + "' HOME='" + profile.Path() +
	                      "' '" + KV_BOOKMARKS_PATH + "' " + arguments + " >/dev/null";
	double before = ChildrenCpuMilliseconds();
	for (auto _ : state) {
		if (std::system(command.c_str()) != 0)
			state.SkipWithError("kvbookmarks failed");
	}
	state.counters["cpu_ms"] = (ChildrenCpuMilliseconds() - before) / state.iterations();
}

void
BM_ProgramImportDryRun10000(benchmark::State& state)
{
	RunProgram(state, "import html '" + TheProfile().Export() + "' --folders --dry-run");
}
BENCHMARK(BM_ProgramImportDryRun10000)->Unit(benchmark::kMillisecond);

void
BM_ProgramList(benchmark::State& state)
{
	RunProgram(state, "list");
}
BENCHMARK(BM_ProgramList)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
