// Font resolution: descriptions to fontconfig patterns, the primary face and fallbacks, and
// the font configuration they are resolved with. Remembered font choices (FontChoices.h)
// resolve the families they cover until the system's full configuration is read: when text
// first needs it, or at once on a thread of its own when nothing is remembered. Fallbacks
// always come from the full configuration.
#include "TextFonts.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include <cairo-ft.h>

#include "FontChoices.h"

namespace BPrivate {

namespace {

// Everything here lives as long as the process: window threads may still draw while the
// process ends, after static objects are gone.
std::once_flag sFontConfigurationRead;
std::atomic<bool> sFontConfigurationReady(false);

std::once_flag sChoicesLoaded;
FcConfig* sChoices = nullptr;
std::set<std::string>& sChosenFamilies = *new std::set<std::string>;
std::string& sChoicesPath = *new std::string;
std::string& sChoicesStamp = *new std::string;

// The families drawn with so far, and those the remembered choices hold.
std::mutex& sFamiliesLock = *new std::mutex;
std::set<std::string>& sUsedFamilies = *new std::set<std::string>;
std::set<std::string>& sRememberedFamilies = *new std::set<std::string>;

// Font sets by description, faces by their rendered pattern, font files' data by path.
std::mutex& sFontsLock = *new std::mutex;
// A set is made once: a thread that asks while another makes it waits for that one.
struct FontSetEntry
{
	std::once_flag made;
	FontSet* set = nullptr;
};
std::map<std::string, FontSetEntry>& sFontSets = *new std::map<std::string, FontSetEntry>;
std::map<std::string, TextFace*>& sFaces = *new std::map<std::string, TextFace*>;
std::map<std::string, hb_face_t*>& sShaperFaces = *new std::map<std::string, hb_face_t*>;

void
LoadChoices()
{
	std::call_once(sChoicesLoaded, [] {
		// The environment is read here, once: other threads may change it meanwhile.
		sChoicesPath = FontChoicesPath();
		sChoicesStamp = FontConfigurationStamp();
		sChoices = LoadFontChoices(sChoicesPath, sChoicesStamp, &sChosenFamilies);
		std::lock_guard<std::mutex> lock(sFamiliesLock);
		sRememberedFamilies = sChosenFamilies;
	});
}

// Writes the choices again when a family is new to them, or when the full configuration
// now resolves a family otherwise (a font installed since).
void
RememberChoices(bool check)
{
	// The reader thread and a window thread meeting a new family may both write.
	static std::mutex& sWriting = *new std::mutex;
	std::lock_guard<std::mutex> writing(sWriting);
	LoadChoices();
	std::set<std::string> families;
	{
		std::lock_guard<std::mutex> lock(sFamiliesLock);
		bool complete = std::includes(sRememberedFamilies.begin(), sRememberedFamilies.end(),
		                              sUsedFamilies.begin(), sUsedFamilies.end());
		if (complete && !check)
			return;
		families = sRememberedFamilies;
		families.insert(sUsedFamilies.begin(), sUsedFamilies.end());
		sRememberedFamilies = families;
	}
	RememberFontChoices(sChoicesPath, sChoicesStamp, families);
}

// Parsing the configuration is most of a program's start-up work and holds about a
// megabyte; it is done once, and a thread that needs it while another is parsing waits for
// that one. Remembered choices are checked against it then: their stamps do not see a font
// file rewritten in place.
void
ReadFontConfiguration()
{
	std::call_once(sFontConfigurationRead, [] {
		FcInit();
		sFontConfigurationReady = true;
		RememberChoices(sChoices != nullptr);
	});
}

// The configuration that resolves families: the remembered choices until the full one is
// read, when they hold every family asked for.
FcConfig*
ConfigurationFor(const std::set<std::string>& families)
{
	LoadChoices();
	if (!sFontConfigurationReady && sChoices != nullptr &&
	    std::includes(sChosenFamilies.begin(), sChosenFamilies.end(), families.begin(),
	                  families.end())) {
		return sChoices;
	}
	ReadFontConfiguration();
	return FcConfigGetCurrent();
}

std::string
Trimmed(const std::string& text)
{
	size_t start = text.find_first_not_of(' ');
	if (start == std::string::npos)
		return std::string();
	return text.substr(start, text.find_last_not_of(' ') - start + 1);
}

// Families in the order given, for the pattern; the request holds them as a set.
std::vector<std::string>
FamilyList(const std::string& description)
{
	std::vector<std::string> families;
	size_t start = 0;
	while (start <= description.size()) {
		size_t comma = description.find(',', start);
		std::string family = Trimmed(description.substr(
		        start, comma == std::string::npos ? std::string::npos : comma - start));
		if (!family.empty() &&
		    std::find(families.begin(), families.end(), family) == families.end()) {
			families.push_back(family);
		}
		if (comma == std::string::npos)
			break;
		start = comma + 1;
	}
	return families;
}

bool
StripSuffix(std::string* text, const char* suffix)
{
	std::string tail(suffix);
	if (text->size() < tail.size() ||
	    text->compare(text->size() - tail.size(), tail.size(), tail) != 0)
		return false;
	text->erase(text->size() - tail.size());
	return true;
}

// The pattern fontconfig matches for a request, before substitution.
FcPattern*
RequestPattern(const FontRequest& request)
{
	FcPattern* pattern = FcPatternCreate();
	for (const std::string& family : request.familyOrder)
		FcPatternAddString(pattern, FC_FAMILY, (const FcChar8*)family.c_str());
	FcPatternAddInteger(pattern, FC_WEIGHT, request.bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
	FcPatternAddInteger(pattern, FC_SLANT, request.oblique ? FC_SLANT_OBLIQUE : FC_SLANT_ROMAN);
	FcPatternAddInteger(pattern, FC_WIDTH, FC_WIDTH_NORMAL);
	// Sizes are pixels; at 72 dots an inch a point is a pixel.
	FcPatternAddDouble(pattern, FC_PIXEL_SIZE, request.pixelSize);
	FcPatternAddDouble(pattern, FC_SIZE, request.pixelSize);
	FcPatternAddDouble(pattern, FC_DPI, 72.0);
	return pattern;
}

cairo_font_options_t*
NewFontOptions()
{
	cairo_font_options_t* options = cairo_font_options_create();
	// Whole-pixel metrics, as BeOS measures text.
	cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
	cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
	return options;
}

// The request with the configuration's rules and the drawing options applied.
FcPattern*
Substituted(FcConfig* config, FcPattern* request)
{
	FcPattern* pattern = FcPatternDuplicate(request);
	FcConfigSubstitute(config, pattern, FcMatchPattern);
	cairo_font_options_t* options = NewFontOptions();
	cairo_ft_font_options_substitute(options, pattern);
	cairo_font_options_destroy(options);
	FcDefaultSubstitute(pattern);
	return pattern;
}

hb_face_t*
ShaperFace(const std::string& file, int index)
{
	std::string key = file + "#" + std::to_string(index);
	auto found = sShaperFaces.find(key);
	if (found != sShaperFaces.end())
		return found->second;
	hb_blob_t* blob = hb_blob_create_from_file(file.c_str());
	hb_face_t* face = hb_face_create(blob, (unsigned int)index);
	hb_blob_destroy(blob);
	hb_face_make_immutable(face);
	sShaperFaces[key] = face;
	return face;
}

// The request's match through config, with the configuration's rendering settings for it
// (caller destroys it).
FcPattern*
MatchPrimary(FcConfig* config, FcPattern* request)
{
	FcPattern* pattern = Substituted(config, request);
	FcResult result;
	FcPattern* match = FcFontMatch(config, pattern, &result);
	FcPattern* rendered = match != nullptr ? FcFontRenderPrepare(config, pattern, match)
	                                       : FcPatternDuplicate(pattern);
	if (match != nullptr)
		FcPatternDestroy(match);
	FcPatternDestroy(pattern);
	return rendered;
}

std::string
PatternName(FcPattern* pattern)
{
	FcChar8* name = FcNameUnparse(pattern);
	std::string result = name != nullptr ? (const char*)name : std::string();
	free(name);
	return result;
}

// The face a rendered pattern (taken over) draws with at size; made once. Callers hold
// sFontsLock.
const TextFace*
MakeFace(FcPattern* rendered, double pixelSize)
{
	std::string key = PatternName(rendered);
	auto found = sFaces.find(key);
	if (found != sFaces.end()) {
		FcPatternDestroy(rendered);
		return found->second;
	}
	FcChar8* file = nullptr;
	int index = 0;
	FcPatternGetString(rendered, FC_FILE, 0, &file);
	FcPatternGetInteger(rendered, FC_INDEX, 0, &index);
	TextFace* face = new TextFace;
	cairo_font_face_t* fontFace = cairo_ft_font_face_create_for_pattern(rendered);
	cairo_matrix_t size, identity;
	cairo_matrix_init_scale(&size, pixelSize, pixelSize);
	cairo_matrix_init_identity(&identity);
	cairo_font_options_t* options = NewFontOptions();
	face->scaledFont = cairo_scaled_font_create(fontFace, &size, &identity, options);
	cairo_font_options_destroy(options);
	cairo_font_face_destroy(fontFace);
	hb_face_t* shaperFace = ShaperFace(file != nullptr ? (const char*)file : "", index);
	face->shaper = hb_font_create(shaperFace);
	hb_font_make_immutable(face->shaper);
	unsigned int unitsPerEm = std::max(1u, hb_face_get_upem(shaperFace));
	face->pixelsPerUnit = pixelSize / unitsPerEm;
	face->pixelSize = pixelSize;
	face->pattern = rendered;
	face->coverage = nullptr;
	FcPatternGetCharSet(rendered, FC_CHARSET, 0, &face->coverage);
	sFaces[key] = face;
	return face;
}

} // namespace

std::string
ResolvedFontName(FcConfig* config, const std::string& description)
{
	FcPattern* request = RequestPattern(ParseFontDescription(description));
	FcPattern* rendered = MatchPrimary(config, request);
	std::string name = PatternName(rendered);
	FcPatternDestroy(rendered);
	FcPatternDestroy(request);
	return name;
}

FontRequest
ParseFontDescription(const std::string& description)
{
	FontRequest request;
	std::string rest = description;
	size_t lastSpace = rest.rfind(' ');
	if (rest.size() > 2 && rest.compare(rest.size() - 2, 2, "px") == 0) {
		std::string size = rest.substr(lastSpace == std::string::npos ? 0 : lastSpace + 1);
		double pixels = std::strtod(size.c_str(), nullptr);
		if (std::isfinite(pixels) && pixels > 0)
			request.pixelSize = pixels;
		rest.erase(lastSpace == std::string::npos ? 0 : lastSpace);
	}
	request.oblique = StripSuffix(&rest, " Oblique");
	request.bold = StripSuffix(&rest, " Bold");
	request.familyOrder = FamilyList(rest);
	request.families.insert(request.familyOrder.begin(), request.familyOrder.end());
	return request;
}

FontSet::FontSet(const std::string& description)
    : fFallbackRequest(nullptr), fFallbacks(nullptr), fFallbackCoverage(nullptr)
{
	FontRequest request = ParseFontDescription(description);
	fRequest = RequestPattern(request);
	{
		std::lock_guard<std::mutex> lock(sFamiliesLock);
		sUsedFamilies.insert(request.families.begin(), request.families.end());
	}
	FcConfig* config = ConfigurationFor(request.families);
	FcPattern* rendered = MatchPrimary(config, fRequest);
	FcChar8* file = nullptr;
	if (config == sChoices && FcPatternGetString(rendered, FC_FILE, 0, &file) != FcResultMatch) {
		// The chosen fonts are gone: the full configuration decides, and the choices are
		// made anew.
		FcPatternDestroy(rendered);
		ReadFontConfiguration();
		rendered = MatchPrimary(FcConfigGetCurrent(), fRequest);
		RememberChoices(true);
	}
	{
		std::lock_guard<std::mutex> lock(sFontsLock);
		fPrimary = MakeFace(rendered, request.pixelSize);
	}
	if (sFontConfigurationReady)
		RememberChoices(false);

	cairo_font_extents_t extents;
	cairo_scaled_font_extents(fPrimary->scaledFont, &extents);
	fHeight.ascent = std::ceil((float)extents.ascent);
	fHeight.descent = std::ceil((float)extents.descent);
	fHeight.leading =
	        std::max(0.0f, std::ceil((float)(extents.height - extents.ascent - extents.descent)));
}

FontSet::~FontSet()
{
	FcPatternDestroy(fRequest);
	if (fFallbackRequest != nullptr)
		FcPatternDestroy(fFallbackRequest);
	if (fFallbacks != nullptr)
		FcFontSetDestroy(fFallbacks);
	if (fFallbackCoverage != nullptr)
		FcCharSetDestroy(fFallbackCoverage);
}

const TextFace&
FontSet::FaceFor(uint32_t character)
{
	if (fPrimary->coverage == nullptr || FcCharSetHasChar(fPrimary->coverage, character))
		return *fPrimary;
	return _Fallback(character);
}

const TextFace&
FontSet::_Fallback(uint32_t character)
{
	// Ranking every installed font takes the full configuration and some time: it is done
	// once per set, the first time a character is missing.
	ReadFontConfiguration();
	std::lock_guard<std::mutex> lock(sFontsLock);
	FcConfig* config = FcConfigGetCurrent();
	if (fFallbacks == nullptr) {
		fFallbackRequest = Substituted(config, fRequest);
		FcResult result;
		fFallbacks = FcFontSort(config, fFallbackRequest, FcTrue, &fFallbackCoverage, &result);
		if (fFallbacks == nullptr)
			fFallbacks = FcFontSetCreate();
		fFallbackFaces.assign((size_t)fFallbacks->nfont, nullptr);
	}
	if (fFallbackCoverage == nullptr || !FcCharSetHasChar(fFallbackCoverage, character))
		return *fPrimary;
	for (int i = 0; i < fFallbacks->nfont; i++) {
		FcCharSet* coverage = nullptr;
		if (FcPatternGetCharSet(fFallbacks->fonts[i], FC_CHARSET, 0, &coverage) != FcResultMatch ||
		    !FcCharSetHasChar(coverage, character)) {
			continue;
		}
		// Each fallback face is made once; text with many missing characters asks often.
		if (fFallbackFaces[i] == nullptr) {
			FcPattern* rendered =
			        FcFontRenderPrepare(config, fFallbackRequest, fFallbacks->fonts[i]);
			fFallbackFaces[i] = MakeFace(rendered, fPrimary->pixelSize);
		}
		return *fFallbackFaces[i];
	}
	return *fPrimary;
}

FontSet&
FontSetFor(const FontDescription& font)
{
	// Each thread remembers the sets it used, so the common case takes no lock.
	thread_local std::map<std::string, FontSet*> sKnown;
	const std::string& description = font.Description();
	auto known = sKnown.find(description);
	if (known != sKnown.end())
		return *known->second;
	FontSetEntry* entry;
	{
		std::lock_guard<std::mutex> lock(sFontsLock);
		entry = &sFontSets[description];
	}
	std::call_once(entry->made, [&] { entry->set = new FontSet(description); });
	sKnown[description] = entry->set;
	return *entry->set;
}

void
StartReadingFontConfiguration()
{
	LoadChoices();
	// With choices remembered, the full configuration waits until text needs a family they
	// do not hold or a character their faces lack: most runs never need it.
	if (sChoices != nullptr)
		return;
	std::thread(ReadFontConfiguration).detach();
}

} // namespace BPrivate
