// Remembered font choices: a small file that holds the stamp of the configuration they
// were made under, the families they cover, and a fontconfig configuration (XML) with the
// chosen fonts' folders, the full configuration's cache folders, the family each requested
// one resolved to, and the rendering settings the full configuration gives that family.
#include "FontChoices.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace BPrivate {

namespace {

const char* const kHeader = "kit font choices 2";
const char* const kFamiliesLine = "families";
const char* const kFoldersLine = "folders";
const char* const kConfigurationLine = "configuration";

// The rendering settings that make two configurations draw a font alike.
const char* const kBoolSettings[] = {FC_ANTIALIAS, FC_HINTING, FC_AUTOHINT, FC_EMBEDDED_BITMAP,
                                     FC_EMBOLDEN};
const char* const kIntSettings[] = {FC_HINT_STYLE, FC_RGBA, FC_LCD_FILTER};

std::string
Environment(const char* name)
{
	const char* value = getenv(name);
	return value != nullptr ? value : "";
}

void
AddFileStamp(std::string* stamp, const std::string& path)
{
	// A font added to, removed from or replaced in a folder changes the folder's time.
	struct stat info;
	*stamp += path;
	if (stat(path.c_str(), &info) == 0) {
		*stamp += " " + std::to_string(info.st_size) + " " + std::to_string(info.st_mtim.tv_sec) +
		          "." + std::to_string(info.st_mtim.tv_nsec);
	} else {
		*stamp += " -";
	}
	*stamp += "\n";
}

std::string
Escaped(const std::string& text)
{
	std::string result;
	for (char c : text) {
		switch (c) {
		case '&':
			result += "&amp;";
			break;
		case '<':
			result += "&lt;";
			break;
		case '>':
			result += "&gt;";
			break;
		case '"':
			result += "&quot;";
			break;
		default:
			result += c;
		}
	}
	return result;
}

std::string
Directory(const std::string& file)
{
	size_t slash = file.rfind('/');
	return slash == std::string::npos || slash == 0 ? std::string() : file.substr(0, slash);
}

// The rule that gives the resolved family the full configuration's rendering settings.
std::string
RenderingRule(const std::string& family, FcPattern* match)
{
	std::string edits;
	for (const char* name : kBoolSettings) {
		FcBool value;
		if (FcPatternGetBool(match, name, 0, &value) == FcResultMatch) {
			edits += std::string("<edit name=\"") + name + "\" mode=\"assign\"><bool>" +
			         (value ? "true" : "false") + "</bool></edit>";
		}
	}
	for (const char* name : kIntSettings) {
		int value;
		if (FcPatternGetInteger(match, name, 0, &value) == FcResultMatch) {
			edits += std::string("<edit name=\"") + name + "\" mode=\"assign\"><int>" +
			         std::to_string(value) + "</int></edit>";
		}
	}
	return "<match target=\"font\"><test name=\"family\"><string>" + Escaped(family) +
	       "</string></test>" + edits + "</match>";
}

// The configuration for the given families, resolved with the full one, and the folders
// their fonts are in; empty when a family resolves to no file.
std::string
ChoicesConfiguration(const std::set<std::string>& families, std::set<std::string>* foldersOut)
{
	FcConfig* full = FcConfigGetCurrent();
	std::set<std::string>& folders = *foldersOut;
	std::string rules;
	for (const std::string& family : families) {
		FcPattern* pattern = FcPatternCreate();
		FcPatternAddString(pattern, FC_FAMILY, (const FcChar8*)family.c_str());
		FcConfigSubstitute(full, pattern, FcMatchPattern);
		FcDefaultSubstitute(pattern);
		FcResult result;
		FcPattern* match = FcFontMatch(full, pattern, &result);
		FcPatternDestroy(pattern);
		FcChar8* file = nullptr;
		FcChar8* resolved = nullptr;
		if (match == nullptr || FcPatternGetString(match, FC_FILE, 0, &file) != FcResultMatch ||
		    FcPatternGetString(match, FC_FAMILY, 0, &resolved) != FcResultMatch ||
		    Directory((const char*)file).empty() ||
		    Directory((const char*)file).find('\n') != std::string::npos) {
			if (match != nullptr)
				FcPatternDestroy(match);
			return std::string();
		}
		folders.insert(Directory((const char*)file));
		std::string to((const char*)resolved);
		if (to != family) {
			rules += "<match target=\"pattern\"><test name=\"family\"><string>" + Escaped(family) +
			         "</string></test><edit name=\"family\" mode=\"prepend\" binding=\"strong\">"
			         "<string>" +
			         Escaped(to) + "</string></edit></match>";
		}
		rules += RenderingRule(to, match);
		FcPatternDestroy(match);
	}
	std::string xml = "<?xml version=\"1.0\"?>\n<fontconfig>\n";
	for (const std::string& folder : folders)
		xml += "<dir>" + Escaped(folder) + "</dir>\n";
	FcStrList* caches = FcConfigGetCacheDirs(full);
	while (FcChar8* cache = FcStrListNext(caches))
		xml += "<cachedir>" + Escaped((const char*)cache) + "</cachedir>\n";
	FcStrListDone(caches);
	return xml + rules + "\n</fontconfig>\n";
}

bool
ReadWholeFile(const std::string& path, std::string* contents)
{
	std::ifstream in(path, std::ios::binary);
	if (!in)
		return false;
	std::ostringstream buffer;
	buffer << in.rdbuf();
	*contents = buffer.str();
	return !in.bad();
}

// Writes next to the file, then renames: a reader sees the old choices or the new ones.
bool
ReplaceFile(const std::string& path, const std::string& contents)
{
	std::string folder = Directory(path);
	std::string parent = Directory(folder);
	if (folder.empty())
		return false;
	if (!parent.empty())
		mkdir(parent.c_str(), 0700);
	mkdir(folder.c_str(), 0700);
	std::string temporary = path + "." + std::to_string(getpid()) + ".new";
	{
		std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
		out << contents;
		out.close();
		if (!out) {
			unlink(temporary.c_str());
			return false;
		}
	}
	if (rename(temporary.c_str(), path.c_str()) != 0) {
		unlink(temporary.c_str());
		return false;
	}
	return true;
}

} // namespace

std::string
FontChoicesPath()
{
	std::string cache = Environment("XDG_CACHE_HOME");
	if (cache.empty() || cache[0] != '/') {
		std::string home = Environment("HOME");
		if (home.empty() || home[0] != '/')
			return std::string();
		cache = home + "/.cache";
	}
	return cache + "/kit/fonts";
}

std::string
FontConfigurationStamp()
{
	std::string stamp = "fontconfig " + std::to_string(FcGetVersion()) + "\n";
	for (const char* name : {"FONTCONFIG_FILE", "FONTCONFIG_PATH", "FONTCONFIG_SYSROOT"})
		stamp += std::string(name) + "=" + Environment(name) + "\n";
	AddFileStamp(&stamp, "/etc/fonts/fonts.conf");
	AddFileStamp(&stamp, "/etc/fonts/conf.d");
	std::string home = Environment("HOME");
	std::string configHome = Environment("XDG_CONFIG_HOME");
	if (configHome.empty())
		configHome = home + "/.config";
	AddFileStamp(&stamp, configHome + "/fontconfig/fonts.conf");
	AddFileStamp(&stamp, configHome + "/fontconfig/conf.d");
	AddFileStamp(&stamp, home + "/.fonts.conf");
	AddFileStamp(&stamp, home + "/.fonts.conf.d");
	AddFileStamp(&stamp, home + "/.fonts");
	return stamp;
}

FcConfig*
LoadFontChoices(const std::string& path, const std::string& stamp, std::set<std::string>* families)
{
	std::string contents;
	if (path.empty() || !ReadWholeFile(path, &contents))
		return nullptr;
	std::string expected = std::string(kHeader) + "\n" + stamp + kFamiliesLine + "\n";
	if (contents.compare(0, expected.size(), expected) != 0)
		return nullptr;
	std::istringstream rest(contents.substr(expected.size()));
	std::set<std::string> found;
	std::string line;
	bool complete = false;
	while (std::getline(rest, line) && line != kFoldersLine)
		found.insert(line);
	// The chosen fonts' folders as they were: a font changed in one retires the choices.
	std::string folder;
	while (std::getline(rest, folder)) {
		if (folder == kConfigurationLine) {
			complete = true;
			break;
		}
		std::string recorded, now;
		std::getline(rest, recorded);
		AddFileStamp(&now, folder);
		if (recorded + "\n" != now)
			return nullptr;
	}
	std::string xml((std::istreambuf_iterator<char>(rest)), std::istreambuf_iterator<char>());
	// A file cut short (a full disk, a crash while writing) lacks the configuration's end.
	const std::string end = "</fontconfig>\n";
	if (!complete || found.empty() || xml.size() < end.size() ||
	    xml.compare(xml.size() - end.size(), end.size(), end) != 0) {
		return nullptr;
	}
	FcConfig* config = FcConfigCreate();
	if (config == nullptr)
		return nullptr;
	if (!FcConfigParseAndLoadFromMemory(config, (const FcChar8*)xml.c_str(), FcFalse) ||
	    !FcConfigBuildFonts(config)) {
		FcConfigDestroy(config);
		return nullptr;
	}
	if (families != nullptr)
		*families = found;
	return config;
}

bool
RememberFontChoices(const std::string& path, const std::string& stamp,
                    const std::set<std::string>& families)
{
	if (path.empty() || families.empty())
		return false;
	for (const std::string& family : families) {
		if (family.empty() || family.find('\n') != std::string::npos)
			return false;
	}
	std::set<std::string> folders;
	std::string xml = ChoicesConfiguration(families, &folders);
	if (xml.empty())
		return false;
	std::string contents = std::string(kHeader) + "\n" + stamp + kFamiliesLine + "\n";
	for (const std::string& family : families)
		contents += family + "\n";
	contents += std::string(kFoldersLine) + "\n";
	for (const std::string& folder : folders) {
		contents += folder + "\n";
		AddFileStamp(&contents, folder);
	}
	contents += std::string(kConfigurationLine) + "\n" + xml;
	std::string current;
	if (ReadWholeFile(path, &current) && current == contents)
		return true;
	return ReplaceFile(path, contents);
}

} // namespace BPrivate
