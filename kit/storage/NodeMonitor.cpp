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

std::mutex sListenerLock;
std::map<BMessenger, uint64> sListeners;
std::map<uint64, BMessenger> sTargets;
uint64 sNextListener = 1;

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
			std::lock_guard<std::mutex> lock(sListenerLock);
			auto found = sTargets.find(listener);
			if (found == sTargets.end())
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
	std::lock_guard<std::mutex> lock(sListenerLock);
	auto found = sListeners.find(target);
	if (found != sListeners.end())
		return found->second;
	if (!create)
		return 0;
	uint64 listener = sNextListener++;
	sListeners[target] = listener;
	sTargets[listener] = target;
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
