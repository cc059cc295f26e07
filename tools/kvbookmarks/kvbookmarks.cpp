// kvbookmarks: the bookmark store from the shell. Lists, files, removes, moves and opens
// bookmarks, renames folders, imports Firefox, Chromium and HTML bookmarks, and exports
// the store as HTML. Each subcommand is a function here; the work is in the modules.
#include "ChromiumReader.h"
#include "FileBytes.h"
#include "FirefoxReader.h"
#include "HtmlReader.h"
#include "HtmlWriter.h"
#include "ImportPlan.h"
#include "ListFormat.h"
#include "StoreCommands.h"
#include "StoreView.h"

#include <Entry.h>
#include <Path.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

struct Command
{
	const char* name;
	const char* usage;
	const char* help;
	// Options taking a value and options standing alone, blank-separated.
	const char* valueOptions;
	const char* flagOptions;
	int minimum; // positional arguments
	int maximum;
};

const Command kCommands[] = {
        {"list", "list [--json]",
         "Prints the store as the bar shows it: per folder \"D\\t-\\tNAME\", then per taken slot\n"
         "\"D\\tS\\tNAME\\tURL[\\tKEYWORDS]\" (the lines kvseed reads). --json prints JSON.\n",
         "", "--json", 0, 0},
        {"add", "add FOLDER SLOT NAME URL [--keywords K] [--replace]",
         "Files a bookmark into a free slot (digits 0-9). --replace rewrites the bookmark the\n"
         "slot holds; a slot held by anything but a bookmark file is never touched.\n",
         "--keywords", "--replace", 4, 4},
        {"rm", "rm FOLDER SLOT", "Removes the bookmark file of a slot.\n", "", "", 2, 2},
        {"mv", "mv FOLDER SLOT FOLDER SLOT",
         "Moves a bookmark into a free slot, keeping its name and attributes.\n", "", "", 4, 4},
        {"rename-folder", "rename-folder FOLDER NAME",
         "Renames a folder (\"D - NAME\"; an empty NAME gives \"D -\").\n", "", "", 2, 2},
        {"open", "open FOLDER SLOT",
         "Opens a bookmark as the bar would: through the running bar, else in the browser\n"
         "chosen in the bar's settings.\n",
         "", "", 2, 2},
        {"import",
         "import firefox [PROFILE-DIR] | chromium [BOOKMARKS-FILE] | html FILE\n"
         "       [--from \"Folder/Sub folder\"] [--into FOLDER] [--folders] [--dry-run]",
         "Imports up to ten links of a browser folder (default: its toolbar) into the free\n"
         "slots of a store folder (--into; default: the first empty folder), in order.\n"
         "Nothing is overwritten; what does not fit is listed as \"skip\". --folders maps\n"
         "the source's sub-folders instead, in order, onto the store's empty folders, which\n"
         "take their names. --dry-run prints the plan and changes nothing.\n",
         "--from --into", "--folders --dry-run", 1, 2},
        {"export", "export html [FILE]",
         "Writes the whole store as a Netscape bookmark file (to standard output without\n"
         "FILE), for any browser's import.\n",
         "", "", 1, 2},
};

const char* const kExitStatuses = "Exit status: 0 done; 1 the store refused or a write failed; "
                                  "2 bad arguments;\n3 the source could not be read or the "
                                  "output not written; 4 no browser could be started.\n";

struct Arguments
{
	std::vector<std::string> positional;
	std::map<std::string, std::string> values;
	std::set<std::string> flags;
};

bool
HasWord(const char* words, const std::string& word)
{
	std::string list = std::string(" ") + words + " ";
	return list.find(" " + word + " ") != std::string::npos;
}

int
Usage(const Command* command, const std::string& problem)
{
	if (!problem.empty())
		fprintf(stderr, "kvbookmarks: %s\n", problem.c_str());
	if (command != nullptr)
		fprintf(stderr, "usage: kvbookmarks %s\n", command->usage);
	else {
		fprintf(stderr, "usage: kvbookmarks COMMAND [ARGUMENTS]; commands:\n");
		for (const Command& each : kCommands)
			fprintf(stderr, "  %s\n", each.usage);
	}
	return kCommandUsage;
}

void
PrintHelp(const Command* command)
{
	if (command == nullptr) {
		printf("usage: kvbookmarks COMMAND [ARGUMENTS]\n\nCommands:\n");
		for (const Command& each : kCommands)
			printf("  %s\n", each.usage);
		printf("\n'kvbookmarks COMMAND --help' tells more. FOLDER and SLOT are the digits 0-9 of\n"
		       "the store's names.\n\n%s",
		       kExitStatuses);
		return;
	}
	printf("usage: kvbookmarks %s\n\n%s\n%s", command->usage, command->help, kExitStatuses);
}

// "--" ends the options, so names and URLs starting with "-" can be given after it.
bool
Parse(const Command& command, int argc, char** argv, Arguments* arguments, std::string* problem)
{
	bool options = true;
	for (int i = 0; i < argc; i++) {
		std::string word = argv[i];
		if (options && word == "--") {
			options = false;
		} else if (options && word.size() > 1 && word[0] == '-') {
			if (HasWord(command.flagOptions, word) || word == "--help" || word == "-h")
				arguments->flags.insert(word == "-h" ? "--help" : word);
			else if (HasWord(command.valueOptions, word) && i + 1 < argc)
				arguments->values[word] = argv[++i];
			else {
				*problem = "unknown option or missing value: " + word;
				return false;
			}
		} else
			arguments->positional.push_back(word);
	}
	return true;
}

bool
ParseDigit(const std::string& text, int32* digit)
{
	if (text.size() != 1 || text[0] < '0' || text[0] > '9')
		return false;
	*digit = text[0] - '0';
	return true;
}

// The positional arguments from first on as digits.
bool
Digits(const Arguments& arguments, size_t first, size_t count, int32* digits)
{
	for (size_t i = 0; i < count; i++) {
		if (!ParseDigit(arguments.positional[first + i], &digits[i]))
			return false;
	}
	return true;
}

int
Report(const KVCommandResult& result)
{
	if (result.status != kCommandDone)
		fprintf(stderr, "kvbookmarks: %s\n", result.message.String());
	return result.status;
}

void
Print(const std::string& text)
{
	fwrite(text.data(), 1, text.size(), stdout);
}

int
List(const Arguments& arguments)
{
	KVStoreView store;
	if (!ReadStore(&store))
		return Report(KVCommandResult(kCommandRefused, "cannot read the store"));
	Print(arguments.flags.count("--json") != 0 ? FormatListJson(store) : FormatListText(store));
	return kCommandDone;
}

int
StoreCommand(const Command& command, const Arguments& arguments)
{
	std::string name = command.name;
	const std::vector<std::string>& words = arguments.positional;
	int32 digits[4];
	size_t count = name == "mv" ? 4 : (name == "rename-folder" ? 1 : 2);
	if (!Digits(arguments, 0, count, digits))
		return Usage(&command, "FOLDER and SLOT are single digits 0-9");
	if (name == "add") {
		std::map<std::string, std::string>::const_iterator keywords =
		        arguments.values.find("--keywords");
		return Report(
		        AddBookmark(digits[0], digits[1], words[2].c_str(), words[3].c_str(),
		                    keywords != arguments.values.end() ? keywords->second.c_str() : "",
		                    arguments.flags.count("--replace") != 0));
	}
	if (name == "rm")
		return Report(RemoveBookmark(digits[0], digits[1]));
	if (name == "mv")
		return Report(MoveBookmark(digits[0], digits[1], digits[2], digits[3]));
	if (name == "rename-folder")
		return Report(RenameFolder(digits[0], words[1].c_str()));
	return Report(OpenBookmark(digits[0], digits[1]));
}

} // namespace

namespace {

const char* const kFirefoxIniFiles[] = {"/boot/home/.mozilla/firefox/profiles.ini",
                                        "/boot/home/config/settings/mozilla/firefox/profiles.ini",
                                        "/boot/home/snap/firefox/common/.mozilla/firefox/"
                                        "profiles.ini"};
const char* const kChromiumFiles[] = {"/boot/home/config/settings/chromium/Default/Bookmarks",
                                      "/boot/home/config/settings/google-chrome/Default/Bookmarks"};

bool
IsDirectory(const std::string& path)
{
	return BEntry(path.c_str(), true).IsDirectory();
}

std::string
FirefoxDatabase(const std::string& given)
{
	if (!given.empty())
		return IsDirectory(given) ? given + "/places.sqlite" : given;
	for (const char* ini : kFirefoxIniFiles) {
		std::string text;
		BPath path(ini);
		BPath directory;
		if (ReadWholeFile(ini, &text) != B_OK || path.GetParent(&directory) != B_OK)
			continue;
		std::string profile = DefaultProfile(text, directory.Path());
		if (!profile.empty())
			return profile + "/places.sqlite";
	}
	return std::string();
}

std::string
ChromiumFile(const std::string& given)
{
	if (!given.empty())
		return given;
	for (const char* file : kChromiumFiles) {
		if (BEntry(file, true).Exists())
			return BPath(file).Path();
	}
	return std::string();
}

// Reads the source the import names into tree; kCommandDone or the status to exit with.
int
ReadSource(const std::string& kind, const std::string& given, KVSourceTree* tree)
{
	std::string path = kind == "firefox"    ? FirefoxDatabase(given)
	                   : kind == "chromium" ? ChromiumFile(given)
	                                        : given;
	if (path.empty()) {
		fprintf(stderr, "kvbookmarks: no %s bookmarks found; name the %s\n", kind.c_str(),
		        kind == "firefox" ? "profile directory" : "file");
		return kCommandInput;
	}
	std::string error;
	bool read = false;
	if (kind == "firefox")
		read = ReadFirefoxBookmarks(path, tree, &error);
	else {
		std::string bytes;
		status_t status = ReadWholeFile(path.c_str(), &bytes);
		if (status != B_OK)
			error = strerror_be(status);
		else if (kind == "chromium")
			read = ReadChromiumBookmarks(bytes.data(), bytes.size(), tree, &error);
		else
			read = ReadHtmlBookmarks(bytes.data(), bytes.size(), tree, &error);
	}
	if (!read) {
		fprintf(stderr, "kvbookmarks: %s: %s\n", path.c_str(), error.c_str());
		return kCommandInput;
	}
	return kCommandDone;
}

int
Import(const Command& command, const Arguments& arguments)
{
	const std::string& kind = arguments.positional[0];
	if (kind != "firefox" && kind != "chromium" && kind != "html")
		return Usage(&command, "import reads firefox, chromium or html");
	std::string given = arguments.positional.size() > 1 ? arguments.positional[1] : "";
	if (kind == "html" && given.empty())
		return Usage(&command, "import html needs the FILE");
	KVImportOptions options;
	options.folders = arguments.flags.count("--folders") != 0;
	std::map<std::string, std::string>::const_iterator value = arguments.values.find("--from");
	if (value != arguments.values.end())
		options.from = value->second;
	value = arguments.values.find("--into");
	if (value != arguments.values.end() && !ParseDigit(value->second, &options.into))
		return Usage(&command, "--into takes a folder digit 0-9");

	KVSourceTree tree;
	int status = ReadSource(kind, given, &tree);
	if (status != kCommandDone)
		return status;
	if (FindSourceFolder(tree, options.from) == nullptr)
		return Usage(&command, "the bookmarks have no folder \"" + options.from + "\"");
	KVStoreView store;
	KVImportPlan plan;
	std::string error;
	if (!ReadStore(&store))
		return Report(KVCommandResult(kCommandRefused, "cannot read the store"));
	if (!PlanImport(tree, store, options, &plan, &error))
		return Report(KVCommandResult(kCommandRefused, error.c_str()));
	Print(FormatPlan(plan));
	if (arguments.flags.count("--dry-run") != 0)
		return kCommandDone;
	std::string failures;
	if (ApplyImportPlan(plan, &failures) == 0 && failures.empty())
		return kCommandDone;
	fputs(failures.c_str(), stderr);
	return kCommandRefused;
}

int
Export(const Command& command, const Arguments& arguments)
{
	if (arguments.positional[0] != "html")
		return Usage(&command, "export writes html");
	KVStoreView store;
	if (!ReadStore(&store))
		return Report(KVCommandResult(kCommandRefused, "cannot read the store"));
	std::string html = FormatHtmlBookmarks(store);
	if (arguments.positional.size() < 2) {
		Print(html);
		return kCommandDone;
	}
	status_t status = ReplaceWholeFile(arguments.positional[1].c_str(), html);
	if (status != B_OK) {
		fprintf(stderr, "kvbookmarks: %s: %s\n", arguments.positional[1].c_str(),
		        strerror_be(status));
		return kCommandInput;
	}
	return kCommandDone;
}

} // namespace

int
main(int argc, char** argv)
{
	if (argc < 2)
		return Usage(nullptr, "");
	std::string name = argv[1];
	if (name == "--help" || name == "-h" || name == "help") {
		PrintHelp(nullptr);
		return kCommandDone;
	}
	const Command* command = nullptr;
	for (const Command& each : kCommands) {
		if (name == each.name)
			command = &each;
	}
	if (command == nullptr)
		return Usage(nullptr, "unknown command: " + name);
	Arguments arguments;
	std::string problem;
	if (!Parse(*command, argc - 2, argv + 2, &arguments, &problem))
		return Usage(command, problem);
	if (arguments.flags.count("--help") != 0) {
		PrintHelp(command);
		return kCommandDone;
	}
	int count = static_cast<int>(arguments.positional.size());
	if (count < command->minimum || count > command->maximum)
		return Usage(command, "wrong number of arguments");
	if (name == "list")
		return List(arguments);
	if (name == "import")
		return Import(*command, arguments);
	if (name == "export")
		return Export(*command, arguments);
	return StoreCommand(*command, arguments);
}
