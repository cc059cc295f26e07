// The bookmarks of another browser as the readers hand them over: a tree of folders and
// links, in the browser's order, with the folder the browser shows as its toolbar marked.
// Plain standard-library values, so the readers need nothing of the store.
#ifndef KV_SOURCE_TREE_H
#define KV_SOURCE_TREE_H

#include <string>
#include <vector>

// Deeper nesting than this is refused by every reader: the tree is walked recursively.
const int kMaxSourceDepth = 64;

struct KVSourceNode
{
	bool isFolder = false;
	// The browser's bar of bookmarks (the default source of an import).
	bool isToolbar = false;
	std::string name;
	std::string url;
	std::string keywords;
	// The slot digit an export of this program wrote beside the link (0..9), or -1.
	int slotHint = -1;
	std::vector<KVSourceNode> children;
};

// The root is a folder without a name; its children are the browser's top folders.
struct KVSourceTree
{
	KVSourceTree() { root.isFolder = true; }

	KVSourceNode root;
};

// The toolbar folder, or NULL when the tree marks none.
const KVSourceNode* FindToolbar(const KVSourceNode& root);

// Follows "Folder/Sub folder" from the root; when the first name is no top folder, from
// the toolbar. Names compare exactly. NULL when a step is missing; "" is the toolbar (or
// the root when there is none).
const KVSourceNode* FindSourceFolder(const KVSourceTree& tree, const std::string& path);

// Counts the links under a folder, all levels.
size_t CountLinks(const KVSourceNode& folder);

#endif // KV_SOURCE_TREE_H
