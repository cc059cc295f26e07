// The application table and the desktop defaults behind BRoster's lookups. The table is
// read afresh on each lookup: it is small, and edits take effect without a restart.
#include "ApplicationTable.h"

#include "Process.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

namespace BPrivate {

namespace {

struct default_entry
{
	const char* key;
	const char* programs[3]; // the first one installed wins
};

// Opera is itself; NetPositive stands for the default web browser; Tracker for the file
// manager; the helper types go to the desktop's handlers.
const default_entry kDefaults[] = {
        {"application/x-vnd.operasoftware-opera", {"opera", nullptr, nullptr}},
        {"application/x-vnd.Be-NPOS", {"x-www-browser", "xdg-open", nullptr}},
        {"application/x-vnd.Be-TRAK", {"xdg-open", nullptr, nullptr}},
        {"text/html", {"xdg-open", nullptr, nullptr}},
        {"text/x-email", {"xdg-open", nullptr, nullptr}},
        {"application/x-vnd.Be.URL.ftp", {"xdg-open", nullptr, nullptr}},
};

// Splits a line into words: whitespace separates, double quotes group.
std::vector<std::string>
SplitWords(const std::string& line)
{
	std::vector<std::string> words;
	size_t i = 0;
	while (i < line.size()) {
		while (i < line.size() && isspace((unsigned char)line[i]))
			i++;
		if (i >= line.size())
			break;
		std::string word;
		bool quoted = false;
		for (; i < line.size(); i++) {
			char c = line[i];
			if (quoted && c == '\\' && i + 1 < line.size())
				word += line[++i];
			else if (c == '"')
				quoted = !quoted;
			else if (!quoted && isspace((unsigned char)c))
				break;
			else
				word += c;
		}
		words.push_back(word);
	}
	return words;
}

bool
IsXdgOpen(const std::string& path)
{
	size_t slash = path.rfind('/');
	return path.compare(slash == std::string::npos ? 0 : slash + 1, std::string::npos,
	                    "xdg-open") == 0;
}

bool
MakeCommand(std::vector<std::string> words, app_command& command)
{
	std::string executable = FindExecutable(words[0]);
	if (executable.empty())
		return false;
	words[0] = executable;
	command.oneArgumentPerProcess = IsXdgOpen(executable);
	command.argv = std::move(words);
	return true;
}

} // namespace

bool
EqualIgnoringCase(const char* a, const char* b)
{
	for (; *a != '\0' && *b != '\0'; a++, b++) {
		if (tolower((unsigned char)*a) != tolower((unsigned char)*b))
			return false;
	}
	return *a == *b;
}

std::string
ApplicationTablePath()
{
	const char* overridden = getenv("KIT_APPLICATION_TABLE");
	if (overridden != nullptr && overridden[0] != '\0')
		return overridden;
	const char* config = getenv("XDG_CONFIG_HOME");
	if (config != nullptr && config[0] == '/')
		return std::string(config) + "/kit/applications";
	const char* home = getenv("HOME");
	return std::string(home != nullptr ? home : "") + "/.config/kit/applications";
}

bool
FindInTableText(const std::string& text, const char* key, std::vector<std::string>& words)
{
	std::istringstream lines(text);
	std::string line;
	while (std::getline(lines, line)) {
		std::vector<std::string> lineWords = SplitWords(line);
		if (lineWords.size() < 2 || lineWords[0][0] == '#')
			continue;
		if (!EqualIgnoringCase(lineWords[0].c_str(), key))
			continue;
		words.assign(lineWords.begin() + 1, lineWords.end());
		return true;
	}
	return false;
}

bool
ResolveApplication(const char* key, app_command& command)
{
	if (key == nullptr || key[0] == '\0')
		return false;
	std::ifstream file(ApplicationTablePath());
	if (file) {
		std::stringstream text;
		text << file.rdbuf();
		std::vector<std::string> words;
		// A table line for the key decides, even when its program is missing: the user
		// chose it, and a silent fallback to another program would surprise.
		if (FindInTableText(text.str(), key, words))
			return MakeCommand(words, command);
	}
	for (const default_entry& entry : kDefaults) {
		if (!EqualIgnoringCase(entry.key, key))
			continue;
		for (const char* program : entry.programs) {
			if (program != nullptr && MakeCommand({program}, command))
				return true;
		}
	}
	return false;
}

} // namespace BPrivate
