// The Chromium bookmark file: {"roots": {"bookmark_bar": {...}, "other": {...},
// "synced": {...}}}, each node {"type": "folder", "name", "children"} or
// {"type": "url", "name", "url"}. Anything else in a node is ignored; a node of another
// shape is skipped, not fatal.
#include "ChromiumReader.h"

#include <nlohmann/json.hpp>

namespace {

using nlohmann::json;

struct RootName
{
	const char* key;
	const char* name; // when the file gives none
};

const RootName kRoots[] = {{"bookmark_bar", "Bookmarks bar"},
                           {"other", "Other bookmarks"},
                           {"synced", "Mobile bookmarks"}};

std::string
StringField(const json& node, const char* key)
{
	json::const_iterator found = node.find(key);
	if (found == node.end() || !found->is_string())
		return std::string();
	return found->get_ref<const json::string_t&>();
}

void
ReadNode(const json& node, KVSourceNode* folder)
{
	if (!node.is_object())
		return;
	std::string type = StringField(node, "type");
	KVSourceNode child;
	child.name = StringField(node, "name");
	if (type == "url") {
		child.url = StringField(node, "url");
		folder->children.push_back(std::move(child));
		return;
	}
	if (type != "folder")
		return;
	child.isFolder = true;
	json::const_iterator children = node.find("children");
	if (children != node.end() && children->is_array()) {
		for (const json& grandChild : *children)
			ReadNode(grandChild, &child);
	}
	folder->children.push_back(std::move(child));
}

} // namespace

bool
ReadChromiumBookmarks(const char* data, size_t size, KVSourceTree* tree, std::string* error)
{
	*tree = KVSourceTree();
	// The parser itself does not recurse, but reading the tree does: deeper documents
	// are refused before they are walked.
	bool tooDeep = false;
	json::parser_callback_t limit = [&tooDeep](int depth, json::parse_event_t, json&) {
		// Each folder level takes two JSON levels (the object and its "children").
		if (depth > 2 * kMaxSourceDepth + 4)
			tooDeep = true;
		return !tooDeep;
	};
	json document = json::parse(data, data + size, limit, false);
	if (tooDeep) {
		*error = "the folders nest too deeply";
		return false;
	}
	if (document.is_discarded() || !document.is_object()) {
		*error = "the file is not valid JSON";
		return false;
	}
	json::const_iterator roots = document.find("roots");
	if (roots == document.end() || !roots->is_object()) {
		*error = "the file has no bookmark roots";
		return false;
	}
	for (const RootName& root : kRoots) {
		json::const_iterator node = roots->find(root.key);
		if (node == roots->end() || !node->is_object())
			continue;
		size_t before = tree->root.children.size();
		ReadNode(*node, &tree->root);
		if (tree->root.children.size() == before)
			continue;
		KVSourceNode& added = tree->root.children.back();
		if (added.name.empty())
			added.name = root.name;
		added.isToolbar = root.key == std::string("bookmark_bar");
	}
	if (tree->root.children.empty()) {
		*error = "the file has no bookmark roots";
		return false;
	}
	return true;
}
