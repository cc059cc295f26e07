// Kit-internal: which program stands for a signature or a MIME type. The user's
// application table first, then the kit's defaults for a Linux desktop.
#ifndef _APPLICATION_TABLE_H
#define _APPLICATION_TABLE_H

#include <string>
#include <vector>

namespace BPrivate {

struct app_command
{
	// The executable (a full path) followed by the table's fixed arguments.
	std::vector<std::string> argv;
	// xdg-open takes one file or URL; such programs are started once per argument.
	bool oneArgumentPerProcess = false;
};

// ASCII case-insensitive equality, as signatures and MIME types compare.
bool EqualIgnoringCase(const char* a, const char* b);

// The table file in use: $KIT_APPLICATION_TABLE when set, else
// $XDG_CONFIG_HOME/kit/applications (XDG_CONFIG_HOME defaulting to $HOME/.config).
std::string ApplicationTablePath();

// Parses table text. Each line is "<signature or MIME type> <program> [argument ...]";
// blank lines and lines starting with '#' are skipped; a word in double quotes may hold
// spaces, and a backslash inside quotes escapes the next character. Keys compare without
// regard to case; the first line for a key wins. Returns false with command untouched when
// key has no line. program is returned as written, not yet looked up.
bool FindInTableText(const std::string& text, const char* key, std::vector<std::string>& words);

// Resolves key through the table file, then the defaults. False when no program exists.
bool ResolveApplication(const char* key, app_command& command);

} // namespace BPrivate

#endif // _APPLICATION_TABLE_H
