// Stand-in programs for the preferred applications of links.
#include "WidgetTestSupport.h"

#include <sstream>
#include <sys/stat.h>

namespace kvtest {

namespace {

const char* const kKinds[][2] = {
        {"html", "text/html"},
        {"email", "text/x-email"},
        {"ftp", "application/x-vnd.Be.URL.ftp"},
};

} // namespace

StandInPrograms::StandInPrograms(const std::vector<std::string>& missing) : fDir("kvlink")
{
	std::string table;
	for (const auto& kind : kKinds) {
		std::string script = fDir.Sub(std::string(kind[0]) + ".sh");
		std::string output = Output(kind[0]);
		// Written to a side file first so that a reader never sees half the lines.
		WriteFile(script, "#!/bin/sh\n{ echo \"$#\"; for a in \"$@\"; do echo \"$a\"; done; } > '" +
		                          output + ".part'\nmv '" + output + ".part' '" + output + "'\n");
		chmod(script.c_str(), 0755);
		bool isMissing = false;
		for (const std::string& name : missing)
			isMissing = isMissing || name == kind[0];
		table += std::string(kind[1]) + " " + (isMissing ? fDir.Sub("no-such-program") : script) +
		         "\n";
	}
	WriteFile(fDir.Sub("applications"), table);
	fTable = std::make_unique<ScopedEnv>("KIT_APPLICATION_TABLE", fDir.Sub("applications").c_str());
}

std::vector<std::string>
StandInPrograms::WaitForArguments(const std::string& kind) const
{
	std::vector<std::string> arguments;
	struct stat info;
	if (!WaitUntil([&] { return stat(Output(kind).c_str(), &info) == 0; }))
		return arguments;
	std::istringstream lines(ReadFile(Output(kind)));
	std::string count, line;
	std::getline(lines, count);
	while (std::getline(lines, line))
		arguments.push_back(line);
	// An argument holding a line break would read as two.
	if (std::to_string(arguments.size()) != count)
		arguments.insert(arguments.begin(), "<" + count + " arguments>");
	return arguments;
}

} // namespace kvtest
