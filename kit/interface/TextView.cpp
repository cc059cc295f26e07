// BTextView: style runs, line layout with word wrap, drawing, the caret and scrolling.
// Keys, the mouse, the clipboard and changes of the text are in TextViewEditing.cpp.
#include "TextView.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include <Window.h>

namespace {

const rgb_color kBlack = {0, 0, 0, 255};

bool
IsBreakSpace(char c)
{
	return c == ' ' || c == '\t';
}

} // namespace

BTextView::BTextView(BRect frame, const char* name, BRect textRect, uint32 resizingMode,
                     uint32 flags)
    : BView(frame, name, resizingMode, flags)
{
	_Init(textRect, nullptr, nullptr);
}

BTextView::BTextView(BRect frame, const char* name, BRect textRect, const BFont* initialFont,
                     const rgb_color* initialColor, uint32 resizingMode, uint32 flags)
    : BView(frame, name, resizingMode, flags)
{
	_Init(textRect, initialFont, initialColor);
}

BTextView::~BTextView() = default;

void
BTextView::_Init(BRect textRect, const BFont* font, const rgb_color* color)
{
	fTextRect = textRect;
	fAlignment = B_ALIGN_LEFT;
	fSelStart = fSelEnd = fAnchor = fCaret = 0;
	fMaxBytes = std::numeric_limits<int32>::max();
	fWordWrap = true;
	fEditable = true;
	fSelectable = true;
	fStylable = false;
	fTracking = false;
	if (font != nullptr)
		BView::SetFont(font);
	StyleRun run;
	run.offset = 0;
	GetFont(&run.font);
	run.color = color != nullptr ? *color : kBlack;
	fRuns.push_back(run);
	_Layout();
}

void
BTextView::SetText(const char* text)
{
	SetText(text, text != nullptr ? (int32)strlen(text) : 0);
}

void
BTextView::SetText(const char* text, int32 length)
{
	fText.assign(text != nullptr ? text : "", text != nullptr ? std::max(length, (int32)0) : 0);
	fRuns.resize(1);
	fSelStart = fSelEnd = fAnchor = fCaret = 0;
	_Layout();
	if (LeftTop() != BPoint(0, 0))
		ScrollTo(BPoint(0, 0));
	Invalidate();
}

void
BTextView::SetTextRect(BRect rect)
{
	fTextRect = rect;
	_Layout();
	Invalidate();
}

void
BTextView::SetAlignment(alignment flag)
{
	fAlignment = flag;
	Invalidate();
}

void
BTextView::SetWordWrap(bool wrap)
{
	fWordWrap = wrap;
	_Layout();
	Invalidate();
}

void
BTextView::MakeEditable(bool editable)
{
	if (editable == fEditable)
		return;
	fEditable = editable;
	Invalidate();
}

void
BTextView::MakeSelectable(bool selectable)
{
	fSelectable = selectable;
	if (!selectable)
		Select(0, 0);
}

void
BTextView::SetFontAndColor(const BFont* font, uint32 mode, const rgb_color* color)
{
	SetFontAndColor(fSelStart, fSelEnd, font, mode, color);
}

void
BTextView::SetFontAndColor(int32 start, int32 end, const BFont* font, uint32 mode,
                           const rgb_color* color)
{
	if (!fStylable) {
		start = 0;
		end = TextLength();
	}
	start = std::clamp(start, (int32)0, TextLength());
	end = std::clamp(end, (int32)0, TextLength());
	if (start > end)
		std::swap(start, end);
	if (start == end && TextLength() > 0)
		return;
	_SplitRunAt(start);
	_SplitRunAt(end);
	for (StyleRun& run : fRuns) {
		bool inside = run.offset >= start && (run.offset < end || start == end);
		if (!inside)
			continue;
		if (font != nullptr)
			run.font.CopyFrom(*font, mode);
		if (color != nullptr)
			run.color = *color;
	}
	_MergeRuns();
	_Layout();
	Invalidate();
}

void
BTextView::GetFontAndColor(int32 offset, BFont* font, rgb_color* color) const
{
	const StyleRun& run = fRuns[_RunAt(offset)];
	if (font != nullptr)
		*font = run.font;
	if (color != nullptr)
		*color = run.color;
}

size_t
BTextView::_RunAt(int32 offset) const
{
	size_t index = 0;
	while (index + 1 < fRuns.size() && fRuns[index + 1].offset <= offset)
		index++;
	return index;
}

void
BTextView::_SplitRunAt(int32 offset)
{
	if (offset >= TextLength())
		return;
	size_t index = _RunAt(offset);
	if (fRuns[index].offset == offset)
		return;
	StyleRun copy = fRuns[index];
	copy.offset = offset;
	fRuns.insert(fRuns.begin() + index + 1, copy);
}

void
BTextView::_MergeRuns()
{
	std::vector<StyleRun> merged;
	for (const StyleRun& run : fRuns) {
		if (!merged.empty() && merged.back().font == run.font && merged.back().color == run.color) {
			continue;
		}
		merged.push_back(run);
	}
	fRuns.swap(merged);
}

float
BTextView::_Width(int32 start, int32 end) const
{
	float width = 0;
	for (size_t index = _RunAt(start); index < fRuns.size() && start < end; index++) {
		int32 runEnd = index + 1 < fRuns.size() ? fRuns[index + 1].offset : TextLength();
		int32 pieceEnd = std::min(end, runEnd);
		width += fRuns[index].font.StringWidth(fText.data() + start, pieceEnd - start);
		start = pieceEnd;
	}
	return width;
}

// The end of the line that starts at start within the paragraph ending at end: as many
// whole words as fit the text rectangle, but at least one, so a long word stands alone.
int32
BTextView::_FitLine(int32 start, int32 end) const
{
	if (!fWordWrap)
		return end;
	float maxWidth = fTextRect.Width();
	int32 fit = -1;
	int32 position = start;
	while (position < end) {
		int32 wordEnd = position;
		while (wordEnd < end && !IsBreakSpace(fText[wordEnd]))
			wordEnd++;
		int32 next = wordEnd;
		while (next < end && IsBreakSpace(fText[next]))
			next++;
		if (_Width(start, wordEnd) > maxWidth && fit != -1)
			break;
		fit = next;
		position = next;
	}
	return fit == -1 ? end : fit;
}

void
BTextView::_AddLine(int32 start, int32 end, float top)
{
	Line line = {start, end, top, 0, 0, 0};
	size_t last = _RunAt(std::max(start, std::max(end - 1, start)));
	for (size_t index = _RunAt(start); index <= last; index++) {
		font_height height;
		fRuns[index].font.GetHeight(&height);
		line.ascent = std::max(line.ascent, height.ascent);
		line.descent = std::max(line.descent, height.descent);
		line.leading = std::max(line.leading, height.leading);
	}
	fLines.push_back(line);
}

void
BTextView::_Layout()
{
	fLines.clear();
	_LayoutFrom(0, 0, nullptr, 0, 0);
}

// Lays out the lines from the line start start, at top. Laying out only looks forward, so
// once a line starts past the change where an old line started (moved by delta), the
// old lines from there on are still right, moved by delta and by the change in height.
void
BTextView::_LayoutFrom(int32 start, float top, const std::vector<Line>* old, int32 changeEnd,
                       int32 delta)
{
	const int32 length = TextLength();
	size_t oldIndex = 0;
	while (true) {
		if (old != nullptr && start >= changeEnd) {
			while (oldIndex < old->size() && (*old)[oldIndex].start + delta < start)
				oldIndex++;
			if (oldIndex < old->size() && (*old)[oldIndex].start + delta == start) {
				float shift = top - (*old)[oldIndex].top;
				for (size_t index = oldIndex; index < old->size(); index++) {
					Line line = (*old)[index];
					line.start += delta;
					line.end += delta;
					line.top += shift;
					fLines.push_back(line);
				}
				return;
			}
		}
		size_t found = fText.find('\n', (size_t)start);
		int32 end = found == std::string::npos ? length : (int32)found;
		int32 lineEnd = _FitLine(start, end);
		// The line break belongs to the last line of its paragraph.
		int32 stored = lineEnd == end && end < length ? end + 1 : lineEnd;
		_AddLine(start, stored, top);
		top += ceilf(fLines.back().ascent + fLines.back().descent + fLines.back().leading);
		if (lineEnd < end) {
			start = lineEnd;
			continue;
		}
		if (end >= length)
			break;
		start = end + 1;
	}
}

// After the bytes changeStart to oldChangeEnd were replaced, making the text delta bytes
// longer: lays out again from the line before the change (its first word may now fit
// there) and keeps what did not move.
void
BTextView::_Relayout(int32 changeStart, int32 oldChangeEnd, int32 delta)
{
	if (fLines.empty()) {
		_Layout();
		return;
	}
	size_t first = 0;
	while (first + 1 < fLines.size() && fLines[first].end <= changeStart)
		first++;
	if (first > 0)
		first--;
	std::vector<Line> old;
	old.swap(fLines);
	fLines.assign(old.begin(), old.begin() + (long)first);
	_LayoutFrom(old[first].start, old[first].top, &old, oldChangeEnd + delta, delta);
}

int32
BTextView::LineAt(int32 offset) const
{
	for (size_t index = 0; index < fLines.size(); index++) {
		if (offset < fLines[index].end)
			return (int32)index;
	}
	return (int32)fLines.size() - 1;
}

float
BTextView::LineHeight(int32 lineNumber) const
{
	if (lineNumber < 0 || lineNumber >= CountLines())
		return 0;
	const Line& line = fLines[lineNumber];
	return ceilf(line.ascent + line.descent + line.leading);
}

// The width of the line's text, its line break not counted.
float
BTextView::LineWidth(int32 lineNumber) const
{
	if (lineNumber < 0 || lineNumber >= CountLines())
		return 0;
	const Line& line = fLines[lineNumber];
	int32 end = line.end;
	if (end > line.start && fText[end - 1] == '\n')
		end--;
	return _Width(line.start, end);
}

float
BTextView::TextHeight(int32 startLine, int32 endLine) const
{
	startLine = std::max(startLine, (int32)0);
	endLine = std::min(endLine, CountLines() - 1);
	float height = 0;
	for (int32 line = startLine; line <= endLine; line++)
		height += LineHeight(line);
	return height;
}

float
BTextView::_LineLeft(const Line& line) const
{
	// Measuring is the costly part of laying out: left-aligned lines need none.
	if (fAlignment == B_ALIGN_LEFT)
		return fTextRect.left;
	float slack = fTextRect.Width() - _Width(line.start, _LineEnd(line));
	if (fAlignment == B_ALIGN_CENTER)
		return fTextRect.left + floorf(slack / 2);
	if (fAlignment == B_ALIGN_RIGHT)
		return fTextRect.left + slack;
	return fTextRect.left;
}

int32
BTextView::OffsetAt(BPoint point) const
{
	if (fLines.empty())
		return 0;
	size_t index = 0;
	while (index + 1 < fLines.size() && point.y >= fTextRect.top + fLines[index + 1].top)
		index++;
	const Line& line = fLines[index];
	float x = _LineLeft(line);
	int32 offset = line.start;
	int32 end = _LineEnd(line);
	while (offset < end) {
		int32 next = std::min(_NextChar(offset), end);
		float width = _Width(offset, next);
		if (point.x < x + width / 2)
			break;
		x += width;
		offset = next;
	}
	return offset;
}

// The end of the line's text, without its line break.
int32
BTextView::_LineEnd(const Line& line) const
{
	if (line.end > line.start && fText[line.end - 1] == '\n')
		return line.end - 1;
	return line.end;
}

BPoint
BTextView::PointAt(int32 offset, float* height) const
{
	offset = std::clamp(offset, (int32)0, TextLength());
	int32 index = LineAt(offset);
	if (index < 0) {
		if (height != nullptr)
			*height = 0;
		return fTextRect.LeftTop();
	}
	const Line& line = fLines[index];
	if (height != nullptr)
		*height = LineHeight(index);
	offset = std::min(offset, _LineEnd(line));
	return BPoint(_LineLeft(line) + _Width(line.start, offset), fTextRect.top + line.top);
}

// The width of the widest line: how far a text that does not wrap reaches.
float
BTextView::_TextWidth() const
{
	float width = 0;
	for (const Line& line : fLines)
		width = std::max(width, _Width(line.start, _LineEnd(line)));
	return width;
}

void
BTextView::ScrollToOffset(int32 offset)
{
	BRect bounds = Bounds();
	float height;
	BPoint point = PointAt(offset, &height);
	BPoint origin = bounds.LeftTop();
	if (!fWordWrap) {
		// Keep the caret in sight, and never show more empty room on the right than the
		// caret needs once the text got shorter.
		if (point.x < bounds.left)
			origin.x = point.x - fTextRect.left;
		else if (point.x + 1 > bounds.right)
			origin.x = point.x + 1 - bounds.Width();
		float widest = fTextRect.left + _TextWidth() + 2 - bounds.Width();
		origin.x = std::max(0.0f, std::min(origin.x, widest));
	}
	if (point.y < bounds.top)
		origin.y = point.y - fTextRect.top;
	else if (point.y + height - 1 > bounds.bottom)
		origin.y = point.y + height - 1 - bounds.Height();
	origin.y = std::max(0.0f, origin.y);
	origin.x = roundf(origin.x);
	origin.y = roundf(origin.y);
	if (origin != bounds.LeftTop())
		ScrollTo(origin);
}

void
BTextView::ScrollToSelection()
{
	ScrollToOffset(fCaret);
}

void
BTextView::Select(int32 start, int32 end)
{
	start = std::clamp(start, (int32)0, TextLength());
	end = std::clamp(end, start, TextLength());
	fAnchor = start;
	fCaret = end;
	if (start == fSelStart && end == fSelEnd)
		return;
	fSelStart = start;
	fSelEnd = end;
	Invalidate();
}

void
BTextView::GetSelection(int32* start, int32* end) const
{
	if (start != nullptr)
		*start = fSelStart;
	if (end != nullptr)
		*end = fSelEnd;
}

void
BTextView::Draw(BRect)
{
	BFont viewFont;
	GetFont(&viewFont);
	rgb_color high = HighColor();
	for (const Line& line : fLines) {
		_DrawSelection(line);
		_DrawLine(line);
	}
	if (_CaretShown())
		_DrawCaret();
	BView::SetFont(&viewFont);
	SetHighColor(high);
}

// The caret shows where typing goes: in the focused, editable view of the active window.
bool
BTextView::_CaretShown() const
{
	return fEditable && fSelStart == fSelEnd && IsFocus() && Window() != nullptr &&
	       Window()->IsActive();
}

void
BTextView::_DrawCaret()
{
	float height;
	BPoint point = PointAt(fSelStart, &height);
	float x = floorf(point.x);
	SetHighColor(fRuns[_RunAt(std::max(fSelStart - 1, (int32)0))].color);
	StrokeLine(BPoint(x, point.y), BPoint(x, point.y + std::max(height, 1.0f) - 1));
}

void
BTextView::_DrawSelection(const Line& line)
{
	int32 start = std::max(fSelStart, line.start);
	int32 end = std::min(fSelEnd, line.end);
	if (start >= end)
		return;
	float left = _LineLeft(line);
	float x0 = left + _Width(line.start, start);
	float x1 = left + _Width(line.start, end);
	float top = fTextRect.top + line.top;
	SetHighColor(tint_color(LowColor(), B_HIGHLIGHT_BACKGROUND_TINT));
	FillRect(BRect(x0, top, x1 - 1, top + LineHeight(LineAt(line.start)) - 1));
}

void
BTextView::_DrawLine(const Line& line)
{
	float x = _LineLeft(line);
	float baseline = fTextRect.top + line.top + line.ascent;
	int32 end = _LineEnd(line);
	SetDrawingMode(B_OP_OVER);
	for (size_t index = _RunAt(line.start); index < fRuns.size(); index++) {
		int32 start = std::max(fRuns[index].offset, line.start);
		int32 runEnd = index + 1 < fRuns.size() ? fRuns[index + 1].offset : TextLength();
		int32 pieceEnd = std::min(end, runEnd);
		if (start >= end)
			break;
		if (pieceEnd <= start)
			continue;
		BView::SetFont(&fRuns[index].font);
		SetHighColor(fRuns[index].color);
		DrawString(fText.data() + start, pieceEnd - start, BPoint(x, baseline));
		x += _Width(start, pieceEnd);
	}
	SetDrawingMode(B_OP_COPY);
}

void
BTextView::FrameResized(float width, float height)
{
	BView::FrameResized(width, height);
	_Layout();
	Invalidate();
}
