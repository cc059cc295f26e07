// The Netscape bookmark file through libxml2. Browsers write <DT><H3>name</H3> followed by
// <DL> holding the folder's entries; the parser may put that <DL> inside the <DT> or after
// it, so a folder's list is simply the first <DL> met after its <H3>.
#include "HtmlReader.h"

#include <libxml/HTMLparser.h>
#include <libxml/tree.h>

#include <cstring>

namespace {

const char* const kToolbarAttribute = "personal_toolbar_folder";
const char* const kSlotAttribute = "kestrovane_slot";

// ASCII only: tag and attribute names are ASCII, and the C library's case rules depend
// on the locale.
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

bool
IsElement(const xmlNode* node, const char* name)
{
	return node->type == XML_ELEMENT_NODE && node->name != nullptr &&
	       SameIgnoringCase(reinterpret_cast<const char*>(node->name), name);
}

std::string
Attribute(const xmlNode* node, const char* name)
{
	for (const xmlAttr* attribute = node->properties; attribute != nullptr;
	     attribute = attribute->next) {
		if (attribute->name == nullptr ||
		    !SameIgnoringCase(reinterpret_cast<const char*>(attribute->name), name))
			continue;
		xmlChar* value = xmlNodeListGetString(node->doc, attribute->children, 1);
		std::string text = value != nullptr ? reinterpret_cast<const char*>(value) : "";
		xmlFree(value);
		return text;
	}
	return std::string();
}

std::string
Text(const xmlNode* node)
{
	xmlChar* content = xmlNodeGetContent(node);
	std::string text = content != nullptr ? reinterpret_cast<const char*>(content) : "";
	xmlFree(content);
	return text;
}

class Walker
{
public:
	explicit Walker(KVSourceTree* tree) : fTree(tree), fPending(nullptr), fTooDeep(false) {}

	void Walk(const xmlNode* node, KVSourceNode* folder, int depth);
	bool TooDeep() const { return fTooDeep; }

private:
	void _Folder(const xmlNode* node, KVSourceNode* folder);
	void _Link(const xmlNode* node, KVSourceNode* folder);

	KVSourceTree* fTree;
	// The folder of the last <H3> whose <DL> has not come yet.
	KVSourceNode* fPending;
	bool fTooDeep;
};

void
Walker::_Folder(const xmlNode* node, KVSourceNode* folder)
{
	KVSourceNode child;
	child.isFolder = true;
	child.name = Text(node);
	child.isToolbar = SameIgnoringCase(Attribute(node, kToolbarAttribute).c_str(), "true");
	folder->children.push_back(std::move(child));
	fPending = &folder->children.back();
}

void
Walker::_Link(const xmlNode* node, KVSourceNode* folder)
{
	fPending = nullptr;
	KVSourceNode link;
	link.url = Attribute(node, "href");
	link.name = Text(node);
	link.keywords = Attribute(node, "shortcuturl");
	std::string slot = Attribute(node, kSlotAttribute);
	if (slot.size() == 1 && slot[0] >= '0' && slot[0] <= '9')
		link.slotHint = slot[0] - '0';
	folder->children.push_back(std::move(link));
}

// A folder's children vector only grows while its own <DL> is walked, and a pending
// folder is consumed before its parent gets another child, so the pointers stay valid.
void
Walker::Walk(const xmlNode* node, KVSourceNode* folder, int depth)
{
	if (depth > kMaxSourceDepth) {
		fTooDeep = true;
		return;
	}
	for (const xmlNode* child = node->children; child != nullptr && !fTooDeep;
	     child = child->next) {
		if (IsElement(child, "h3"))
			_Folder(child, folder);
		else if (IsElement(child, "a"))
			_Link(child, folder);
		else if (IsElement(child, "dl") && fPending != nullptr) {
			KVSourceNode* target = fPending;
			fPending = nullptr;
			Walk(child, target, depth + 1);
		} else if (child->type == XML_ELEMENT_NODE)
			Walk(child, folder, depth + 1);
	}
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
	// A file without a declared encoding is taken as UTF-8, what browsers write; a
	// <META charset> in the file still wins.
	int options = HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET |
	              HTML_PARSE_RECOVER | HTML_PARSE_NOBLANKS;
	// A byte-order mark names the encoding too.
	bool declared = size >= 2 && ((data[0] == '\xff' && data[1] == '\xfe') ||
	                              (data[0] == '\xfe' && data[1] == '\xff'));
	{
		std::string head(data, size < 2048 ? size : 2048);
		for (size_t i = 0; i + 7 <= head.size() && !declared; i++)
			declared = SameIgnoringCase(head.substr(i, 7).c_str(), "charset");
	}
	htmlDocPtr document = htmlReadMemory(data, static_cast<int>(size), nullptr,
	                                     declared ? nullptr : "UTF-8", options);
	if (document == nullptr) {
		*error = "the file is not HTML";
		return false;
	}
	Walker walker(tree);
	walker.Walk(reinterpret_cast<xmlNode*>(document), &tree->root, 0);
	xmlFreeDoc(document);
	if (walker.TooDeep()) {
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
