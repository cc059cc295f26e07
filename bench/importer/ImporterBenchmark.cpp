// KVImporter against the floor of its job: importing a generated Opera file of N links in
// N / 100 folders, next to a tight loop that only creates the same directories and files
// with the same three attributes. The import runs as the real program; its peak resident
// size is reported as a counter, for two input sizes, to show it does not grow with them.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const int kLinksPerFolder = 100;

struct Workspace
{
	fs::path root;
	fs::path opera;

	explicit Workspace(int links)
	{
		root = fs::temp_directory_path() / ("kv-importer-bench-" + std::to_string(getpid()));
		fs::create_directories(root / "config/Opera");
		opera = root / "config/Opera/Opera Default Bookmarks.adr";
		std::ofstream out(opera, std::ios::binary);
		out << "Opera Hotlist version 2.0\nOptions: encoding = utf8, version=3\n\n";
		for (int link = 0; link < links; link++) {
			if (link % kLinksPerFolder == 0)
				out << "#FOLDER\n\tID=" << link << "\n\tNAME=Folder " << link / kLinksPerFolder
				    << "\n\tCREATED=1243701003\n\n";
			out << "#URL\n\tID=" << link << "\n\tNAME=Bookmark " << link << "\n\tURL=http://site"
			    << link << ".example/index.php?id=" << link
			    << "&name=x\n\tCREATED=1243701003\n\tVISITED=1243801004\n\n";
			if (link % kLinksPerFolder == kLinksPerFolder - 1)
				out << "-\n\n";
		}
	}

	~Workspace() { fs::remove_all(root); }

	fs::path Dest() const { return root / "dest"; }
};

void
SetAttr(int fd, const char* name, const std::string& value)
{
	if (fsetxattr(fd, name, value.data(), value.size(), 0) != 0)
		abort();
}

void
BM_Baseline(benchmark::State& state)
{
	int links = state.range(0);
	Workspace workspace(links);
	for (auto _ : state) {
		fs::path dest = workspace.Dest();
		fs::create_directory(dest);
		for (int link = 0; link < links; link++) {
			fs::path folder = dest / ("Folder " + std::to_string(link / kLinksPerFolder));
			if (link % kLinksPerFolder == 0)
				mkdir(folder.c_str(), 0777);
			std::string name = "Bookmark " + std::to_string(link);
			int fd = open((folder / name).c_str(), O_RDWR | O_CREAT | O_EXCL, 0666);
			if (fd < 0)
				abort();
			std::string id = std::to_string(link);
			SetAttr(fd, "user.META:url",
			        "http://site" + id + ".example/index.php?id=" + id + "&name=x");
			SetAttr(fd, "user.META:keyw", "Opera Bookmark");
			SetAttr(fd, "user.META:title", name);
			close(fd);
		}
		state.PauseTiming();
		fs::remove_all(dest);
		state.ResumeTiming();
	}
}

void
BM_Import(benchmark::State& state)
{
	Workspace workspace(state.range(0));
	std::string home = workspace.root.string();
	std::string config = (workspace.root / "config").string();
	std::string dest = workspace.Dest().string();
	long peakKilobytes = 0;
	for (auto _ : state) {
		pid_t child = fork();
		if (child == 0) {
			setenv("HOME", home.c_str(), 1);
			setenv("XDG_CONFIG_HOME", config.c_str(), 1);
			int null = open("/dev/null", O_RDWR);
			dup2(null, 0);
			dup2(null, 1);
			execl(KV_IMPORTER_PATH, KV_IMPORTER_PATH, dest.c_str(), (char*)nullptr);
			_exit(127);
		}
		int status;
		rusage usage;
		wait4(child, &status, 0, &usage);
		if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
			state.SkipWithError("KVImporter failed");
		peakKilobytes = std::max(peakKilobytes, usage.ru_maxrss);
		state.PauseTiming();
		fs::remove_all(dest);
		state.ResumeTiming();
	}
	state.counters["peak_rss_kib"] = peakKilobytes;
}

} // namespace

BENCHMARK(BM_Baseline)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Import)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
