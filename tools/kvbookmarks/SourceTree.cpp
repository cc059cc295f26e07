// Finding folders in a browser's bookmark tree.
#include "SourceTree.h"

namespace {

const KVSourceNode*
FindChildFolder(const KVSourceNode& folder, const std::string& name)
{
	for (const KVSourceNode& child : folder.children) {
		if (child.isFolder && child.name == name)
			return &child;
	}
	return nullptr;
}

const KVSourceNode*
Follow(const KVSourceNode* folder, const std::string& path)
{
	size_t start = 0;
	while (folder != nullptr && start <= path.size()) {
		size_t slash = path.find('/', start);
		if (slash == std::string::npos)
			slash = path.size();
		std::string name = path.substr(start, slash - start);
		if (!name.empty())
			folder = FindChildFolder(*folder, name);
		start = slash + 1;
	}
	return folder;
}

} // namespace

const KVSourceNode*
FindToolbar(const KVSourceNode& root)
{
	if (root.isToolbar)
		return &root;
	for (const KVSourceNode& child : root.children) {
		if (!child.isFolder)
			continue;
		if (const KVSourceNode* found = FindToolbar(child))
			return found;
	}
	return nullptr;
}

const KVSourceNode*
FindSourceFolder(const KVSourceTree& tree, const std::string& path)
{
	const KVSourceNode* toolbar = FindToolbar(tree.root);
	const KVSourceNode* start = toolbar != nullptr ? toolbar : &tree.root;
	if (path.empty())
		return start;
	if (const KVSourceNode* found = Follow(&tree.root, path))
		return found;
	return Follow(start, path);
}

size_t
CountLinks(const KVSourceNode& folder)
{
	size_t count = 0;
	for (const KVSourceNode& child : folder.children)
		count += child.isFolder ? CountLinks(child) : 1;
	return count;
}
