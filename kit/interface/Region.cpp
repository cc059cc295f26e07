// BRegion: kept as a list of disjoint pixel rectangles. Excluding a rectangle splits each
// overlapped rectangle into at most four pieces; that is plenty for update and clip areas.
#include <Region.h>

#include <cmath>
#include <cstdio>

BRegion::BRegion()
{}

BRegion::BRegion(const BRegion& region) : fRects(region.fRects)
{}

BRegion::BRegion(BRect rect)
{
	Set(rect);
}

BRegion&
BRegion::operator=(const BRegion& region)
{
	fRects = region.fRects;
	return *this;
}

bool
BRegion::operator==(const BRegion& other) const
{
	BRegion a(*this);
	a.Exclude(&other);
	BRegion b(other);
	b.Exclude(this);
	return a.CountRects() == 0 && b.CountRects() == 0;
}

// Rounds outwards to whole pixels so that pieces of a split never overlap.
BRect
BRegion::_Snap(BRect rect)
{
	return BRect(std::floor(rect.left), std::floor(rect.top), std::ceil(rect.right),
	             std::ceil(rect.bottom));
}

void
BRegion::Set(BRect rect)
{
	fRects.clear();
	Include(rect);
}

BRect
BRegion::Frame() const
{
	if (fRects.empty())
		return BRect();
	BRect frame = fRects[0];
	for (const BRect& rect : fRects)
		frame = frame | rect;
	return frame;
}

BRect
BRegion::RectAt(int32 index) const
{
	if (index < 0 || index >= CountRects())
		return BRect();
	return fRects[index];
}

bool
BRegion::Contains(BPoint point) const
{
	for (const BRect& rect : fRects) {
		if (rect.Contains(point))
			return true;
	}
	return false;
}

bool
BRegion::Intersects(BRect rect) const
{
	for (const BRect& own : fRects) {
		if (own.Intersects(rect))
			return true;
	}
	return false;
}

void
BRegion::OffsetBy(float dx, float dy)
{
	for (BRect& rect : fRects)
		rect.OffsetBy(dx, dy);
}

void
BRegion::Include(BRect rect)
{
	if (!rect.IsValid())
		return;
	rect = _Snap(rect);
	Exclude(rect);
	fRects.push_back(rect);
}

void
BRegion::Include(const BRegion* region)
{
	if (region == nullptr || region == this)
		return;
	for (const BRect& rect : region->fRects)
		Include(rect);
}

void
BRegion::Exclude(BRect cut)
{
	if (!cut.IsValid())
		return;
	cut = _Snap(cut);
	std::vector<BRect> kept;
	kept.reserve(fRects.size() + 4);
	for (const BRect& rect : fRects) {
		if (!rect.Intersects(cut)) {
			kept.push_back(rect);
			continue;
		}
		// Top and bottom bands span the whole width; side pieces fill the middle.
		if (rect.top < cut.top)
			kept.push_back(BRect(rect.left, rect.top, rect.right, cut.top - 1));
		if (rect.bottom > cut.bottom)
			kept.push_back(BRect(rect.left, cut.bottom + 1, rect.right, rect.bottom));
		float top = std::max(rect.top, cut.top);
		float bottom = std::min(rect.bottom, cut.bottom);
		if (rect.left < cut.left)
			kept.push_back(BRect(rect.left, top, cut.left - 1, bottom));
		if (rect.right > cut.right)
			kept.push_back(BRect(cut.right + 1, top, rect.right, bottom));
	}
	fRects.swap(kept);
}

void
BRegion::Exclude(const BRegion* region)
{
	if (region == nullptr)
		return;
	if (region == this) {
		fRects.clear();
		return;
	}
	for (const BRect& rect : region->fRects)
		Exclude(rect);
}

void
BRegion::IntersectWith(const BRegion* region)
{
	if (region == nullptr || region == this)
		return;
	std::vector<BRect> result;
	for (const BRect& own : fRects) {
		for (const BRect& other : region->fRects) {
			BRect piece = own & other;
			if (piece.IsValid())
				result.push_back(piece);
		}
	}
	fRects.swap(result);
}

void
BRegion::PrintToStream() const
{
	BRect frame = Frame();
	std::printf("BRegion(frame: %.0f %.0f %.0f %.0f, %d rects)\n", frame.left, frame.top,
	            frame.right, frame.bottom, (int)fRects.size());
}
