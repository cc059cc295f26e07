// Which fonts the desktop's font configuration picks for the families a program draws
// with, remembered between runs. Reading the whole configuration (dozens of XML files) is
// most of a program's start-up work; with the choices remembered, the first frames are
// drawn through a small configuration that holds just the chosen fonts' folders and the
// rendering settings the full one gives them, which draws the same glyphs at the same
// places, while the full configuration is read in the background.
#ifndef _KV_DISPLAY_FONT_CHOICES_H
#define _KV_DISPLAY_FONT_CHOICES_H

#include <set>
#include <string>

#include <fontconfig/fontconfig.h>

namespace BPrivate {

// Where the choices are kept: $XDG_CACHE_HOME (or ~/.cache) /kit/fonts; empty without a
// home.
std::string FontChoicesPath();

// What the remembered choices depend on: the configuration's files and folders, the
// variables that move them, and the library's version. Choices made under another stamp
// are not used. It reads the environment: take it (and the path) once, on one thread.
std::string FontConfigurationStamp();

// The small configuration made of the choices remembered under stamp, built and owned by
// the caller (FcConfigDestroy()); nullptr when there are none, they are stale or cannot be
// read. *families receives the families they cover.
FcConfig* LoadFontChoices(const std::string& path, const std::string& stamp,
                          std::set<std::string>* families);

// Resolves each family with the full configuration (which must be loaded) and writes the
// choices for them under stamp, replacing the file atomically. False when nothing could be
// written.
bool RememberFontChoices(const std::string& path, const std::string& stamp,
                         const std::set<std::string>& families);

} // namespace BPrivate

#endif // _KV_DISPLAY_FONT_CHOICES_H
