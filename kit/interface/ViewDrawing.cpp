// BView drawing: each call draws straight into the back buffer of the window (or into the
// bitmap the view belongs to), clipped to the visible part of the view and, inside
// Draw(), to the area being updated. What is drawn outside an update reaches the screen
// when the current message is done, or at Flush()/Sync().
#include <View.h>

#include <algorithm>
#include <cstring>

#include <Bitmap.h>
#include <Message.h>
#include <Region.h>
#include <Window.h>

#include "BitmapPrivate.h"
#include "ViewPrivate.h"
#include "WindowPrivate.h"

using BPrivate::ViewState;

namespace {

// The part of the view inside all its ancestors, in the coordinates of the window (or
// bitmap); invalid when nothing of the view shows.
BRect
VisibleRect(const BView* view)
{
	BRect visible = view->Bounds();
	for (const BView* v = view; v != nullptr; v = v->Parent()) {
		if (v->IsHidden(v->Parent() != nullptr ? v->Parent() : v))
			return BRect();
		visible = v->ConvertToParent(visible);
		const BView* parent = v->Parent();
		if (parent == nullptr)
			break;
		visible = visible & parent->Bounds();
		if (!visible.IsValid())
			return visible;
	}
	return visible;
}

} // namespace

ViewState*
BView::_PrepareDraw() const
{
	ViewState* scratch;
	BRect limit;
	if (fWindow != nullptr) {
		BPrivate::WindowBuffer* buffer = fWindow->fBuffer.get();
		if (buffer->quitting)
			return nullptr;
		scratch = &buffer->scratch;
		scratch->canvas = buffer->canvas.get();
		limit = fWindow->Bounds();
	} else if (fBitmap != nullptr) {
		scratch = BPrivate::BitmapAccess::Scratch(fBitmap);
		if (scratch == nullptr)
			return nullptr;
		limit = fBitmap->Bounds();
	} else {
		return nullptr;
	}
	BRect visible = VisibleRect(this) & limit;
	if (!visible.IsValid())
		return nullptr;
	scratch->clip.Set(visible);
	if (fWindow != nullptr && fWindow->fBuffer->inUpdate)
		scratch->clip.IntersectWith(&fWindow->fBuffer->updateClip);
	BPoint offset = ConvertToWindow(fOrigin);
	if (fClipping != nullptr) {
		BRegion constrained(*fClipping);
		constrained.OffsetBy(offset - fOrigin);
		scratch->clip.IntersectWith(&constrained);
	}
	if (scratch->clip.CountRects() == 0)
		return nullptr;
	BPrivate::DrawState& state = scratch->state;
	state.high = fHighColor;
	state.low = fLowColor;
	state.mode = fDrawingMode;
	state.constantAlpha = fAlphaSource == B_CONSTANT_ALPHA;
	state.penSize = fPenSize;
	state.offset = offset;
	scratch->clipRects.clear();
	for (int32 i = 0; i < scratch->clip.CountRects(); i++)
		scratch->clipRects.push_back(scratch->clip.RectAt(i));
	state.clip = scratch->clipRects.data();
	state.clipCount = (int32)scratch->clipRects.size();
	return scratch;
}

// Records that pixels changed, so that they are presented even outside an update.
void
BView::_DirtyDrawn(BRect) const
{
	if (fWindow == nullptr)
		return;
	BPrivate::WindowBuffer* buffer = fWindow->fBuffer.get();
	if (buffer->inUpdate)
		return;
	buffer->drawn.Include(&buffer->scratch.clip);
}

// Draws this view and its children into the update area (window coordinates).
void
BView::_Draw(BRect)
{
	if (fHideLevel > 0)
		return;
	ViewState* scratch = _PrepareDraw();
	if (scratch == nullptr)
		return;
	BRect update = scratch->clip.Frame();
	BPoint origin = ConvertToWindow(B_ORIGIN);
	update.OffsetBy(-origin.x, -origin.y);
	if (fViewColor != B_TRANSPARENT_COLOR) {
		BPrivate::DrawState state = scratch->state;
		state.high = fViewColor;
		state.mode = B_OP_COPY;
		state.offset = BPoint(0, 0);
		scratch->canvas->FillRect(state, scratch->clip.Frame(), B_SOLID_HIGH);
	}
	if ((fFlags & B_WILL_DRAW) != 0) {
		fInDraw = true;
		PushState();
		Draw(update);
		PopState();
		fInDraw = false;
	}
	for (size_t i = 0; i < fChildren.size(); i++)
		fChildren[i]->_Draw(update);
	if ((fFlags & B_DRAW_ON_CHILDREN) != 0) {
		fInDraw = true;
		DrawAfterChildren(update);
		fInDraw = false;
	}
}

void
BView::Invalidate()
{
	Invalidate(Bounds());
}

void
BView::Invalidate(BRect rect)
{
	if (fWindow == nullptr || !rect.IsValid())
		return;
	BPrivate::WindowBuffer* buffer = fWindow->fBuffer.get();
	if (buffer->quitting)
		return;
	BRect visible = VisibleRect(this);
	BRect area = rect.OffsetByCopy(ConvertToWindow(B_ORIGIN)) & visible;
	if (!area.IsValid())
		return;
	buffer->dirty.Include(area);
	if (!buffer->updatePending && fWindow->fStarted) {
		buffer->updatePending = true;
		fWindow->PostMessage(BPrivate::kMsgUpdate);
	}
}

void
BView::Invalidate(const BRegion* region)
{
	if (region == nullptr)
		return;
	for (int32 i = 0; i < region->CountRects(); i++)
		Invalidate(region->RectAt(i));
}

void
BView::Flush() const
{
	if (fWindow != nullptr)
		fWindow->Flush();
}

void
BView::Sync() const
{
	if (fWindow != nullptr)
		fWindow->Sync();
}

void
BView::GetClippingRegion(BRegion* region) const
{
	if (region == nullptr)
		return;
	region->MakeEmpty();
	ViewState* scratch = _PrepareDraw();
	if (scratch == nullptr)
		return;
	*region = scratch->clip;
	BPoint origin = ConvertToWindow(B_ORIGIN);
	region->OffsetBy(-origin.x, -origin.y);
}

void
BView::ConstrainClippingRegion(BRegion* region)
{
	delete fClipping;
	fClipping = region != nullptr ? new BRegion(*region) : nullptr;
}

void
BView::PushState()
{
	if (fStateStack == nullptr)
		fStateStack = new std::vector<SavedState>;
	fStateStack->push_back(SavedState{fHighColor, fLowColor, fDrawingMode, fAlphaSource,
	                                  fAlphaFunction, fPenSize, fPenLocation, fOrigin, fFont});
}

void
BView::PopState()
{
	if (fStateStack == nullptr || fStateStack->empty())
		return;
	const SavedState& state = fStateStack->back();
	fHighColor = state.highColor;
	fLowColor = state.lowColor;
	fDrawingMode = state.drawingMode;
	fAlphaSource = state.alphaSource;
	fAlphaFunction = state.alphaFunction;
	fPenSize = state.penSize;
	fPenLocation = state.penLocation;
	fOrigin = state.origin;
	fFont = state.font;
	fStateStack->pop_back();
}

// #pragma mark - shapes

void
BView::StrokeLine(BPoint to, pattern p)
{
	StrokeLine(fPenLocation, to, p);
}

void
BView::StrokeLine(BPoint from, BPoint to, pattern p)
{
	fPenLocation = to;
	if (ViewState* scratch = _PrepareDraw()) {
		scratch->canvas->StrokeLine(scratch->state, from, to, p);
		_DirtyDrawn(BRect());
	}
}

void
BView::StrokeRect(BRect rect, pattern p)
{
	if (ViewState* scratch = _PrepareDraw()) {
		scratch->canvas->StrokeRect(scratch->state, rect, p);
		_DirtyDrawn(rect);
	}
}

void
BView::FillRect(BRect rect, pattern p)
{
	if (ViewState* scratch = _PrepareDraw()) {
		scratch->canvas->FillRect(scratch->state, rect, p);
		_DirtyDrawn(rect);
	}
}

void
BView::FillRegion(BRegion* region, pattern p)
{
	if (region == nullptr)
		return;
	for (int32 i = 0; i < region->CountRects(); i++)
		FillRect(region->RectAt(i), p);
}

void
BView::StrokeEllipse(BRect rect, pattern p)
{
	if (ViewState* scratch = _PrepareDraw()) {
		scratch->canvas->StrokeEllipse(scratch->state, rect, p);
		_DirtyDrawn(rect);
	}
}

void
BView::FillEllipse(BRect rect, pattern p)
{
	if (ViewState* scratch = _PrepareDraw()) {
		scratch->canvas->FillEllipse(scratch->state, rect, p);
		_DirtyDrawn(rect);
	}
}

void
BView::StrokeRoundRect(BRect rect, float xRadius, float yRadius, pattern p)
{
	if (ViewState* scratch = _PrepareDraw()) {
		scratch->canvas->StrokeRoundRect(scratch->state, rect, xRadius, yRadius, p);
		_DirtyDrawn(rect);
	}
}

void
BView::FillRoundRect(BRect rect, float xRadius, float yRadius, pattern p)
{
	if (ViewState* scratch = _PrepareDraw()) {
		scratch->canvas->FillRoundRect(scratch->state, rect, xRadius, yRadius, p);
		_DirtyDrawn(rect);
	}
}

void
BView::StrokeTriangle(BPoint pt1, BPoint pt2, BPoint pt3, pattern p)
{
	BPoint points[3] = {pt1, pt2, pt3};
	if (ViewState* scratch = _PrepareDraw()) {
		scratch->canvas->StrokePolygon(scratch->state, points, 3, p);
		_DirtyDrawn(BRect());
	}
}

void
BView::FillTriangle(BPoint pt1, BPoint pt2, BPoint pt3, pattern p)
{
	BPoint points[3] = {pt1, pt2, pt3};
	if (ViewState* scratch = _PrepareDraw()) {
		scratch->canvas->FillPolygon(scratch->state, points, 3, p);
		_DirtyDrawn(BRect());
	}
}

void
BView::BeginLineArray(int32 count)
{
	delete fLineArray;
	fLineArray = new LineArray;
	fLineArray->lines.reserve((size_t)std::max(count, (int32)0));
}

void
BView::AddLine(BPoint start, BPoint end, rgb_color color)
{
	if (fLineArray != nullptr)
		fLineArray->lines.push_back(LineArray::Line{start, end, color});
}

void
BView::EndLineArray()
{
	if (fLineArray == nullptr)
		return;
	LineArray* lines = fLineArray;
	fLineArray = nullptr;
	rgb_color high = fHighColor;
	for (const LineArray::Line& line : lines->lines) {
		fHighColor = line.color;
		StrokeLine(line.start, line.end);
	}
	fHighColor = high;
	delete lines;
}

// #pragma mark - text and bitmaps

void
BView::DrawString(const char* string, escapement_delta* delta)
{
	DrawString(string, string != nullptr ? (int32)strlen(string) : 0, fPenLocation, delta);
}

void
BView::DrawString(const char* string, int32 length, escapement_delta* delta)
{
	DrawString(string, length, fPenLocation, delta);
}

void
BView::DrawString(const char* string, BPoint location, escapement_delta* delta)
{
	DrawString(string, string != nullptr ? (int32)strlen(string) : 0, location, delta);
}

void
BView::DrawString(const char* string, int32 length, BPoint location, escapement_delta*)
{
	if (string == nullptr || length <= 0)
		return;
	length = (int32)strnlen(string, (size_t)length);
	ViewState* scratch = _PrepareDraw();
	if (scratch == nullptr) {
		fPenLocation = BPoint(location.x + fFont.StringWidth(string, length), location.y);
		return;
	}
	float advance = scratch->canvas->DrawString(scratch->state, string, length, location,
	                                            BPrivate::FontDescription(fFont.Description()));
	fPenLocation = BPoint(location.x + advance, location.y);
	_DirtyDrawn(BRect());
}

void
BView::DrawBitmap(const BBitmap* bitmap)
{
	DrawBitmap(bitmap, fPenLocation);
}

void
BView::DrawBitmap(const BBitmap* bitmap, BPoint where)
{
	if (bitmap == nullptr)
		return;
	BRect bounds = bitmap->Bounds();
	DrawBitmap(bitmap, bounds, bounds.OffsetToCopy(where));
}

void
BView::DrawBitmap(const BBitmap* bitmap, BRect destination)
{
	if (bitmap == nullptr)
		return;
	DrawBitmap(bitmap, bitmap->Bounds(), destination);
}

void
BView::DrawBitmap(const BBitmap* bitmap, BRect source, BRect destination)
{
	if (bitmap == nullptr || !bitmap->IsValid())
		return;
	ViewState* scratch = _PrepareDraw();
	if (scratch == nullptr)
		return;
	std::vector<uint8> converted;
	const uint8* bits = BPrivate::BitmapAccess::RGBA32Bits(bitmap, &converted);
	int32 width = bitmap->Bounds().IntegerWidth() + 1;
	int32 height = bitmap->Bounds().IntegerHeight() + 1;
	int32 bytesPerRow = converted.empty() ? bitmap->BytesPerRow() : width * 4;
	scratch->canvas->DrawImage(scratch->state, bits, width, height, bytesPerRow, source,
	                           destination);
	_DirtyDrawn(destination);
}

void
BView::DrawBitmapAsync(const BBitmap* bitmap, BPoint where)
{
	DrawBitmap(bitmap, where);
}
