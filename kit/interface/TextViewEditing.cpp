// BTextView editing: keys, the mouse, the clipboard and the changes of the text. Offsets
// that the keyboard and the mouse produce always fall between whole UTF-8 characters; a
// byte that is not part of a valid sequence counts as one character of its own.
#include "TextView.h"

#include <algorithm>
#include <cstring>

#include <AppDefs.h>
#include <Clipboard.h>
#include <Message.h>
#include <TypeConstants.h>
#include <Window.h>

namespace {

const char* const kTextType = "text/plain";

// The length of the sequence a lead byte announces; 1 for a byte that cannot lead.
int32
SequenceLength(uint8 byte)
{
	if (byte < 0x80)
		return 1;
	if (byte >= 0xc2 && byte <= 0xdf)
		return 2;
	if (byte >= 0xe0 && byte <= 0xef)
		return 3;
	if (byte >= 0xf0 && byte <= 0xf4)
		return 4;
	return 1;
}

bool
IsContinuation(uint8 byte)
{
	return (byte & 0xc0) == 0x80;
}

// The bytes of the character at text: a whole valid sequence, else the one byte.
int32
CharLength(const char* text, int32 length)
{
	int32 count = SequenceLength((uint8)text[0]);
	if (count > length)
		return 1;
	for (int32 i = 1; i < count; i++) {
		if (!IsContinuation((uint8)text[i]))
			return 1;
	}
	return count;
}

// The code point of the character of count bytes at text (the byte itself for one byte).
uint32
DecodeCharacter(const char* text, int32 count)
{
	if (count == 1)
		return (uint8)text[0];
	uint32 code = (uint8)text[0] & (0xff >> (count + 1));
	for (int32 i = 1; i < count; i++)
		code = code << 6 | ((uint8)text[i] & 0x3f);
	return code;
}

bool
IsWordByte(uint8 byte)
{
	return byte >= 0x80 || (byte >= '0' && byte <= '9') || (byte >= 'a' && byte <= 'z') ||
	       (byte >= 'A' && byte <= 'Z') || byte == '_';
}

} // namespace

// #pragma mark - characters

int32
BTextView::_NextChar(int32 offset) const
{
	offset = std::max(offset, (int32)0);
	if (offset >= TextLength())
		return TextLength();
	return offset + CharLength(fText.data() + offset, TextLength() - offset);
}

int32
BTextView::_PreviousChar(int32 offset) const
{
	if (offset <= 0)
		return 0;
	offset = std::min(offset, TextLength());
	int32 start = offset - 1;
	while (start > 0 && start > offset - 4 && IsContinuation((uint8)fText[start]))
		start--;
	return _NextChar(start) == offset ? start : offset - 1;
}

uint8
BTextView::ByteAt(int32 offset) const
{
	if (offset < 0 || offset >= TextLength())
		return 0;
	return (uint8)fText[offset];
}

void
BTextView::GetText(int32 offset, int32 length, char* buffer) const
{
	if (buffer == nullptr)
		return;
	offset = std::clamp(offset, (int32)0, TextLength());
	length = std::clamp(length, (int32)0, TextLength() - offset);
	memcpy(buffer, fText.data() + offset, length);
	buffer[length] = '\0';
}

void
BTextView::FindWord(int32 offset, int32* start, int32* end)
{
	offset = std::clamp(offset, (int32)0, TextLength());
	int32 from = offset, to = offset;
	if (offset < TextLength() && IsWordByte((uint8)fText[offset])) {
		while (from > 0 && IsWordByte((uint8)fText[from - 1]))
			from--;
		while (to < TextLength() && IsWordByte((uint8)fText[to]))
			to++;
	} else {
		to = _NextChar(offset);
	}
	if (start != nullptr)
		*start = from;
	if (end != nullptr)
		*end = to;
}

// #pragma mark - changing the text

void
BTextView::InsertText(const char* text, int32 length, int32 offset, const text_run_array*)
{
	offset = std::clamp(offset, (int32)0, TextLength());
	fText.insert((size_t)offset, text, (size_t)length);
	// The inserted text takes the style of the text before it.
	for (size_t index = 1; index < fRuns.size(); index++) {
		if (fRuns[index].offset >= offset)
			fRuns[index].offset += length;
	}
}

void
BTextView::DeleteText(int32 fromOffset, int32 toOffset)
{
	fromOffset = std::clamp(fromOffset, (int32)0, TextLength());
	toOffset = std::clamp(toOffset, fromOffset, TextLength());
	fText.erase((size_t)fromOffset, (size_t)(toOffset - fromOffset));
	std::vector<StyleRun> kept(1, fRuns[0]);
	for (size_t index = 1; index < fRuns.size(); index++) {
		StyleRun run = fRuns[index];
		if (run.offset >= toOffset)
			run.offset -= toOffset - fromOffset;
		else if (run.offset > fromOffset)
			run.offset = fromOffset;
		// Of runs that now start together, the last one holds the text that follows.
		if (run.offset == kept.back().offset)
			kept.back() = run;
		else if (run.offset < TextLength())
			kept.push_back(run);
	}
	fRuns.swap(kept);
	_MergeRuns();
}

// How many of length bytes fit when replaced bytes go: whole characters only.
int32
BTextView::_FitMaxBytes(const char* text, int32 length, int32 replaced) const
{
	int64 room = (int64)fMaxBytes - (TextLength() - replaced);
	if (room >= length)
		return length;
	int32 fit = (int32)std::max(room, (int64)0);
	while (fit > 0 && IsContinuation((uint8)text[fit]))
		fit--;
	return fit;
}

// Replaces the bytes start to end with text and puts the caret after it.
void
BTextView::_Replace(int32 start, int32 end, const char* text, int32 length)
{
	int32 fit = _FitMaxBytes(text, length, end - start);
	if (fit == 0 && length > 0)
		return;
	const int32 oldLength = TextLength();
	if (end > start)
		DeleteText(start, end);
	if (fit > 0)
		InsertText(text, fit, start, nullptr);
	// Measured, not assumed: a derived class may insert other text than it was given.
	int32 delta = TextLength() - oldLength;
	_Relayout(start, end, delta);
	fSelStart = fSelEnd = fAnchor = fCaret = std::clamp(end + delta, (int32)0, TextLength());
	ScrollToOffset(fCaret);
	Invalidate();
}

void
BTextView::Insert(const char* text, const text_run_array* runs)
{
	Insert(fSelStart, text, text != nullptr ? (int32)strlen(text) : 0, runs);
}

void
BTextView::Insert(const char* text, int32 length, const text_run_array* runs)
{
	Insert(fSelStart, text, length, runs);
}

void
BTextView::Insert(int32 offset, const char* text, int32 length, const text_run_array* runs)
{
	if (text == nullptr || length <= 0)
		return;
	length = (int32)strnlen(text, (size_t)length);
	length = _FitMaxBytes(text, length, 0);
	if (length == 0)
		return;
	offset = std::clamp(offset, (int32)0, TextLength());
	const int32 oldLength = TextLength();
	InsertText(text, length, offset, runs);
	length = TextLength() - oldLength;
	_Relayout(offset, offset, length);
	// The selection stays on the same text.
	if (fSelStart >= offset)
		fSelStart += length;
	if (fSelEnd >= offset)
		fSelEnd += length;
	fAnchor = fSelStart;
	fCaret = fSelEnd;
	Invalidate();
}

void
BTextView::Delete()
{
	Delete(fSelStart, fSelEnd);
}

void
BTextView::Delete(int32 start, int32 finish)
{
	start = std::clamp(start, (int32)0, TextLength());
	finish = std::clamp(finish, start, TextLength());
	if (start == finish)
		return;
	const int32 oldLength = TextLength();
	DeleteText(start, finish);
	_Relayout(start, finish, TextLength() - oldLength);
	auto shift = [start, finish](int32 offset) {
		if (offset >= finish)
			return offset - (finish - start);
		return std::min(offset, start);
	};
	fSelStart = shift(fSelStart);
	fSelEnd = shift(fSelEnd);
	fAnchor = fSelStart;
	fCaret = fSelEnd;
	ScrollToOffset(fCaret);
	Invalidate();
}

void
BTextView::SetMaxBytes(int32 max)
{
	fMaxBytes = std::max(max, (int32)0);
	// Text already longer is cut to the limit, at a character boundary.
	if (TextLength() > fMaxBytes) {
		int32 cut = fMaxBytes;
		while (cut > 0 && IsContinuation((uint8)fText[cut]))
			cut--;
		Delete(cut, TextLength());
	}
}

void
BTextView::DisallowChar(uint32 character)
{
	if (std::find(fDisallowed.begin(), fDisallowed.end(), character) == fDisallowed.end())
		fDisallowed.push_back(character);
}

void
BTextView::AllowChar(uint32 character)
{
	fDisallowed.erase(std::remove(fDisallowed.begin(), fDisallowed.end(), character),
	                  fDisallowed.end());
}

// The text without its disallowed characters and NUL bytes.
std::string
BTextView::_Filtered(const char* text, int32 length) const
{
	std::string kept;
	for (int32 offset = 0; offset < length;) {
		int32 count = CharLength(text + offset, length - offset);
		uint32 code = DecodeCharacter(text + offset, count);
		bool refused = text[offset] == '\0' ||
		               std::find(fDisallowed.begin(), fDisallowed.end(), code) != fDisallowed.end();
		if (!refused)
			kept.append(text + offset, (size_t)count);
		offset += count;
	}
	return kept;
}

// #pragma mark - the clipboard

void
BTextView::Copy(BClipboard* clipboard)
{
	if (clipboard == nullptr || fSelStart == fSelEnd || !clipboard->Lock())
		return;
	clipboard->Clear();
	BMessage* data = clipboard->Data();
	if (data != nullptr) {
		data->AddData(kTextType, B_MIME_TYPE, fText.data() + fSelStart, fSelEnd - fSelStart);
		clipboard->Commit();
	}
	clipboard->Unlock();
}

void
BTextView::Cut(BClipboard* clipboard)
{
	if (!fEditable || fSelStart == fSelEnd)
		return;
	Copy(clipboard);
	_Replace(fSelStart, fSelEnd, "", 0);
}

void
BTextView::Paste(BClipboard* clipboard)
{
	if (!fEditable || clipboard == nullptr || !clipboard->Lock())
		return;
	std::string text;
	const void* data = nullptr;
	ssize_t size = 0;
	BMessage* message = clipboard->Data();
	if (message != nullptr && message->FindData(kTextType, B_MIME_TYPE, &data, &size) == B_OK &&
	    size > 0) {
		text.assign((const char*)data, (size_t)size);
	}
	clipboard->Unlock();
	// Some programs end the text with a NUL: it is not part of the text.
	if (!text.empty() && text.back() == '\0')
		text.pop_back();
	std::string kept = _Filtered(text.data(), (int32)text.size());
	if (!kept.empty())
		_Replace(fSelStart, fSelEnd, kept.data(), (int32)kept.size());
}

void
BTextView::SelectAll()
{
	Select(0, TextLength());
}

void
BTextView::MessageReceived(BMessage* message)
{
	BClipboard* clipboard = be_clipboard;
	if (clipboard == nullptr) {
		// Without an application there is no be_clipboard: the text views share one
		// "system" clipboard of their own, made once and kept for the life of the program.
		static BClipboard* sSystem = new BClipboard("system");
		clipboard = sSystem;
	}
	switch (message->what) {
	case B_CUT:
		Cut(clipboard);
		break;
	case B_COPY:
		Copy(clipboard);
		break;
	case B_PASTE:
		Paste(clipboard);
		break;
	case B_SELECT_ALL:
		SelectAll();
		break;
	default:
		BView::MessageReceived(message);
		break;
	}
}

// #pragma mark - keys

uint32
BTextView::_Modifiers() const
{
	int32 modifiers = 0;
	BMessage* message = Window() != nullptr ? Window()->CurrentMessage() : nullptr;
	if (message != nullptr)
		message->FindInt32("modifiers", &modifiers);
	return (uint32)modifiers;
}

void
BTextView::KeyDown(const char* bytes, int32 numBytes)
{
	if (bytes == nullptr || numBytes <= 0) {
		BView::KeyDown(bytes, numBytes);
		return;
	}
	uint32 modifiers = _Modifiers();
	bool extend = (modifiers & B_SHIFT_KEY) != 0;
	// Command keys are shortcuts; the window hands the editing ones back as messages.
	if ((modifiers & B_COMMAND_KEY) != 0 || !fSelectable) {
		BView::KeyDown(bytes, numBytes);
		return;
	}
	char key = numBytes == 1 ? bytes[0] : 0;
	if (_MoveCaret(key, extend))
		return;
	if (!fEditable) {
		BView::KeyDown(bytes, numBytes);
		return;
	}
	switch (key) {
	case B_BACKSPACE:
		_DeleteBackward();
		break;
	case B_DELETE:
		_DeleteForward();
		break;
	case B_ENTER:
	case B_TAB:
		_Type(bytes, numBytes);
		break;
	default:
		// Other control characters (Escape, Insert, function keys) type nothing.
		if (numBytes == 1 && ((uint8)key < 0x20 || key == B_DELETE))
			BView::KeyDown(bytes, numBytes);
		else
			_Type(bytes, numBytes);
		break;
	}
}

void
BTextView::_Type(const char* bytes, int32 numBytes)
{
	std::string kept = _Filtered(bytes, numBytes);
	if (!kept.empty())
		_Replace(fSelStart, fSelEnd, kept.data(), (int32)kept.size());
}

void
BTextView::_DeleteBackward()
{
	if (fSelStart != fSelEnd)
		_Replace(fSelStart, fSelEnd, "", 0);
	else if (fSelStart > 0)
		_Replace(_PreviousChar(fSelStart), fSelStart, "", 0);
}

void
BTextView::_DeleteForward()
{
	if (fSelStart != fSelEnd)
		_Replace(fSelStart, fSelEnd, "", 0);
	else if (fSelStart < TextLength())
		_Replace(fSelStart, _NextChar(fSelStart), "", 0);
}

// Moves the caret for an arrow, Home or End key; false for any other key.
bool
BTextView::_MoveCaret(char key, bool extend)
{
	bool collapse = !extend && fSelStart != fSelEnd;
	int32 caret = fCaret;
	switch (key) {
	case B_LEFT_ARROW:
		caret = collapse ? fSelStart : _PreviousChar(fCaret);
		break;
	case B_RIGHT_ARROW:
		caret = collapse ? fSelEnd : _NextChar(fCaret);
		break;
	case B_UP_ARROW:
		caret = _VerticalTarget(fCaret, -1);
		break;
	case B_DOWN_ARROW:
		caret = _VerticalTarget(fCaret, 1);
		break;
	case B_HOME:
		caret = fLines[LineAt(fCaret)].start;
		break;
	case B_END:
		caret = _LineEnd(fLines[LineAt(fCaret)]);
		break;
	default:
		return false;
	}
	_SetCaret(caret, extend);
	return true;
}

// The offset lines above (negative) or below the one at offset, at the same x; the
// start or end of the text past the first or last line.
int32
BTextView::_VerticalTarget(int32 offset, int32 lines) const
{
	int32 line = LineAt(offset) + lines;
	if (line < 0)
		return 0;
	if (line >= CountLines())
		return TextLength();
	BPoint point = PointAt(offset);
	return OffsetAt(BPoint(point.x, fTextRect.top + fLines[line].top + 1));
}

void
BTextView::_SetCaret(int32 caret, bool extend)
{
	caret = std::clamp(caret, (int32)0, TextLength());
	int32 anchor = extend ? fAnchor : caret;
	fSelStart = std::min(anchor, caret);
	fSelEnd = std::max(anchor, caret);
	fAnchor = anchor;
	fCaret = caret;
	ScrollToOffset(caret);
	Invalidate();
}

// #pragma mark - mouse and focus

void
BTextView::MouseDown(BPoint where)
{
	if (!fSelectable)
		return;
	if (!IsFocus())
		MakeFocus(true);
	int32 clicks = 1;
	BMessage* message = Window() != nullptr ? Window()->CurrentMessage() : nullptr;
	if (message != nullptr)
		message->FindInt32("clicks", &clicks);
	int32 offset = OffsetAt(where);
	if (clicks == 2) {
		int32 start, end;
		FindWord(offset, &start, &end);
		Select(start, end);
	} else {
		_SetCaret(offset, (_Modifiers() & B_SHIFT_KEY) != 0);
	}
	fTracking = true;
	SetMouseEventMask(B_POINTER_EVENTS);
}

void
BTextView::MouseMoved(BPoint where, uint32, const BMessage*)
{
	if (!fTracking)
		return;
	_SetCaret(OffsetAt(where), true);
}

void
BTextView::MouseUp(BPoint)
{
	fTracking = false;
}

void
BTextView::MakeFocus(bool focus)
{
	if (focus == IsFocus())
		return;
	BView::MakeFocus(focus);
	Invalidate();
}

void
BTextView::WindowActivated(bool active)
{
	BView::WindowActivated(active);
	if (IsFocus())
		Invalidate();
}
