// The inotify engine's registry and reader thread: which nodes are watched by whom, which
// inotify mask each node needs for that, and the loop that reads the kernel's events and
// hands the translated notices on in the order they happened.
#include "InotifyRecord.h"

#include "DirectoryTable.h"
#include "ErrnoStatus.h"
#include "HostPath.h"
#include "Xattr.h"

#include <NodeMonitor.h>

#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <set>
#include <sys/inotify.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace BPrivate {

namespace {

// How long an IN_MOVED_FROM at the end of a read waits for its IN_MOVED_TO; the kernel
// queues both halves together, so this only delays moves out of the watched area.
const int kMovePairingWait = 5;

const uint32 kChildMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_EXCL_UNLINK;
const uint32 kStatMask = IN_ATTRIB | IN_MODIFY;
const uint32 kAttrMask = IN_ATTRIB;

// Bounds the search for a file's name among the entries of watched directories.
const size_t kSearchLimit = 4096;

std::string
ProcPath(int handle)
{
	return "/proc/self/fd/" + std::to_string(handle);
}

bool
StatAt(int directory, const std::string& name, struct stat* info)
{
	return fstatat(directory, name.c_str(), info, AT_SYMLINK_NOFOLLOW) == 0;
}

// Looks for an entry with the given inode directly in the directory open as handle.
bool
FindChild(int handle, ino_t node, std::string* name)
{
	FileDescriptor fd(openat(handle, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
	if (!fd.IsValid())
		return false;
	DIR* directory = fdopendir(fd.Get());
	if (directory == nullptr)
		return false;
	fd.Release();
	bool found = false;
	while (struct dirent* entry = readdir(directory)) {
		if (entry->d_ino == node && strcmp(entry->d_name, ".") != 0 &&
		    strcmp(entry->d_name, "..") != 0) {
			*name = entry->d_name;
			found = true;
			break;
		}
	}
	closedir(directory);
	return found;
}

} // namespace

uint32
InotifyMonitor::Record::AllFlags() const
{
	uint32 flags = 0;
	for (const auto& [listener, listenerFlags] : listeners)
		flags |= listenerFlags;
	return flags;
}

std::vector<uint64>
InotifyMonitor::Record::ListenersWith(uint32 flag) const
{
	std::vector<uint64> result;
	for (const auto& [listener, flags] : listeners) {
		if ((flags & flag) != 0)
			result.push_back(listener);
	}
	return result;
}

std::string
HandlePath(int handle)
{
	std::string path;
	if (PathOfDescriptor(handle, &path) != B_OK)
		return std::string();
	return path;
}

bool
TakeSnapshot(int handle, NodeSnapshot* snapshot)
{
	struct stat info;
	if (fstat(handle, &info) != 0)
		return false;
	snapshot->taken = true;
	snapshot->mode = info.st_mode;
	snapshot->owner = info.st_uid;
	snapshot->group = info.st_gid;
	snapshot->size = info.st_size;
	snapshot->modified = info.st_mtim;
	snapshot->changed = info.st_ctim;
	snapshot->attributes.clear();

	// Attributes cannot be read through an O_PATH descriptor, but its /proc link can.
	std::string path = ProcPath(handle);
	std::vector<char> names(4096);
	ssize_t length = listxattr(path.c_str(), names.data(), names.size());
	if (length < 0 && errno == ERANGE) {
		length = listxattr(path.c_str(), nullptr, 0);
		if (length > 0) {
			names.resize(static_cast<size_t>(length));
			length = listxattr(path.c_str(), names.data(), names.size());
		}
	}
	// Most values fit the first buffer: one read each; a larger one is sized and read again.
	std::vector<char> value(4096);
	for (ssize_t offset = 0; length > 0 && offset < length;) {
		std::string name(names.data() + offset);
		offset += static_cast<ssize_t>(name.size()) + 1;
		if (name.compare(0, strlen(kUserNamespace), kUserNamespace) != 0)
			continue;
		ssize_t size = getxattr(path.c_str(), name.c_str(), value.data(), value.size());
		if (size < 0 && errno == ERANGE) {
			size = getxattr(path.c_str(), name.c_str(), nullptr, 0);
			if (size >= 0) {
				value.resize(static_cast<size_t>(size) + 1);
				size = getxattr(path.c_str(), name.c_str(), value.data(), value.size());
			}
		}
		if (size < 0)
			continue;
		// A kit type record belongs to the attribute it describes: a new type for the
		// same bytes is a change of that attribute.
		std::string attribute = name.substr(strlen(kUserNamespace));
		if (attribute.compare(0, strlen(kTypeRecordPrefix), kTypeRecordPrefix) == 0)
			attribute.erase(0, strlen(kTypeRecordPrefix));
		snapshot->attributes[attribute] +=
		        std::hash<std::string>()(std::string(value.data(), static_cast<size_t>(size)));
	}
	return true;
}

InotifyMonitor&
InotifyMonitor::Default()
{
	// Never destroyed: the reader thread may run until the process ends.
	static InotifyMonitor* sMonitor = new InotifyMonitor;
	return *sMonitor;
}

InotifyMonitor::InotifyMonitor() : fStarted(false)
{}

void
InotifyMonitor::SetSink(NoticeSink sink)
{
	std::lock_guard<std::mutex> lock(fLock);
	fSink = std::move(sink);
}

size_t
InotifyMonitor::CountRecords()
{
	std::lock_guard<std::mutex> lock(fLock);
	return fRecords.size();
}

status_t
InotifyMonitor::_EnsureStarted()
{
	if (fStarted)
		return B_OK;
	fInotify.Reset(inotify_init1(IN_CLOEXEC));
	if (!fInotify.IsValid())
		return LastErrorStatus();
	std::thread(&InotifyMonitor::_ReaderLoop, this).detach();
	fStarted = true;
	return B_OK;
}

status_t
InotifyMonitor::SetWatch(dev_t device, ino_t node, uint32 flags, uint64 listener)
{
	std::lock_guard<std::mutex> lock(fLock);
	Key key(device, node);
	auto found = fRecords.find(key);
	if (flags == B_STOP_WATCHING) {
		if (found == fRecords.end() || found->second->listeners.erase(listener) == 0)
			return B_BAD_VALUE;
		_Reconcile(nullptr);
		return B_OK;
	}

	status_t status = _EnsureStarted();
	if (status != B_OK)
		return status;
	Record* record = found != fRecords.end() ? found->second.get() : nullptr;
	if (record == nullptr) {
		std::string path;
		status = _ResolvePath(key, &path);
		if (status == B_OK)
			record = _RecordFor(key, path, &status);
		if (record == nullptr)
			return status;
	}
	bool isNew = record->listeners.count(listener) == 0;
	uint32 before = isNew ? 0 : record->listeners[listener];
	record->listeners[listener] = before | flags;
	status = _Reconcile(nullptr);
	if (status != B_OK) {
		if (isNew)
			record->listeners.erase(listener);
		else
			record->listeners[listener] = before;
		_Reconcile(nullptr);
	}
	return status;
}

status_t
InotifyMonitor::StopListener(uint64 listener)
{
	std::lock_guard<std::mutex> lock(fLock);
	for (auto& [key, record] : fRecords)
		record->listeners.erase(listener);
	_Reconcile(nullptr);
	return B_OK;
}

// A node_ref carries no path: look for the node among the directories the kit has met,
// the entries of the directories being followed, and one level below those.
status_t
InotifyMonitor::_ResolvePath(Key key, std::string* path)
{
	if (FindDirectory(key.first, key.second, path) == B_OK)
		return B_OK;
	// Asking the kernel for a directory's path costs system calls: do it only for the
	// directory that holds the node, and for the deeper search once nothing matched.
	std::vector<Record*> followed;
	for (auto& [directoryKey, record] : fRecords) {
		if (!record->followsChildren || directoryKey.first != key.first)
			continue;
		followed.push_back(record.get());
		for (const auto& [name, node] : record->children) {
			if (node != key.second)
				continue;
			std::string directoryPath = HandlePath(record->handle.Get());
			if (directoryPath.empty())
				break;
			*path = JoinPath(directoryPath, name);
			return B_OK;
		}
	}
	std::vector<std::string> deeper;
	for (Record* record : followed) {
		std::string directoryPath = HandlePath(record->handle.Get());
		for (auto child = record->children.begin();
		     !directoryPath.empty() && child != record->children.end() &&
		     deeper.size() < kSearchLimit;
		     ++child) {
			deeper.push_back(JoinPath(directoryPath, child->first));
		}
	}
	for (const std::string& candidate : deeper) {
		FileDescriptor directory(open(candidate.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
		std::string name;
		if (directory.IsValid() && FindChild(directory.Get(), key.second, &name)) {
			*path = JoinPath(candidate, name);
			return B_OK;
		}
	}
	return FindNode(key.first, key.second, path);
}

InotifyMonitor::Record*
InotifyMonitor::_RecordFor(Key key, const std::string& path, status_t* status)
{
	auto found = fRecords.find(key);
	if (found != fRecords.end())
		return found->second.get();

	FileDescriptor handle(open(path.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
	struct stat info;
	if (!handle.IsValid() || fstat(handle.Get(), &info) != 0) {
		*status = LastErrorStatus();
		return nullptr;
	}
	if (info.st_dev != key.first || info.st_ino != key.second) {
		*status = B_ENTRY_NOT_FOUND;
		return nullptr;
	}
	auto record = std::make_unique<Record>();
	record->key = key;
	record->isDirectory = S_ISDIR(info.st_mode);
	record->handle = std::move(handle);
	std::string parentPath;
	std::string leaf;
	SplitPath(path, &parentPath, &leaf);
	struct stat parentInfo;
	if (stat(parentPath.c_str(), &parentInfo) == 0)
		record->parent = Key(parentInfo.st_dev, parentInfo.st_ino);
	Record* result = record.get();
	fRecords[key] = std::move(record);
	return result;
}

// Brings every record's inotify mask and entry table in line with its listeners, makes
// sure the parent of each node watched for its name is followed, and drops records that
// nobody needs any more. Returns the first failure to set a watch.
status_t
InotifyMonitor::_Reconcile(std::vector<NodeNotice>* notices)
{
	std::set<Key> follow;
	std::vector<Record*> named;
	for (auto& [key, record] : fRecords) {
		uint32 flags = record->AllFlags();
		if ((flags & B_WATCH_DIRECTORY) != 0 && record->isDirectory)
			follow.insert(key);
		if ((flags & B_WATCH_NAME) != 0)
			named.push_back(record.get());
	}
	for (Record* record : named) {
		if (fRecords.count(record->parent) == 0) {
			std::string path = HandlePath(record->handle.Get());
			std::string parentPath;
			std::string leaf;
			SplitPath(path, &parentPath, &leaf);
			struct stat info;
			if (path.empty() || stat(parentPath.c_str(), &info) != 0)
				continue;
			record->parent = Key(info.st_dev, info.st_ino);
			status_t ignored;
			_RecordFor(record->parent, parentPath, &ignored);
		}
		follow.insert(record->parent);
	}

	status_t result = B_OK;
	std::vector<Key> unused;
	for (auto& [key, record] : fRecords) {
		bool wantChildren = follow.count(key) != 0;
		uint32 flags = record->AllFlags();
		if (!wantChildren && flags == 0) {
			unused.push_back(key);
			continue;
		}
		uint32 mask = wantChildren ? kChildMask : 0;
		if ((flags & B_WATCH_STAT) != 0)
			mask |= kStatMask;
		if ((flags & B_WATCH_ATTR) != 0)
			mask |= kAttrMask;
		status_t status = _ApplyMask(*record, mask);
		if (status != B_OK && result == B_OK)
			result = status;
		if (wantChildren && !record->followsChildren)
			_ScanChildren(*record, &record->children);
		else if (!wantChildren)
			record->children.clear();
		record->followsChildren = wantChildren;
		if ((flags & (B_WATCH_STAT | B_WATCH_ATTR)) != 0 && !record->snapshot.taken)
			TakeSnapshot(record->handle.Get(), &record->snapshot);
		else if ((flags & (B_WATCH_STAT | B_WATCH_ATTR)) == 0)
			record->snapshot = NodeSnapshot();
	}
	for (const Key& key : unused)
		_Forget(key);
	(void)notices;
	return result;
}

status_t
InotifyMonitor::_ApplyMask(Record& record, uint32 mask)
{
	if (mask == record.mask && (mask == 0 || record.wd >= 0))
		return B_OK;
	if (mask == 0) {
		if (record.wd >= 0) {
			inotify_rm_watch(fInotify.Get(), record.wd);
			fDescriptors.erase(record.wd);
		}
		record.wd = -1;
		record.mask = 0;
		return B_OK;
	}
	int wd = inotify_add_watch(fInotify.Get(), ProcPath(record.handle.Get()).c_str(), mask);
	if (wd < 0)
		return LastErrorStatus();
	if (record.wd >= 0 && record.wd != wd)
		fDescriptors.erase(record.wd);
	record.wd = wd;
	record.mask = mask;
	fDescriptors[wd] = record.key;
	return B_OK;
}

void
InotifyMonitor::_ScanChildren(Record& record, std::map<std::string, ino_t>* children)
{
	children->clear();
	FileDescriptor fd(openat(record.handle.Get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
	if (!fd.IsValid())
		return;
	DIR* directory = fdopendir(fd.Get());
	if (directory == nullptr)
		return;
	fd.Release();
	while (struct dirent* entry = readdir(directory)) {
		if (strcmp(entry->d_name, ".") == 0 || strcmp(entry->d_name, "..") == 0)
			continue;
		struct stat info;
		if (StatAt(dirfd(directory), entry->d_name, &info))
			(*children)[entry->d_name] = info.st_ino;
	}
	closedir(directory);
}

void
InotifyMonitor::_Forget(Key key)
{
	auto found = fRecords.find(key);
	if (found == fRecords.end())
		return;
	if (found->second->wd >= 0) {
		inotify_rm_watch(fInotify.Get(), found->second->wd);
		fDescriptors.erase(found->second->wd);
	}
	fRecords.erase(found);
}

InotifyMonitor::Record*
InotifyMonitor::_ByDescriptor(int wd)
{
	auto found = fDescriptors.find(wd);
	if (found == fDescriptors.end())
		return nullptr;
	auto record = fRecords.find(found->second);
	return record != fRecords.end() ? record->second.get() : nullptr;
}

bool
InotifyMonitor::_WaitForMore(int milliseconds)
{
	struct pollfd waiting = {fInotify.Get(), POLLIN, 0};
	return poll(&waiting, 1, milliseconds) > 0;
}

void
InotifyMonitor::_ReadEvents(std::vector<char>& buffer, std::vector<RawEvent>* events)
{
	ssize_t length;
	do {
		length = read(fInotify.Get(), buffer.data(), buffer.size());
	} while (length < 0 && errno == EINTR);
	for (ssize_t offset = 0; length > 0 && offset < length;) {
		const inotify_event* event = reinterpret_cast<const inotify_event*>(buffer.data() + offset);
		RawEvent raw;
		raw.wd = event->wd;
		raw.mask = event->mask;
		raw.cookie = event->cookie;
		if (event->len > 0)
			raw.name = event->name;
		events->push_back(std::move(raw));
		offset += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
	}
}

void
InotifyMonitor::_ReaderLoop()
{
	std::vector<char> buffer(64 * 1024);
	std::vector<RawEvent> events;
	for (;;) {
		events.clear();
		_ReadEvents(buffer, &events);
		while (!events.empty() && (events.back().mask & IN_MOVED_FROM) != 0 &&
		       _WaitForMore(kMovePairingWait)) {
			_ReadEvents(buffer, &events);
		}
		std::vector<NodeNotice> notices;
		NoticeSink sink;
		{
			std::lock_guard<std::mutex> lock(fLock);
			_HandleEvents(events, &notices);
			_Reconcile(&notices);
			sink = fSink;
		}
		if (sink) {
			for (const NodeNotice& notice : notices)
				sink(notice);
		}
	}
}

} // namespace BPrivate
