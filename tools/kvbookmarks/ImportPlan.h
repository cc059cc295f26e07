// Planning an import: which links of a browser's folder go into which free slots of the
// store, which store folders take which browser folders, and what does not fit. The plan
// is made against a snapshot of the store and changes nothing; ApplyImportPlan files it.
#ifndef KV_IMPORT_PLAN_H
#define KV_IMPORT_PLAN_H

#include "SourceTree.h"
#include "StoreView.h"

#include <string>
#include <vector>

struct KVImportOptions
{
	std::string from; // "Folder/Sub folder"; "" for the toolbar
	int32 into = -1;  // the target folder digit; -1: the first empty folder
	bool folders = false;
};

struct KVPlannedLink
{
	int32 folder;
	int32 slot;
	std::string name; // as it will stand in the store
	std::string url;
	std::string keywords;
};

struct KVPlannedFolder
{
	int32 folder;
	std::string name;
};

struct KVLeftOver
{
	std::string name;
	std::string url; // "" for a folder
	std::string reason;
};

struct KVImportPlan
{
	std::vector<KVPlannedFolder> renames;
	std::vector<KVPlannedLink> links;
	std::vector<KVLeftOver> leftOvers;
};

// A browser's name as a store name: NUL and "/" as "_" (the add window's rule), other
// control characters as blanks, blanks trimmed, cut at a character boundary to fit an
// entry name; a link without a title is named by its URL.
std::string StoreName(const std::string& name, const std::string& url);

// False with *error when the source folder or the target folder cannot be found.
bool PlanImport(const KVSourceTree& tree, const KVStoreView& store, const KVImportOptions& options,
                KVImportPlan* plan, std::string* error);

// The plan as text lines: "rename-folder\tD\tNAME", "add\tD\tS\tNAME\tURL",
// "skip\tNAME\tURL\tREASON".
std::string FormatPlan(const KVImportPlan& plan);

// Files the plan. Returns the number of links that could not be filed; their lines
// ("failed\tD\tS\tNAME\tREASON") are added to *failures.
int32 ApplyImportPlan(const KVImportPlan& plan, std::string* failures);

#endif // KV_IMPORT_PLAN_H
