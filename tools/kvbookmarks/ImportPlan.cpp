// Import planning: links fill the free slots of one store folder in order (a link that an
// export of this program placed in a slot goes back there when it is free); with --folders
// each sub-folder takes the next empty store folder and its name.
#include "ImportPlan.h"

#include "StoreCommands.h"

#include <algorithm>

namespace {

bool
IsControl(unsigned char c)
{
	return c < 0x20 || c == 0x7f;
}

// Text for one field of a plan line: no tabs or line breaks inside.
std::string
Field(const std::string& text)
{
	std::string field = text;
	for (char& c : field) {
		if (IsControl(static_cast<unsigned char>(c)))
			c = ' ';
	}
	return field;
}

// Cut to at most length bytes without splitting a UTF-8 sequence.
std::string
CutUtf8(const std::string& text, size_t length)
{
	if (text.size() <= length)
		return text;
	size_t end = length;
	while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xc0) == 0x80)
		end--;
	return text.substr(0, end);
}

class Planner
{
public:
	Planner(const KVStoreView& store, KVImportPlan* plan) : fStore(store), fPlan(plan) {}

	void FillFolder(const KVSourceNode& source, int32 folder);
	int32 NextEmptyFolder(int32 start) const;
	void Claim(int32 folder) { fClaimed[folder] = true; }

private:
	const KVStoreView& fStore;
	KVImportPlan* fPlan;
	bool fClaimed[kFolders] = {};
};

void
Planner::FillFolder(const KVSourceNode& source, int32 folder)
{
	bool free[kSlots];
	for (int32 i = 0; i < kSlots; i++)
		free[i] = !fStore.folders[folder].slots[i].IsTaken();
	std::vector<const KVSourceNode*> waiting;
	std::vector<const KVSourceNode*> hinted;
	for (const KVSourceNode& child : source.children) {
		BString why;
		if (child.isFolder) {
			fPlan->leftOvers.push_back(
			        {StoreName(child.name, ""), "", "a folder inside the imported folder"});
		} else if (std::any_of(child.url.begin(), child.url.end(),
		                       [](char c) { return IsControl(static_cast<unsigned char>(c)); }))
			fPlan->leftOvers.push_back({StoreName(child.name, ""), Field(child.url),
			                            "the URL holds control characters"});
		else if (!IsOpenableUrl(child.url.c_str(), &why))
			fPlan->leftOvers.push_back({StoreName(child.name, child.url), child.url, why.String()});
		else if (child.slotHint >= 0 && free[child.slotHint]) {
			free[child.slotHint] = false;
			hinted.push_back(&child);
		} else
			waiting.push_back(&child);
	}
	for (const KVSourceNode* link : hinted) {
		fPlan->links.push_back({folder, link->slotHint, StoreName(link->name, link->url), link->url,
		                        link->keywords});
	}
	int32 slot = 0;
	for (const KVSourceNode* link : waiting) {
		while (slot < kSlots && !free[slot])
			slot++;
		if (slot == kSlots) {
			fPlan->leftOvers.push_back(
			        {StoreName(link->name, link->url), link->url, "no free slot"});
			continue;
		}
		free[slot] = false;
		fPlan->links.push_back(
		        {folder, slot, StoreName(link->name, link->url), link->url, link->keywords});
	}
}

int32
Planner::NextEmptyFolder(int32 start) const
{
	for (int32 folder = std::max(start, int32(0)); folder < kFolders; folder++) {
		if (!fClaimed[folder] && fStore.folders[folder].IsEmpty())
			return folder;
	}
	return -1;
}

} // namespace

std::string
StoreName(const std::string& name, const std::string& url)
{
	std::string clean = name;
	for (char& c : clean) {
		if (c == '\0' || c == '/')
			c = '_';
		else if (IsControl(static_cast<unsigned char>(c)))
			c = ' ';
	}
	size_t first = clean.find_first_not_of(' ');
	size_t last = clean.find_last_not_of(' ');
	clean = first == std::string::npos ? std::string() : clean.substr(first, last - first + 1);
	if (clean.empty() && !url.empty())
		return StoreName(url, "");
	return CutUtf8(clean, kMaxNameLength);
}

bool
PlanImport(const KVSourceTree& tree, const KVStoreView& store, const KVImportOptions& options,
           KVImportPlan* plan, std::string* error)
{
	*plan = KVImportPlan();
	const KVSourceNode* source = FindSourceFolder(tree, options.from);
	if (source == nullptr) {
		*error = "the bookmarks have no folder \"" + options.from + "\"";
		return false;
	}
	Planner planner(store, plan);
	if (!options.folders) {
		int32 target = options.into >= 0 ? options.into : planner.NextEmptyFolder(0);
		if (target < 0) {
			*error = "the store has no empty folder (name one with --into)";
			return false;
		}
		planner.FillFolder(*source, target);
	} else {
		int32 next = options.into >= 0 ? options.into : 0;
		for (const KVSourceNode& child : source->children) {
			if (!child.isFolder) {
				plan->leftOvers.push_back({StoreName(child.name, child.url), child.url,
				                           "a link outside the sub-folders"});
				continue;
			}
			int32 target = planner.NextEmptyFolder(next);
			if (target < 0) {
				plan->leftOvers.push_back({StoreName(child.name, ""), "", "no empty folder left"});
				continue;
			}
			planner.Claim(target);
			next = target + 1;
			std::string name = StoreName(child.name, "");
			if (!name.empty() && name != store.folders[target].name.String())
				plan->renames.push_back({target, name});
			planner.FillFolder(child, target);
		}
	}
	std::sort(plan->links.begin(), plan->links.end(),
	          [](const KVPlannedLink& a, const KVPlannedLink& b) {
		          return a.folder != b.folder ? a.folder < b.folder : a.slot < b.slot;
	          });
	return true;
}

std::string
FormatPlan(const KVImportPlan& plan)
{
	std::string text;
	for (const KVPlannedFolder& rename : plan.renames)
		text += "rename-folder\t" + std::to_string(rename.folder) + "\t" + Field(rename.name) +
		        "\n";
	for (const KVPlannedLink& link : plan.links) {
		text += "add\t" + std::to_string(link.folder) + "\t" + std::to_string(link.slot) + "\t" +
		        Field(link.name) + "\t" + Field(link.url) + "\n";
	}
	for (const KVLeftOver& left : plan.leftOvers)
		text += "skip\t" + Field(left.name) + "\t" + Field(left.url) + "\t" + left.reason + "\n";
	return text;
}

int32
ApplyImportPlan(const KVImportPlan& plan, std::string* failures)
{
	int32 failed = 0;
	for (const KVPlannedFolder& rename : plan.renames) {
		KVCommandResult result = RenameFolder(rename.folder, rename.name.c_str());
		if (result.status != kCommandDone) {
			*failures += "failed\t" + std::to_string(rename.folder) + "\t-\t" + Field(rename.name) +
			             "\t" + result.message.String() + "\n";
		}
	}
	for (const KVPlannedLink& link : plan.links) {
		KVCommandResult result = AddBookmark(link.folder, link.slot, link.name.c_str(),
		                                     link.url.c_str(), link.keywords.c_str(), false);
		if (result.status == kCommandDone)
			continue;
		failed++;
		*failures += "failed\t" + std::to_string(link.folder) + "\t" + std::to_string(link.slot) +
		             "\t" + Field(link.name) + "\t" + result.message.String() + "\n";
	}
	return failed;
}
