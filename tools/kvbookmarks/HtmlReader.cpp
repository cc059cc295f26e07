// The Netscape bookmark file through libxml2's HTML parser, read as a stream of SAX
// events (no document tree, so neither its size nor its depth costs more than the file).
// Browsers write <DT><H3>name</H3> followed by <DL> holding the folder's entries: a
// folder's list is the first <DL> that opens after its <H3>. The parser closes what the
// file leaves open, so every <DL> that starts also ends.
#include "HtmlReader.h"

#include <libxml/HTMLparser.h>
#include <libxml/parserInternals.h>

#include <cstring>

namespace {

const char* const kToolbarAttribute = "personal_toolbar_folder";
const char* const kSlotAttribute = "kestrovane_slot";

// ASCII only: tag and attribute names are ASCII, and the C library's case rules depend
// on the locale. The parser hands names in lower case already; files are not trusted to.
bool
SameIgnoringCase(const char* a, const char* b)
{
	for (; *a != '\0' && *b != '\0'; a++, b++) {
		char x = (*a >= 'A' && *a <= 'Z') ? static_cast<char>(*a - 'A' + 'a') : *a;
		char y = (*b >= 'A' && *b <= 'Z') ? static_cast<char>(*b - 'A' + 'a') : *b;
		if (x != y)
			return false;
	}
	return *a == *b;
}

const char*
Text(const xmlChar* text)
{
	return text != nullptr ? reinterpret_cast<const char*>(text) : "";
}

std::string
Attribute(const xmlChar** attributes, const char* name)
{
	for (int i = 0; attributes != nullptr && attributes[i] != nullptr; i += 2) {
		if (SameIgnoringCase(Text(attributes[i]), name))
			return Text(attributes[i + 1]);
	}
	return std::string();
}

class Reader
{
public:
	explicit Reader(KVSourceTree* tree) : fPending(nullptr), fCapture(nullptr), fTooDeep(false)
	{
		fLists.push_back({&tree->root, 0});
	}

	void Start(const char* name, const xmlChar** attributes);
	void End(const char* name);
	void Characters(const xmlChar* text, int length)
	{
		if (fCapture != nullptr)
			fCapture->append(reinterpret_cast<const char*>(text), static_cast<size_t>(length));
	}
	bool TooDeep() const { return fTooDeep; }

private:
	struct List
	{
		KVSourceNode* folder;
		int depth; // folder levels below the root
	};

	KVSourceNode* _Folder() const { return fLists.back().folder; }

	// One entry per open <DL>, the root's at the bottom.
	std::vector<List> fLists;
	// The folder of the last <H3> whose <DL> has not come yet. It is the last child of
	// the current folder, which gets no other child before the pointer is dropped.
	KVSourceNode* fPending;
	// The name being read: an <H3>'s or an <A>'s.
	std::string* fCapture;
	bool fTooDeep;
};

void
Reader::Start(const char* name, const xmlChar** attributes)
{
	if (fTooDeep)
		return;
	if (SameIgnoringCase(name, "h3")) {
		KVSourceNode folder;
		folder.isFolder = true;
		folder.isToolbar =
		        SameIgnoringCase(Attribute(attributes, kToolbarAttribute).c_str(), "true");
		_Folder()->children.push_back(std::move(folder));
		fPending = &_Folder()->children.back();
		fCapture = &fPending->name;
	} else if (SameIgnoringCase(name, "a")) {
		KVSourceNode link;
		link.url = Attribute(attributes, "href");
		link.keywords = Attribute(attributes, "shortcuturl");
		std::string slot = Attribute(attributes, kSlotAttribute);
		if (slot.size() == 1 && slot[0] >= '0' && slot[0] <= '9')
			link.slotHint = slot[0] - '0';
		_Folder()->children.push_back(std::move(link));
		fPending = nullptr;
		fCapture = &_Folder()->children.back().name;
	} else if (SameIgnoringCase(name, "dl")) {
		fCapture = nullptr;
		if (fPending == nullptr) {
			fLists.push_back(fLists.back());
			return;
		}
		int depth = fLists.back().depth + 1;
		fTooDeep = depth > kMaxSourceDepth;
		fLists.push_back({fPending, depth});
		fPending = nullptr;
	}
}

void
Reader::End(const char* name)
{
	if (SameIgnoringCase(name, "h3") || SameIgnoringCase(name, "a"))
		fCapture = nullptr;
	else if (SameIgnoringCase(name, "dl") && fLists.size() > 1) {
		fLists.pop_back();
		fPending = nullptr;
		fCapture = nullptr;
	}
}

void
StartElement(void* context, const xmlChar* name, const xmlChar** attributes)
{
	xmlParserCtxtPtr parser = static_cast<xmlParserCtxtPtr>(context);
	static_cast<Reader*>(parser->_private)->Start(Text(name), attributes);
}

void
EndElement(void* context, const xmlChar* name)
{
	xmlParserCtxtPtr parser = static_cast<xmlParserCtxtPtr>(context);
	static_cast<Reader*>(parser->_private)->End(Text(name));
}

void
Characters(void* context, const xmlChar* text, int length)
{
	xmlParserCtxtPtr parser = static_cast<xmlParserCtxtPtr>(context);
	static_cast<Reader*>(parser->_private)->Characters(text, length);
}

// A byte-order mark or a charset named near the start decides the encoding; otherwise the
// file is taken as UTF-8, what browsers write.
bool
DeclaresEncoding(const char* data, size_t size)
{
	if (size >= 2 &&
	    ((data[0] == '\xff' && data[1] == '\xfe') || (data[0] == '\xfe' && data[1] == '\xff')))
		return true;
	std::string head(data, size < 2048 ? size : 2048);
	for (size_t i = 0; i + 7 <= head.size(); i++) {
		if (SameIgnoringCase(head.substr(i, 7).c_str(), "charset"))
			return true;
	}
	return false;
}

} // namespace

bool
ReadHtmlBookmarks(const char* data, size_t size, KVSourceTree* tree, std::string* error)
{
	*tree = KVSourceTree();
	if (size > static_cast<size_t>(INT32_MAX)) {
		*error = "the file is too large";
		return false;
	}
	htmlParserCtxtPtr parser = htmlCreateMemoryParserCtxt(data, static_cast<int>(size));
	if (parser == nullptr) {
		*error = size == 0 ? "the file is empty" : "the file cannot be parsed";
		return false;
	}
	// Only these three events: no document is built.
	memset(parser->sax, 0, sizeof(*parser->sax));
	parser->sax->startElement = StartElement;
	parser->sax->endElement = EndElement;
	parser->sax->characters = Characters;
	parser->sax->cdataBlock = Characters;
	Reader reader(tree);
	parser->_private = &reader;
	htmlCtxtUseOptions(parser, HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET |
	                                   HTML_PARSE_RECOVER);
	if (!DeclaresEncoding(data, size))
		xmlSwitchEncoding(parser, XML_CHAR_ENCODING_UTF8);
	htmlParseDocument(parser);
	htmlFreeParserCtxt(parser);
	if (reader.TooDeep()) {
		*tree = KVSourceTree();
		*error = "the folders nest too deeply";
		return false;
	}
	if (tree->root.children.empty()) {
		*error = "the file holds no bookmarks";
		return false;
	}
	return true;
}
