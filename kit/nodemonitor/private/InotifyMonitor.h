// The node monitor's engine over inotify: one inotify instance and one reader thread per
// process, the registry of watched nodes and who watches them, the name -> node tables of
// the directories whose entries are followed, and the translation of inotify's events into
// BeOS node-monitor notices. It knows nothing of messages or messengers: each listener is
// an opaque key, and every notice is handed, in event order, to the sink that the storage
// kit's node monitor installs.
#ifndef KIT_LINUX_INOTIFY_MONITOR_H
#define KIT_LINUX_INOTIFY_MONITOR_H

#include <SupportDefs.h>

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "FileDescriptor.h"

namespace BPrivate {

// A node-monitor notice, with the fields of the B_NODE_MONITOR message. A directory or
// node that cannot be known (the far side of a move across the edge of what inotify sees)
// is kUnknownNode.
struct NodeNotice
{
	int32 opcode = 0;
	dev_t device = 0;
	ino_t directory = 0;
	ino_t fromDirectory = 0;
	ino_t toDirectory = 0;
	ino_t node = 0;
	std::string name;
	std::string fromName;
	std::string attribute;
	int32 attributeCause = 0;
	int32 statFields = 0;
	std::vector<uint64> listeners;
};

const ino_t kUnknownNode = static_cast<ino_t>(-1);

typedef std::function<void(const NodeNotice&)> NoticeSink;

class InotifyMonitor
{
public:
	// The process's one monitor; its reader thread starts with the first watch.
	static InotifyMonitor& Default();

	// Installed once by the storage kit, before the first watch.
	void SetSink(NoticeSink sink);

	// Sets the flags (B_WATCH_* bits) of one listener on a node; 0 removes the listener.
	status_t SetWatch(dev_t device, ino_t node, uint32 flags, uint64 listener);
	// Removes every watch of the listener.
	status_t StopListener(uint64 listener);

	// For tests: the number of nodes the monitor keeps records for.
	size_t CountRecords();
	// For tests: holds the engine (its reader thread stops before handling the events it
	// read) so that the kernel's queue fills up.
	std::unique_lock<std::mutex> HoldForTesting() { return std::unique_lock<std::mutex>(fLock); }

private:
	struct Record;
	struct RawEvent
	{
		int wd;
		uint32 mask;
		uint32 cookie;
		std::string name;
	};
	typedef std::pair<dev_t, ino_t> Key;

	InotifyMonitor();
	~InotifyMonitor() = delete;

	status_t _EnsureStarted();
	status_t _ResolvePath(Key key, std::string* path);
	Record* _RecordFor(Key key, const std::string& path, status_t* status);
	status_t _Reconcile(std::vector<NodeNotice>* notices);
	status_t _ApplyMask(Record& record, uint32 mask);
	void _ScanChildren(Record& record, std::map<std::string, ino_t>* children);
	void _Forget(Key key);
	Record* _ByDescriptor(int wd);

	void _ReaderLoop();
	void _ReadEvents(std::vector<char>& buffer, std::vector<RawEvent>* events);
	bool _WaitForMore(int milliseconds);
	void _HandleEvents(const std::vector<RawEvent>& events, std::vector<NodeNotice>* notices);
	void _EntryCreated(Record& directory, const std::string& name,
	                   std::vector<NodeNotice>* notices);
	void _EntryRemoved(Record& directory, const std::string& name,
	                   std::vector<NodeNotice>* notices);
	void _EntryMoved(Record* from, const std::string& fromName, Record* to,
	                 const std::string& toName, std::vector<NodeNotice>* notices);
	void _SelfChanged(Record& record, uint32 mask, std::vector<NodeNotice>* notices);
	void _NodeGone(Key key);
	void _Rescan(std::vector<NodeNotice>* notices);
	void _Address(NodeNotice* notice, Record* fromDirectory, Record* toDirectory, Key node,
	              uint32 nodeFlag);

	std::mutex fLock;
	NoticeSink fSink;
	FileDescriptor fInotify;
	bool fStarted;
	std::map<Key, std::unique_ptr<Record>> fRecords;
	std::map<int, Key> fDescriptors;
};

} // namespace BPrivate

#endif // KIT_LINUX_INOTIFY_MONITOR_H
