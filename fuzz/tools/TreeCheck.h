// What every reader must hand over whatever its input: a tree no deeper than the limit,
// links and folders apart, and names that the import turns into one harmless entry name.
#ifndef KV_TREE_CHECK_H
#define KV_TREE_CHECK_H

#include "tools/kvbookmarks/ImportPlan.h"
#include "tools/kvbookmarks/SourceTree.h"
#include "tools/kvbookmarks/StoreCommands.h"

#include <cstdlib>

inline void
CheckTree(const KVSourceNode& folder, int depth)
{
	if (depth > kMaxSourceDepth + 1 || !folder.isFolder)
		abort();
	for (const KVSourceNode& child : folder.children) {
		std::string name = StoreName(child.name, child.url);
		if (name.size() > static_cast<size_t>(kMaxNameLength) ||
		    name.find_first_of(std::string("/\0", 2)) != std::string::npos)
			abort();
		if (child.slotHint < -1 || child.slotHint > 9)
			abort();
		if (child.isFolder)
			CheckTree(child, depth + 1);
		else if (!child.children.empty())
			abort();
	}
}

// Plans an import of every folder into an empty store: slots stay 0..9, each used once.
inline void
CheckPlan(const KVSourceTree& tree)
{
	KVStoreView store;
	KVImportOptions options;
	options.folders = true;
	KVImportPlan plan;
	std::string error;
	if (!PlanImport(tree, store, options, &plan, &error))
		return;
	bool used[10][10] = {};
	for (const KVPlannedLink& link : plan.links) {
		if (link.folder < 0 || link.folder > 9 || link.slot < 0 || link.slot > 9 ||
		    used[link.folder][link.slot] || link.url.empty() || link.url[0] == '-')
			abort();
		used[link.folder][link.slot] = true;
	}
}

#endif // KV_TREE_CHECK_H
