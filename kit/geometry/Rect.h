// BRect: an axis-aligned rectangle in float coordinates whose right and bottom edges are
// inclusive, as on BeOS: a rectangle from 0 to 9 is 9 units wide and covers 10 pixels.
// Header-only, like BPoint.
#ifndef _RECT_H
#define _RECT_H

#include <algorithm>
#include <cmath>
#include <cstdio>

#include <Point.h>

class BRect
{
public:
	float left;
	float top;
	float right;
	float bottom;

	// The default rectangle is invalid (right < left), so "no rectangle yet" is detectable.
	constexpr BRect() : left(0.0f), top(0.0f), right(-1.0f), bottom(-1.0f) {}
	constexpr BRect(float left, float top, float right, float bottom)
	    : left(left), top(top), right(right), bottom(bottom)
	{}
	constexpr BRect(BPoint leftTop, BPoint rightBottom)
	    : left(leftTop.x), top(leftTop.y), right(rightBottom.x), bottom(rightBottom.y)
	{}

	void Set(float newLeft, float newTop, float newRight, float newBottom)
	{
		left = newLeft;
		top = newTop;
		right = newRight;
		bottom = newBottom;
	}

	void PrintToStream() const
	{
		std::printf("BRect(l:%.1f, t:%.1f, r:%.1f, b:%.1f)\n", left, top, right, bottom);
	}

	constexpr BPoint LeftTop() const { return BPoint(left, top); }
	constexpr BPoint RightBottom() const { return BPoint(right, bottom); }
	constexpr BPoint LeftBottom() const { return BPoint(left, bottom); }
	constexpr BPoint RightTop() const { return BPoint(right, top); }

	void SetLeftTop(BPoint point)
	{
		left = point.x;
		top = point.y;
	}
	void SetRightBottom(BPoint point)
	{
		right = point.x;
		bottom = point.y;
	}
	void SetLeftBottom(BPoint point)
	{
		left = point.x;
		bottom = point.y;
	}
	void SetRightTop(BPoint point)
	{
		right = point.x;
		top = point.y;
	}

	// Positive insets shrink the rectangle on every side; negative ones grow it.
	void InsetBy(float dx, float dy)
	{
		left += dx;
		right -= dx;
		top += dy;
		bottom -= dy;
	}
	void InsetBy(BPoint delta) { InsetBy(delta.x, delta.y); }
	BRect& InsetBySelf(float dx, float dy)
	{
		InsetBy(dx, dy);
		return *this;
	}
	BRect& InsetBySelf(BPoint delta) { return InsetBySelf(delta.x, delta.y); }
	BRect InsetByCopy(float dx, float dy) const
	{
		BRect copy(*this);
		copy.InsetBy(dx, dy);
		return copy;
	}
	BRect InsetByCopy(BPoint delta) const { return InsetByCopy(delta.x, delta.y); }

	void OffsetBy(float dx, float dy)
	{
		left += dx;
		right += dx;
		top += dy;
		bottom += dy;
	}
	void OffsetBy(BPoint delta) { OffsetBy(delta.x, delta.y); }
	BRect& OffsetBySelf(float dx, float dy)
	{
		OffsetBy(dx, dy);
		return *this;
	}
	BRect& OffsetBySelf(BPoint delta) { return OffsetBySelf(delta.x, delta.y); }
	BRect OffsetByCopy(float dx, float dy) const
	{
		BRect copy(*this);
		copy.OffsetBy(dx, dy);
		return copy;
	}
	BRect OffsetByCopy(BPoint delta) const { return OffsetByCopy(delta.x, delta.y); }

	// Moves the left-top corner to (x, y), keeping the size.
	void OffsetTo(float x, float y)
	{
		right = x + (right - left);
		bottom = y + (bottom - top);
		left = x;
		top = y;
	}
	void OffsetTo(BPoint point) { OffsetTo(point.x, point.y); }
	BRect& OffsetToSelf(float x, float y)
	{
		OffsetTo(x, y);
		return *this;
	}
	BRect& OffsetToSelf(BPoint point) { return OffsetToSelf(point.x, point.y); }
	BRect OffsetToCopy(float x, float y) const
	{
		BRect copy(*this);
		copy.OffsetTo(x, y);
		return copy;
	}
	BRect OffsetToCopy(BPoint point) const { return OffsetToCopy(point.x, point.y); }

	constexpr bool operator==(const BRect& other) const
	{
		return left == other.left && top == other.top && right == other.right &&
		       bottom == other.bottom;
	}
	constexpr bool operator!=(const BRect& other) const { return !(*this == other); }

	// Intersection; invalid when the two do not overlap.
	BRect operator&(const BRect& other) const
	{
		return BRect(std::max(left, other.left), std::max(top, other.top),
		             std::min(right, other.right), std::min(bottom, other.bottom));
	}
	// The smallest rectangle that holds both.
	BRect operator|(const BRect& other) const
	{
		return BRect(std::min(left, other.left), std::min(top, other.top),
		             std::max(right, other.right), std::max(bottom, other.bottom));
	}

	constexpr bool IsValid() const { return left <= right && top <= bottom; }
	constexpr float Width() const { return right - left; }
	constexpr float Height() const { return bottom - top; }
	int32 IntegerWidth() const { return (int32)std::ceil(right - left); }
	int32 IntegerHeight() const { return (int32)std::ceil(bottom - top); }

	bool Intersects(BRect other) const
	{
		if (!IsValid() || !other.IsValid())
			return false;
		return !(other.left > right || other.right < left || other.top > bottom ||
		         other.bottom < top);
	}
	constexpr bool Contains(BPoint point) const
	{
		return point.x >= left && point.x <= right && point.y >= top && point.y <= bottom;
	}
	constexpr bool Contains(BRect other) const
	{
		return other.left >= left && other.right <= right && other.top >= top &&
		       other.bottom <= bottom;
	}
};

inline void
BPoint::ConstrainTo(BRect rect)
{
	x = std::max(std::min(x, rect.right), rect.left);
	y = std::max(std::min(y, rect.bottom), rect.top);
}

#endif // _RECT_H
