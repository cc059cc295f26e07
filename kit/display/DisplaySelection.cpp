// The "system" clipboard as the X CLIPBOARD selection (ICCCM). The display thread owns the
// selection through a hidden window of its own, answers other programs' requests from its
// own copy of the text (large texts in INCR chunks), and fetches another owner's text for
// the clipboards. Other threads hand it tasks and wait with a deadline; it never waits for
// them, for a clipboard or for a window.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <X11/Xatom.h>

#include <ClipboardBridge.h>

#include "DisplayPrivate.h"

namespace BPrivate {

namespace {

using Clock = std::chrono::steady_clock;
using Text = std::shared_ptr<const std::string>;

// How long a caller waits for the display thread: for a claim in all, for a fetch
// without progress (an INCR transfer that keeps moving may take longer).
const Clock::duration kDeadline = std::chrono::seconds(1);
// Largest property write; more goes by INCR. The server's request limit lowers it.
const size_t kMaxChunk = 256 * 1024;
// Asks the server for a whole property in one reply (in 32-bit units).
const long kWholeProperty = 0x1fffffff;

// UTF-8 to ISO Latin-1; false when the text holds a character Latin-1 lacks or is not
// valid UTF-8, since a STRING answer must not silently lose characters.
bool
Latin1FromUtf8(const std::string& utf8, std::string* latin1)
{
	latin1->clear();
	for (size_t i = 0; i < utf8.size(); i++) {
		unsigned char c = utf8[i];
		if (c < 0x80) {
			latin1->push_back((char)c);
			continue;
		}
		if ((c != 0xc2 && c != 0xc3) || i + 1 >= utf8.size())
			return false;
		unsigned char next = utf8[++i];
		if ((next & 0xc0) != 0x80)
			return false;
		latin1->push_back((char)(((c & 0x03) << 6) | (next & 0x3f)));
	}
	return true;
}

std::string
Utf8FromLatin1(const std::string& latin1)
{
	std::string utf8;
	utf8.reserve(latin1.size());
	for (unsigned char c : latin1) {
		if (c < 0x80) {
			utf8.push_back((char)c);
		} else {
			utf8.push_back((char)(0xc0 | (c >> 6)));
			utf8.push_back((char)(0x80 | (c & 0x3f)));
		}
	}
	return utf8;
}

// A property's value as read from the server.
struct PropertyValue
{
	Atom type = None;
	int format = 0;
	std::string bytes;       // format 8
	std::vector<long> longs; // format 32, as Xlib hands them out
};

bool
ReadProperty(::Display* display, Window window, Atom property, bool remove, PropertyValue* value)
{
	unsigned long count = 0, after = 0;
	unsigned char* data = nullptr;
	if (XGetWindowProperty(display, window, property, 0, kWholeProperty, remove ? True : False,
	                       AnyPropertyType, &value->type, &value->format, &count, &after,
	                       &data) != Success) {
		return false;
	}
	if (data != nullptr && value->format == 8)
		value->bytes.assign((const char*)data, count);
	else if (data != nullptr && value->format == 32)
		value->longs.assign((const long*)data, (const long*)data + count);
	if (data != nullptr)
		XFree(data);
	return value->type != None;
}

Bool
IsStampEvent(::Display*, XEvent* event, XPointer argument)
{
	const XPropertyEvent* stamp = (const XPropertyEvent*)argument;
	return event->type == PropertyNotify && event->xproperty.window == stamp->window &&
	       event->xproperty.atom == stamp->atom;
}

} // namespace

class ClipboardSelection : public ClipboardBridge
{
public:
	explicit ClipboardSelection(Display::Data& data);

	void Register(std::thread::id displayThread);
	void Unregister();
	bool HandleEvent(XEvent& event);

	status_t Publish(const std::string* text) override;
	int32 Fetch(std::string* text) override;

private:
	// A large answer going out in INCR chunks, in the display thread.
	struct Transfer
	{
		Window requestor;
		Atom property;
		Atom type;
		Text data;
		size_t offset;
		long oldMask;
	};

	// The fetch the display thread is carrying out.
	struct Incoming
	{
		uint64 serial = 0;
		bool active = false;
		bool incremental = false;
		Atom target = None;
		// Fetches take turns between two properties, so that the rest of a transfer
		// whose fetch was given up cannot mix into the next one.
		Atom property = None;
		Atom type = None;
		std::string text;
	};

	// What the clipboard's requests are answered from.
	struct Snapshot
	{
		bool owned;
		Time since;
		Text text;
	};

	bool _OnDisplayThread() const;
	void _Queue(std::function<void()> task);
	void _RunTasks();
	Time _ServerTime();
	void _Claim();
	Snapshot _Snapshot();

	void _HandleRequest(const XSelectionRequestEvent& request);
	bool _Convert(Window requestor, Atom target, Atom property, const Snapshot& snapshot,
	              bool allowIncremental);
	bool _ConvertText(Window requestor, Atom target, Atom property, const Text& text,
	                  bool allowIncremental);
	bool _ConvertMultiple(Window requestor, Atom property, const Snapshot& snapshot);
	bool _Write(Window requestor, Atom property, Atom type, const Text& data,
	            bool allowIncremental);
	bool _HandleTransferProperty(const XPropertyEvent& event);
	void _SendChunk(size_t index);
	void _EndTransfer(size_t index);
	void _ForgetRequestor(Window requestor);

	void _StartFetch(uint64 serial);
	void _HandleNotify(const XSelectionEvent& event);
	void _HandleFetchProperty(const XPropertyEvent& event);
	void _FinishFetch(int32 answer);
	void _Progress();

	::Display* fX;
	Window fWindow;
	size_t fChunk;
	std::atomic<std::thread::id> fDisplayThread;
	struct
	{
		Atom clipboard, targets, multiple, timestamp, incr, utf8, textPlainUtf8, textPlain, text,
		        atomPair, task, stamp, property, otherProperty;
	} fAtoms;

	std::mutex fLock; // guards everything down to the display thread's own state
	std::condition_variable fChanged;
	std::deque<std::function<void()>> fTasks;
	Text fText; // null: the published clipboard has no text
	bool fOwned = false;
	Time fOwnedSince = CurrentTime;
	uint64 fClaimsAsked = 0;
	uint64 fClaimsDone = 0;
	uint64 fFetchSerial = 0;
	bool fFetchDone = false;
	int32 fFetchAnswer = kClipboardLocal;
	std::string fFetchText;
	Clock::time_point fFetchProgress;
	std::mutex fFetchLock; // one fetch at a time

	// The display thread's own.
	std::vector<Transfer> fTransfers;
	Incoming fIncoming;
	bool fOtherProperty = false;
};

void
ClipboardSelectionDeleter::operator()(ClipboardSelection* selection) const
{
	delete selection;
}

ClipboardSelection::ClipboardSelection(Display::Data& data) : fX(data.display)
{
	const char* names[] = {"CLIPBOARD",
	                       "TARGETS",
	                       "MULTIPLE",
	                       "TIMESTAMP",
	                       "INCR",
	                       "UTF8_STRING",
	                       "text/plain;charset=utf-8",
	                       "text/plain",
	                       "TEXT",
	                       "ATOM_PAIR",
	                       "_KV_CLIPBOARD_TASK",
	                       "_KV_CLIPBOARD_STAMP",
	                       "_KV_CLIPBOARD",
	                       "_KV_CLIPBOARD_NEXT"};
	static_assert(sizeof(names) / sizeof(names[0]) == sizeof(fAtoms) / sizeof(Atom));
	XInternAtoms(fX, (char**)names, sizeof(names) / sizeof(names[0]), False, (Atom*)&fAtoms);

	long maxRequest = XExtendedMaxRequestSize(fX);
	if (maxRequest == 0)
		maxRequest = XMaxRequestSize(fX);
	// Four bytes a unit, less room for the request's own header.
	fChunk = std::min(kMaxChunk, (size_t)maxRequest * 4 - 64);

	XSetWindowAttributes attributes;
	attributes.override_redirect = True;
	attributes.event_mask = PropertyChangeMask;
	fWindow = XCreateWindow(fX, data.root, -10, -10, 1, 1, 0, CopyFromParent, InputOnly,
	                        CopyFromParent, CWOverrideRedirect | CWEventMask, &attributes);
}

void
ClipboardSelection::Register(std::thread::id displayThread)
{
	fDisplayThread = displayThread;
	RegisterClipboardBridge(this);
}

void
ClipboardSelection::Unregister()
{
	// Waits for running calls; they finish since the display thread still runs.
	UnregisterClipboardBridge(this);
}

bool
ClipboardSelection::_OnDisplayThread() const
{
	return std::this_thread::get_id() == fDisplayThread.load();
}

// Needs fLock. The display thread runs the task when the wake-up event reaches it.
void
ClipboardSelection::_Queue(std::function<void()> task)
{
	fTasks.push_back(std::move(task));
	XEvent wake;
	std::memset(&wake, 0, sizeof(wake));
	wake.xclient.type = ClientMessage;
	wake.xclient.window = fWindow;
	wake.xclient.message_type = fAtoms.task;
	wake.xclient.format = 32;
	XSendEvent(fX, fWindow, False, NoEventMask, &wake);
	XFlush(fX);
}

void
ClipboardSelection::_RunTasks()
{
	std::deque<std::function<void()>> tasks;
	{
		std::lock_guard<std::mutex> guard(fLock);
		tasks.swap(fTasks);
	}
	for (auto& task : tasks)
		task();
}

// #pragma mark - owning the selection

status_t
ClipboardSelection::Publish(const std::string* text)
{
	std::unique_lock<std::mutex> lock(fLock);
	fText = text != nullptr ? std::make_shared<const std::string>(*text) : nullptr;
	uint64 ticket = ++fClaimsAsked;
	if (_OnDisplayThread()) {
		lock.unlock();
		_Claim();
		lock.lock();
	} else {
		_Queue([this] { _Claim(); });
		fChanged.wait_for(lock, kDeadline, [&] { return fClaimsDone >= ticket; });
	}
	if (fClaimsDone < ticket)
		return B_TIMED_OUT;
	return fOwned ? B_OK : B_ERROR;
}

// Owning a selection needs a real server time (ICCCM): the time of a zero-length change
// to a property of our own window.
Time
ClipboardSelection::_ServerTime()
{
	XChangeProperty(fX, fWindow, fAtoms.stamp, XA_INTEGER, 8, PropModeAppend, nullptr, 0);
	XPropertyEvent stamp;
	stamp.window = fWindow;
	stamp.atom = fAtoms.stamp;
	XEvent event;
	XIfEvent(fX, &event, IsStampEvent, (XPointer)&stamp);
	return event.xproperty.time;
}

void
ClipboardSelection::_Claim()
{
	uint64 ticket;
	{
		std::lock_guard<std::mutex> guard(fLock);
		ticket = fClaimsAsked;
	}
	Time now = _ServerTime();
	XSetSelectionOwner(fX, fAtoms.clipboard, fWindow, now);
	bool owned = XGetSelectionOwner(fX, fAtoms.clipboard) == fWindow;
	std::lock_guard<std::mutex> guard(fLock);
	fOwned = owned;
	fOwnedSince = now;
	fClaimsDone = std::max(fClaimsDone, ticket);
	fChanged.notify_all();
}

ClipboardSelection::Snapshot
ClipboardSelection::_Snapshot()
{
	std::lock_guard<std::mutex> guard(fLock);
	return Snapshot{fOwned, fOwnedSince, fText};
}

void
ClipboardSelection::_HandleRequest(const XSelectionRequestEvent& request)
{
	// Obsolete requestors give no property: the target names it then.
	Atom property = request.property != None ? request.property : request.target;
	Snapshot snapshot = _Snapshot();
	bool ok = snapshot.owned &&
	          (request.time == CurrentTime || (int32)(request.time - snapshot.since) >= 0);
	if (ok && request.target == fAtoms.multiple)
		ok = request.property != None &&
		     _ConvertMultiple(request.requestor, request.property, snapshot);
	else if (ok)
		ok = _Convert(request.requestor, request.target, property, snapshot, true);

	SendSelectionNotify(fX, request, ok ? property : None);
	XFlush(fX);
}

bool
ClipboardSelection::_Convert(Window requestor, Atom target, Atom property, const Snapshot& snapshot,
                             bool allowIncremental)
{
	if (target == fAtoms.targets) {
		std::vector<long> targets = {(long)fAtoms.targets, (long)fAtoms.multiple,
		                             (long)fAtoms.timestamp};
		if (snapshot.text) {
			for (Atom text : {fAtoms.utf8, fAtoms.textPlainUtf8, fAtoms.textPlain, fAtoms.text,
			                  (Atom)XA_STRING}) {
				targets.push_back((long)text);
			}
		}
		XChangeProperty(fX, requestor, property, XA_ATOM, 32, PropModeReplace,
		                (unsigned char*)targets.data(), (int)targets.size());
		return true;
	}
	if (target == fAtoms.timestamp) {
		long since = (long)snapshot.since;
		XChangeProperty(fX, requestor, property, XA_INTEGER, 32, PropModeReplace,
		                (unsigned char*)&since, 1);
		return true;
	}
	if (!snapshot.text)
		return false;
	return _ConvertText(requestor, target, property, snapshot.text, allowIncremental);
}

bool
ClipboardSelection::_ConvertText(Window requestor, Atom target, Atom property, const Text& text,
                                 bool allowIncremental)
{
	if (target == fAtoms.utf8 || target == fAtoms.text)
		return _Write(requestor, property, fAtoms.utf8, text, allowIncremental);
	if (target == fAtoms.textPlainUtf8 || target == fAtoms.textPlain)
		return _Write(requestor, property, target, text, allowIncremental);
	if (target != XA_STRING)
		return false;
	auto latin1 = std::make_shared<std::string>();
	if (!Latin1FromUtf8(*text, latin1.get()))
		return false;
	return _Write(requestor, property, XA_STRING, latin1, allowIncremental);
}

// Each (target, property) pair is converted on its own; a pair that cannot be has its
// target replaced by None. Large values are refused inside MULTIPLE rather than started
// as several INCR transfers at once.
bool
ClipboardSelection::_ConvertMultiple(Window requestor, Atom property, const Snapshot& snapshot)
{
	PropertyValue pairs;
	if (!ReadProperty(fX, requestor, property, false, &pairs) || pairs.format != 32 ||
	    pairs.longs.size() % 2 != 0) {
		return false;
	}
	for (size_t i = 0; i < pairs.longs.size(); i += 2) {
		Atom target = (Atom)pairs.longs[i];
		Atom into = (Atom)pairs.longs[i + 1];
		if (into == None || target == fAtoms.multiple ||
		    !_Convert(requestor, target, into, snapshot, false)) {
			pairs.longs[i] = None;
		}
	}
	XChangeProperty(fX, requestor, property, fAtoms.atomPair, 32, PropModeReplace,
	                (unsigned char*)pairs.longs.data(), (int)pairs.longs.size());
	return true;
}

bool
ClipboardSelection::_Write(Window requestor, Atom property, Atom type, const Text& data,
                           bool allowIncremental)
{
	if (data->size() <= fChunk) {
		XChangeProperty(fX, requestor, property, type, 8, PropModeReplace,
		                (const unsigned char*)data->data(), (int)data->size());
		return true;
	}
	if (!allowIncremental)
		return false;
	// The requestor deletes the INCR property to ask for each chunk; watch its
	// properties, keeping whatever this connection already selected on it.
	XWindowAttributes attributes;
	if (XGetWindowAttributes(fX, requestor, &attributes) == 0)
		return false;
	long mask = attributes.your_event_mask;
	XSelectInput(fX, requestor, mask | PropertyChangeMask | StructureNotifyMask);
	long size = (long)data->size();
	XChangeProperty(fX, requestor, property, fAtoms.incr, 32, PropModeReplace,
	                (unsigned char*)&size, 1);
	fTransfers.push_back(Transfer{requestor, property, type, data, 0, mask});
	return true;
}

bool
ClipboardSelection::_HandleTransferProperty(const XPropertyEvent& event)
{
	for (size_t i = 0; i < fTransfers.size(); i++) {
		if (fTransfers[i].requestor != event.window || fTransfers[i].property != event.atom)
			continue;
		if (event.state == PropertyDelete)
			_SendChunk(i);
		return true;
	}
	return false;
}

void
ClipboardSelection::_SendChunk(size_t index)
{
	Transfer& transfer = fTransfers[index];
	size_t length = std::min(fChunk, transfer.data->size() - transfer.offset);
	XChangeProperty(fX, transfer.requestor, transfer.property, transfer.type, 8, PropModeReplace,
	                (const unsigned char*)transfer.data->data() + transfer.offset, (int)length);
	transfer.offset += length;
	// The zero-length chunk ends the transfer.
	if (length == 0)
		_EndTransfer(index);
	XFlush(fX);
}

void
ClipboardSelection::_EndTransfer(size_t index)
{
	Transfer transfer = fTransfers[index];
	fTransfers.erase(fTransfers.begin() + (long)index);
	bool more = std::any_of(fTransfers.begin(), fTransfers.end(), [&](const Transfer& other) {
		return other.requestor == transfer.requestor;
	});
	if (!more)
		XSelectInput(fX, transfer.requestor, transfer.oldMask);
}

// A requestor that goes away in the middle of a transfer will not ask for the rest.
void
ClipboardSelection::_ForgetRequestor(Window requestor)
{
	std::erase_if(fTransfers, [requestor](const Transfer& transfer) {
		return transfer.requestor == requestor;
	});
}

// #pragma mark - fetching another owner's text

int32
ClipboardSelection::Fetch(std::string* text)
{
	// The display thread cannot wait for itself; it has the local data.
	if (_OnDisplayThread())
		return kClipboardLocal;
	std::lock_guard<std::mutex> fetching(fFetchLock);
	std::unique_lock<std::mutex> lock(fLock);
	if (fOwned)
		return kClipboardLocal;
	uint64 serial = ++fFetchSerial;
	fFetchDone = false;
	fFetchProgress = Clock::now();
	_Queue([this, serial] { _StartFetch(serial); });
	while (!fFetchDone) {
		Clock::time_point deadline = fFetchProgress + kDeadline;
		if (fChanged.wait_until(lock, deadline) == std::cv_status::timeout &&
		    Clock::now() >= fFetchProgress + kDeadline) {
			break;
		}
	}
	if (!fFetchDone) {
		// A late answer to this fetch is dropped.
		fFetchSerial++;
		return kClipboardForeignEmpty;
	}
	if (fFetchAnswer == kClipboardForeignText)
		text->swap(fFetchText);
	fFetchText.clear();
	return fFetchAnswer;
}

void
ClipboardSelection::_StartFetch(uint64 serial)
{
	Window owner = XGetSelectionOwner(fX, fAtoms.clipboard);
	fIncoming = Incoming();
	fIncoming.serial = serial;
	if (owner == None || owner == fWindow) {
		_FinishFetch(kClipboardLocal);
		return;
	}
	fIncoming.active = true;
	fIncoming.target = fAtoms.utf8;
	fOtherProperty = !fOtherProperty;
	fIncoming.property = fOtherProperty ? fAtoms.otherProperty : fAtoms.property;
	XDeleteProperty(fX, fWindow, fIncoming.property);
	XConvertSelection(fX, fAtoms.clipboard, fAtoms.utf8, fIncoming.property, fWindow, CurrentTime);
	XFlush(fX);
}

void
ClipboardSelection::_HandleNotify(const XSelectionEvent& event)
{
	if (!fIncoming.active || fIncoming.incremental || event.target != fIncoming.target ||
	    (event.property != None && event.property != fIncoming.property)) {
		return;
	}
	if (event.property == None) {
		// Owners that predate UTF8_STRING may still have Latin-1 text.
		if (fIncoming.target == fAtoms.utf8) {
			fIncoming.target = XA_STRING;
			XConvertSelection(fX, fAtoms.clipboard, XA_STRING, fIncoming.property, fWindow,
			                  CurrentTime);
			XFlush(fX);
		} else {
			_FinishFetch(kClipboardForeignEmpty);
		}
		return;
	}
	PropertyValue value;
	// Reading with delete also tells an INCR owner to send the first chunk.
	bool read = ReadProperty(fX, fWindow, event.property, true, &value);
	XFlush(fX);
	if (read && value.type == fAtoms.incr) {
		fIncoming.incremental = true;
		_Progress();
		return;
	}
	if (!read || value.format != 8) {
		_FinishFetch(kClipboardForeignEmpty);
		return;
	}
	fIncoming.type = value.type;
	fIncoming.text = std::move(value.bytes);
	_FinishFetch(kClipboardForeignText);
}

void
ClipboardSelection::_HandleFetchProperty(const XPropertyEvent& event)
{
	if (!fIncoming.active || !fIncoming.incremental || event.state != PropertyNewValue)
		return;
	PropertyValue chunk;
	bool read = ReadProperty(fX, fWindow, event.atom, true, &chunk);
	XFlush(fX);
	if (!read || chunk.format != 8) {
		_FinishFetch(kClipboardForeignEmpty);
		return;
	}
	if (chunk.bytes.empty()) {
		_FinishFetch(kClipboardForeignText);
		return;
	}
	fIncoming.type = chunk.type;
	fIncoming.text += chunk.bytes;
	_Progress();
}

void
ClipboardSelection::_Progress()
{
	std::lock_guard<std::mutex> guard(fLock);
	if (fIncoming.serial != fFetchSerial)
		return;
	fFetchProgress = Clock::now();
	fChanged.notify_all();
}

void
ClipboardSelection::_FinishFetch(int32 answer)
{
	fIncoming.active = false;
	if (answer == kClipboardForeignText && fIncoming.type == XA_STRING)
		fIncoming.text = Utf8FromLatin1(fIncoming.text);
	std::lock_guard<std::mutex> guard(fLock);
	if (fIncoming.serial != fFetchSerial)
		return;
	fFetchAnswer = answer;
	fFetchText = std::move(fIncoming.text);
	fFetchDone = true;
	fChanged.notify_all();
}

// #pragma mark - events

bool
ClipboardSelection::HandleEvent(XEvent& event)
{
	switch (event.type) {
	case SelectionRequest:
		if (event.xselectionrequest.selection != fAtoms.clipboard ||
		    event.xselectionrequest.owner != fWindow) {
			return false;
		}
		_HandleRequest(event.xselectionrequest);
		return true;
	case SelectionNotify:
		if (event.xselection.selection != fAtoms.clipboard ||
		    event.xselection.requestor != fWindow) {
			return false;
		}
		_HandleNotify(event.xselection);
		return true;
	case SelectionClear:
		if (event.xselectionclear.selection != fAtoms.clipboard ||
		    event.xselectionclear.window != fWindow) {
			return false;
		}
		{
			// A clear that a newer claim of ours overtook changes nothing.
			bool owned = XGetSelectionOwner(fX, fAtoms.clipboard) == fWindow;
			std::lock_guard<std::mutex> guard(fLock);
			fOwned = owned;
		}
		return true;
	case PropertyNotify:
		if (event.xproperty.window == fWindow) {
			if (event.xproperty.atom == fIncoming.property)
				_HandleFetchProperty(event.xproperty);
			return true;
		}
		return _HandleTransferProperty(event.xproperty);
	case DestroyNotify:
		// Also seen by others (the root's watchers): never taken.
		_ForgetRequestor(event.xdestroywindow.window);
		return false;
	case ClientMessage:
		if (event.xclient.window != fWindow || event.xclient.message_type != fAtoms.task)
			return false;
		_RunTasks();
		return true;
	default:
		return false;
	}
}

// #pragma mark - Display::Data hooks

void
Display::Data::CreateClipboard()
{
	clipboard.reset(new ClipboardSelection(*this));
}

void
Display::Data::RegisterClipboard()
{
	clipboard->Register(thread.get_id());
}

void
Display::Data::UnregisterClipboard()
{
	clipboard->Unregister();
}

bool
Display::Data::HandleClipboardEvent(XEvent& event)
{
	return clipboard->HandleEvent(event);
}

} // namespace BPrivate
