// The inotify engine's translation of kernel events into BeOS node-monitor notices: entry
// creation, removal and moves (with the node taken from the directory's name table, and
// the far side of a move found through the node's own handle where inotify cannot see
// it), attribute changes told apart from stat changes, and the re-scan after the kernel's
// queue overflowed.
#include "InotifyRecord.h"

#include "HostPath.h"

#include <NodeMonitor.h>

#include <algorithm>
#include <fcntl.h>
#include <set>
#include <sys/inotify.h>

namespace BPrivate {

namespace {

bool
StatAt(int directory, const std::string& name, struct stat* info)
{
	return fstatat(directory, name.c_str(), info, AT_SYMLINK_NOFOLLOW) == 0;
}

bool
SameTime(const timespec& a, const timespec& b)
{
	return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

// A notice of an entry named name in the directory known by key.
NodeNotice
EntryNotice(int32 opcode, const std::pair<dev_t, ino_t>& key, const std::string& name)
{
	NodeNotice notice;
	notice.opcode = opcode;
	notice.device = key.first;
	notice.directory = key.second;
	notice.name = name;
	return notice;
}

int32
StatDifferences(const NodeSnapshot& before, const NodeSnapshot& now)
{
	int32 fields = 0;
	if ((before.mode & 07777) != (now.mode & 07777))
		fields |= B_STAT_MODE;
	if (before.owner != now.owner)
		fields |= B_STAT_UID;
	if (before.group != now.group)
		fields |= B_STAT_GID;
	if (before.size != now.size)
		fields |= B_STAT_SIZE;
	if (!SameTime(before.modified, now.modified))
		fields |= B_STAT_MODIFICATION_TIME;
	return fields;
}

// One entry of a followed directory, for comparing two scans.
struct Placement
{
	std::pair<dev_t, ino_t> directory;
	std::string name;
	ino_t node;
	bool matched;
};

} // namespace

void
InotifyMonitor::_HandleEvents(const std::vector<RawEvent>& events, std::vector<NodeNotice>* notices)
{
	for (size_t i = 0; i < events.size(); i++) {
		const RawEvent& event = events[i];
		if ((event.mask & IN_Q_OVERFLOW) != 0) {
			_Rescan(notices);
			continue;
		}
		Record* record = _ByDescriptor(event.wd);
		if (record == nullptr)
			continue;
		if ((event.mask & IN_IGNORED) != 0) {
			fDescriptors.erase(event.wd);
			record->wd = -1;
			record->mask = 0;
			_NodeGone(record->key);
			continue;
		}
		if (event.name.empty()) {
			if ((event.mask & (IN_ATTRIB | IN_MODIFY)) != 0)
				_SelfChanged(*record, event.mask, notices);
			continue;
		}
		if (!record->followsChildren)
			continue;
		if ((event.mask & IN_MOVED_FROM) != 0) {
			Record* to = nullptr;
			std::string toName;
			if (i + 1 < events.size() && (events[i + 1].mask & IN_MOVED_TO) != 0 &&
			    events[i + 1].cookie == event.cookie) {
				to = _ByDescriptor(events[i + 1].wd);
				if (to != nullptr && !to->followsChildren)
					to = nullptr;
				toName = events[i + 1].name;
				i++;
			}
			_EntryMoved(record, event.name, to, toName, notices);
		} else if ((event.mask & IN_MOVED_TO) != 0)
			_EntryMoved(nullptr, std::string(), record, event.name, notices);
		else if ((event.mask & IN_CREATE) != 0)
			_EntryCreated(*record, event.name, notices);
		else if ((event.mask & IN_DELETE) != 0)
			_EntryRemoved(*record, event.name, notices);
	}
}

// The listeners of a notice: those following either directory, and those watching the
// node itself for nodeFlag (0 for none).
void
InotifyMonitor::_Address(NodeNotice* notice, Record* fromDirectory, Record* toDirectory, Key node,
                         uint32 nodeFlag)
{
	std::set<uint64> listeners;
	for (Record* directory : {fromDirectory, toDirectory}) {
		if (directory == nullptr)
			continue;
		for (uint64 listener : directory->ListenersWith(B_WATCH_DIRECTORY))
			listeners.insert(listener);
	}
	auto found = fRecords.find(node);
	if (nodeFlag != 0 && found != fRecords.end()) {
		for (uint64 listener : found->second->ListenersWith(nodeFlag))
			listeners.insert(listener);
	}
	notice->listeners.assign(listeners.begin(), listeners.end());
}

void
InotifyMonitor::_EntryCreated(Record& directory, const std::string& name,
                              std::vector<NodeNotice>* notices)
{
	NodeNotice notice = EntryNotice(B_ENTRY_CREATED, directory.key, name);
	struct stat info;
	// An entry gone again before we looked is still reported: its removal follows.
	if (StatAt(directory.handle.Get(), name, &info)) {
		notice.node = info.st_ino;
		directory.children[name] = info.st_ino;
	} else
		notice.node = kUnknownNode;
	_Address(&notice, &directory, nullptr, Key(), 0);
	if (!notice.listeners.empty())
		notices->push_back(std::move(notice));
}

void
InotifyMonitor::_EntryRemoved(Record& directory, const std::string& name,
                              std::vector<NodeNotice>* notices)
{
	NodeNotice notice = EntryNotice(B_ENTRY_REMOVED, directory.key, name);
	notice.node = kUnknownNode;
	auto found = directory.children.find(name);
	if (found != directory.children.end()) {
		notice.node = found->second;
		directory.children.erase(found);
	}
	Key node(directory.key.first, notice.node);
	_Address(&notice, &directory, nullptr, node, B_WATCH_NAME);
	if (!notice.listeners.empty())
		notices->push_back(std::move(notice));
	_NodeGone(node);
}

// A move seen from both sides, from one side only (the other is outside the directories
// inotify follows), or, with from null, an entry that came in from outside.
void
InotifyMonitor::_EntryMoved(Record* from, const std::string& fromName, Record* to,
                            const std::string& toName, std::vector<NodeNotice>* notices)
{
	NodeNotice notice;
	notice.opcode = B_ENTRY_MOVED;
	notice.device = (from != nullptr ? from : to)->key.first;
	notice.node = kUnknownNode;
	notice.fromName = fromName;
	if (from != nullptr) {
		auto found = from->children.find(fromName);
		if (found != from->children.end()) {
			notice.node = found->second;
			from->children.erase(found);
		}
	}
	struct stat info;
	if (to != nullptr && StatAt(to->handle.Get(), toName, &info)) {
		if (notice.node == kUnknownNode)
			notice.node = info.st_ino;
		auto replaced = to->children.find(toName);
		if (replaced != to->children.end() && replaced->second != info.st_ino)
			_EntryRemoved(*to, toName, notices);
		to->children[toName] = info.st_ino;
	}
	Key node(notice.device, notice.node);
	auto known = fRecords.find(node);
	Record* record = known != fRecords.end() ? known->second.get() : nullptr;

	notice.fromDirectory = from != nullptr     ? from->key.second
	                       : record != nullptr ? record->parent.second
	                                           : kUnknownNode;
	notice.toDirectory = to != nullptr ? to->key.second : kUnknownNode;
	notice.name = to != nullptr ? toName : fromName;
	if (to == nullptr && record != nullptr) {
		// The node itself knows where it went: its handle follows it.
		std::string path = HandlePath(record->handle.Get());
		std::string parentPath;
		std::string leaf;
		SplitPath(path, &parentPath, &leaf);
		if (!path.empty() && stat(parentPath.c_str(), &info) == 0) {
			notice.toDirectory = info.st_ino;
			notice.name = leaf;
		}
	}
	if (record != nullptr && notice.toDirectory != kUnknownNode)
		record->parent = Key(notice.device, notice.toDirectory);
	_Address(&notice, from, to, node, B_WATCH_NAME);
	if (!notice.listeners.empty())
		notices->push_back(std::move(notice));
}

void
InotifyMonitor::_SelfChanged(Record& record, uint32 mask, std::vector<NodeNotice>* notices)
{
	NodeSnapshot now;
	if (!TakeSnapshot(record.handle.Get(), &now))
		return;
	const NodeSnapshot& before = record.snapshot;
	bool attributeChanged = false;
	if ((mask & IN_ATTRIB) != 0 && before.taken) {
		std::set<std::string> names;
		for (const auto& [name, hash] : before.attributes)
			names.insert(name);
		for (const auto& [name, hash] : now.attributes)
			names.insert(name);
		for (const std::string& name : names) {
			auto old = before.attributes.find(name);
			auto current = now.attributes.find(name);
			if (old != before.attributes.end() && current != now.attributes.end() &&
			    old->second == current->second)
				continue;
			attributeChanged = true;
			NodeNotice notice;
			notice.opcode = B_ATTR_CHANGED;
			notice.device = record.key.first;
			notice.node = record.key.second;
			notice.attribute = name;
			notice.attributeCause = B_ATTR_CHANGED;
			if (old == before.attributes.end())
				notice.attributeCause = B_ATTR_CREATED;
			else if (current == now.attributes.end())
				notice.attributeCause = B_ATTR_REMOVED;
			notice.listeners = record.ListenersWith(B_WATCH_ATTR);
			if (!notice.listeners.empty())
				notices->push_back(std::move(notice));
		}
	}
	int32 fields = before.taken ? StatDifferences(before, now) : 0;
	if ((mask & IN_MODIFY) != 0)
		fields |= B_STAT_MODIFICATION_TIME;
	// A metadata change that altered nothing we compare (a chmod to the same mode, an
	// attribute rewritten with its own value) still moved the change time.
	if (fields == 0 && !attributeChanged &&
	    (!before.taken || !SameTime(before.changed, now.changed)))
		fields = B_STAT_CHANGE_TIME;
	if (fields != 0) {
		NodeNotice notice;
		notice.opcode = B_STAT_CHANGED;
		notice.device = record.key.first;
		notice.node = record.key.second;
		notice.statFields = fields;
		notice.listeners = record.ListenersWith(B_WATCH_STAT);
		if (!notice.listeners.empty())
			notices->push_back(std::move(notice));
	}
	record.snapshot = std::move(now);
}

// A node's last link went away: its watches end with it.
void
InotifyMonitor::_NodeGone(Key key)
{
	auto found = fRecords.find(key);
	if (found == fRecords.end())
		return;
	struct stat info;
	if (fstat(found->second->handle.Get(), &info) == 0 && info.st_nlink > 0)
		return;
	_Forget(key);
}

// After an overflow the kernel's events are lost: compare every followed directory with
// what is on disk now and report the differences as if they had been seen one by one
// (moves first, then removals, creations, and attribute and stat changes).
void
InotifyMonitor::_Rescan(std::vector<NodeNotice>* notices)
{
	std::vector<Placement> before;
	std::vector<Placement> after;
	std::map<Key, std::map<std::string, ino_t>> fresh;
	for (auto& [key, record] : fRecords) {
		if (!record->followsChildren)
			continue;
		for (const auto& [name, node] : record->children)
			before.push_back({key, name, node, false});
		_ScanChildren(*record, &fresh[key]);
		for (const auto& [name, node] : fresh[key])
			after.push_back({key, name, node, false});
	}
	std::map<std::pair<Key, std::string>, Placement*> now;
	std::multimap<Key, Placement*> byNode;
	for (Placement& placement : after) {
		now[{placement.directory, placement.name}] = &placement;
		byNode.insert({Key(placement.directory.first, placement.node), &placement});
	}
	for (Placement& old : before) {
		auto found = now.find({old.directory, old.name});
		if (found != now.end() && found->second->node == old.node)
			old.matched = found->second->matched = true;
	}
	for (Placement& old : before) {
		auto from = fRecords.find(old.directory);
		if (old.matched || from == fRecords.end())
			continue;
		Placement* moved = nullptr;
		auto range = byNode.equal_range(Key(old.directory.first, old.node));
		for (auto it = range.first; it != range.second && moved == nullptr; it++) {
			if (!it->second->matched)
				moved = it->second;
		}
		auto to = moved != nullptr ? fRecords.find(moved->directory) : fRecords.end();
		if (to != fRecords.end()) {
			moved->matched = true;
			_EntryMoved(from->second.get(), old.name, to->second.get(), moved->name, notices);
		} else
			_EntryRemoved(*from->second, old.name, notices);
	}
	for (Placement& placement : after) {
		auto directory = fRecords.find(placement.directory);
		if (!placement.matched && directory != fRecords.end())
			_EntryCreated(*directory->second, placement.name, notices);
	}
	for (auto& [key, children] : fresh) {
		auto record = fRecords.find(key);
		if (record != fRecords.end())
			record->second->children = std::move(children);
	}
	for (auto& [key, record] : fRecords) {
		if ((record->AllFlags() & (B_WATCH_STAT | B_WATCH_ATTR)) != 0)
			_SelfChanged(*record, IN_ATTRIB, notices);
	}
}

} // namespace BPrivate
