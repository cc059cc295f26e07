// BRegion: an area made of non-overlapping rectangles, used for clipping and updates.
// Rectangles are in integer pixel coordinates with inclusive edges, as BRect on BeOS.
#ifndef _REGION_H
#define _REGION_H

#include <vector>

#include <Rect.h>

class BRegion
{
public:
	BRegion();
	BRegion(const BRegion& region);
	BRegion(BRect rect);
	BRegion& operator=(const BRegion& region);
	bool operator==(const BRegion& other) const;

	void Set(BRect rect);
	void MakeEmpty() { fRects.clear(); }
	BRect Frame() const;
	int32 CountRects() const { return (int32)fRects.size(); }
	BRect RectAt(int32 index) const;
	bool Contains(BPoint point) const;
	bool Intersects(BRect rect) const;
	void OffsetBy(float dx, float dy);
	void OffsetBy(BPoint delta) { OffsetBy(delta.x, delta.y); }

	void Include(BRect rect);
	void Include(const BRegion* region);
	void Exclude(BRect rect);
	void Exclude(const BRegion* region);
	void IntersectWith(const BRegion* region);

	void PrintToStream() const;

private:
	static BRect _Snap(BRect rect);

	std::vector<BRect> fRects;
};

#endif // _REGION_H
