// BPoint: a position in a two-dimensional float coordinate system, header-only so that
// every kit and program can carry points (in messages, settings) without linking code.
#ifndef _POINT_H
#define _POINT_H

#include <cstdio>

#include <SupportDefs.h>

class BRect;

class BPoint
{
public:
	float x;
	float y;

	constexpr BPoint() : x(0.0f), y(0.0f) {}
	constexpr BPoint(float x, float y) : x(x), y(y) {}

	void Set(float newX, float newY)
	{
		x = newX;
		y = newY;
	}

	// Moves the point to the nearest position inside rect; defined in Rect.h.
	inline void ConstrainTo(BRect rect);

	void PrintToStream() const { std::printf("BPoint(x:%.0f, y:%.0f)\n", x, y); }

	constexpr BPoint operator-() const { return BPoint(-x, -y); }
	constexpr BPoint operator+(const BPoint& other) const
	{
		return BPoint(x + other.x, y + other.y);
	}
	constexpr BPoint operator-(const BPoint& other) const
	{
		return BPoint(x - other.x, y - other.y);
	}
	BPoint& operator+=(const BPoint& other)
	{
		x += other.x;
		y += other.y;
		return *this;
	}
	BPoint& operator-=(const BPoint& other)
	{
		x -= other.x;
		y -= other.y;
		return *this;
	}
	constexpr bool operator==(const BPoint& other) const { return x == other.x && y == other.y; }
	constexpr bool operator!=(const BPoint& other) const { return !(*this == other); }
};

inline constexpr BPoint B_ORIGIN(0.0f, 0.0f);

#include <Rect.h>

#endif // _POINT_H
