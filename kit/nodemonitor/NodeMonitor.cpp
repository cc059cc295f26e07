// watch_node() and stop_watching() over the inotify engine: each messenger becomes one
// listener of the engine, and each notice becomes a B_NODE_MONITOR message sent to the
// listeners it concerns.
#include <NodeMonitor.h>

#include <AppDefs.h>
#include <Message.h>

#include "InotifyMonitor.h"

#include <map>
#include <mutex>

namespace {

using BPrivate::InotifyMonitor;
using BPrivate::NodeNotice;

// The messengers that watch something, each known to the engine by a number. Never
// destroyed: the engine's reader thread may deliver while the process exits.
struct Listeners
{
	std::mutex lock;
	std::map<BMessenger, uint64> numbers;
	std::map<uint64, BMessenger> targets;
	uint64 next = 1;
};

Listeners&
AllListeners()
{
	static Listeners* sListeners = new Listeners;
	return *sListeners;
}

void
AddNodeFields(BMessage* message, const NodeNotice& notice)
{
	message->AddInt32("opcode", notice.opcode);
	message->AddInt32("device", static_cast<int32>(notice.device));
	switch (notice.opcode) {
	case B_ENTRY_CREATED:
	case B_ENTRY_REMOVED:
		message->AddInt64("directory", static_cast<int64>(notice.directory));
		message->AddInt64("node", static_cast<int64>(notice.node));
		message->AddString("name", notice.name.c_str());
		break;
	case B_ENTRY_MOVED:
		message->AddInt64("from directory", static_cast<int64>(notice.fromDirectory));
		message->AddInt64("to directory", static_cast<int64>(notice.toDirectory));
		message->AddInt64("node", static_cast<int64>(notice.node));
		message->AddString("name", notice.name.c_str());
		if (!notice.fromName.empty())
			message->AddString("from name", notice.fromName.c_str());
		break;
	case B_STAT_CHANGED:
		message->AddInt64("node", static_cast<int64>(notice.node));
		message->AddInt32("fields", notice.statFields);
		break;
	case B_ATTR_CHANGED:
		message->AddInt64("node", static_cast<int64>(notice.node));
		message->AddString("attr", notice.attribute.c_str());
		message->AddInt32("cause", notice.attributeCause);
		break;
	}
}

void
Deliver(const NodeNotice& notice)
{
	BMessage message(B_NODE_MONITOR);
	AddNodeFields(&message, notice);
	for (uint64 listener : notice.listeners) {
		BMessenger target;
		{
			Listeners& listeners = AllListeners();
			std::lock_guard<std::mutex> lock(listeners.lock);
			auto found = listeners.targets.find(listener);
			if (found == listeners.targets.end())
				continue;
			target = found->second;
		}
		target.SendMessage(&message);
	}
}

InotifyMonitor&
Monitor()
{
	static InotifyMonitor& sMonitor = []() -> InotifyMonitor& {
		InotifyMonitor& monitor = InotifyMonitor::Default();
		monitor.SetSink(&Deliver);
		return monitor;
	}();
	return sMonitor;
}

uint64
ListenerFor(const BMessenger& target, bool create)
{
	Listeners& listeners = AllListeners();
	std::lock_guard<std::mutex> lock(listeners.lock);
	auto found = listeners.numbers.find(target);
	if (found != listeners.numbers.end())
		return found->second;
	if (!create)
		return 0;
	uint64 listener = listeners.next++;
	listeners.numbers[target] = listener;
	listeners.targets[listener] = target;
	return listener;
}

} // namespace

status_t
watch_node(const node_ref* node, uint32 flags, BMessenger target)
{
	if (node == nullptr || !target.IsValid())
		return B_BAD_VALUE;
	// Mounts are not followed; a request for them alone has nothing to watch.
	if (flags != B_STOP_WATCHING && (flags & B_WATCH_ALL) == 0)
		return B_OK;
	uint64 listener = ListenerFor(target, flags != B_STOP_WATCHING);
	if (listener == 0)
		return B_BAD_VALUE;
	return Monitor().SetWatch(node->device, node->node, flags & B_WATCH_ALL, listener);
}

status_t
watch_node(const node_ref* node, uint32 flags, const BHandler* handler, const BLooper* looper)
{
	status_t status;
	BMessenger target(handler, looper, &status);
	if (status != B_OK)
		return status;
	return watch_node(node, flags, target);
}

status_t
stop_watching(BMessenger target)
{
	uint64 listener = ListenerFor(target, false);
	if (listener == 0)
		return B_BAD_VALUE;
	return Monitor().StopListener(listener);
}

status_t
stop_watching(const BHandler* handler, const BLooper* looper)
{
	status_t status;
	BMessenger target(handler, looper, &status);
	if (status != B_OK)
		return status;
	return stop_watching(target);
}
