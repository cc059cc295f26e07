// Printing the store view: tab-separated lines, or JSON through nlohmann::json.
#include "ListFormat.h"

#include <nlohmann/json.hpp>

namespace {

std::string
Field(const BString& text)
{
	std::string field(text.String());
	for (char& c : field) {
		if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
			c = ' ';
	}
	return field;
}

} // namespace

std::string
FormatListText(const KVStoreView& store)
{
	std::string text;
	for (int32 i = 0; i < kFolders; i++) {
		const KVFolderView& folder = store.folders[i];
		if (!folder.Exists())
			continue;
		text += std::to_string(i) + "\t-\t" + Field(folder.name) + "\n";
		for (int32 s = 0; s < kSlots; s++) {
			const KVSlotView& slot = folder.slots[s];
			if (!slot.IsTaken())
				continue;
			text += std::to_string(i) + "\t" + std::to_string(s) + "\t" + Field(slot.name) + "\t" +
			        Field(slot.url);
			if (!slot.keywords.IsEmpty())
				text += "\t" + Field(slot.keywords);
			text += "\n";
		}
	}
	return text;
}

std::string
FormatListJson(const KVStoreView& store)
{
	nlohmann::json folders = nlohmann::json::array();
	for (int32 i = 0; i < kFolders; i++) {
		const KVFolderView& folder = store.folders[i];
		if (!folder.Exists())
			continue;
		nlohmann::json slots = nlohmann::json::array();
		for (int32 s = 0; s < kSlots; s++) {
			const KVSlotView& slot = folder.slots[s];
			if (!slot.IsTaken())
				continue;
			slots.push_back({{"slot", s},
			                 {"name", slot.name.String()},
			                 {"url", slot.url.String()},
			                 {"keywords", slot.keywords.String()},
			                 {"path", slot.path.String()},
			                 {"bookmark", slot.bookmark}});
		}
		folders.push_back({{"folder", i},
		                   {"name", folder.name.String()},
		                   {"path", folder.path.String()},
		                   {"slots", std::move(slots)}});
	}
	nlohmann::json document = {{"folders", std::move(folders)}};
	return document.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
}
