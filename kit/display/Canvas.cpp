// Shapes and images on a cairo image surface. Shapes are drawn without antialiasing and
// on pixel centres, so that a one-pixel line covers exactly the pixels BeOS would draw,
// end points included.
#include "Canvas.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include <cairo.h>

#include "TextLayout.h"

namespace BPrivate {

struct Canvas::Data
{
	cairo_surface_t* surface = nullptr;
	cairo_t* context = nullptr;
	bool ownsPixels = true;
};

namespace {

void
SetColor(cairo_t* context, rgb_color color, bool opaque, double extraAlpha = 1.0)
{
	double alpha = opaque ? 1.0 : color.alpha / 255.0;
	cairo_set_source_rgba(context, color.red / 255.0, color.green / 255.0, color.blue / 255.0,
	                      alpha * extraAlpha);
}

bool
IsSolid(const pattern& p, uint8 value)
{
	for (uint8 byte : p.data) {
		if (byte != value)
			return false;
	}
	return true;
}

// An 8x8 tile with the high colour where the pattern has a bit and the low colour (or
// nothing) elsewhere.
cairo_pattern_t*
PatternSource(const pattern& p, rgb_color high, rgb_color low, bool lowTransparent)
{
	cairo_surface_t* tile = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 8, 8);
	cairo_surface_flush(tile);
	uint8* pixels = cairo_image_surface_get_data(tile);
	int stride = cairo_image_surface_get_stride(tile);
	auto premultiplied = [](rgb_color color) {
		uint32 a = color.alpha;
		return (a << 24) | ((color.red * a / 255) << 16) | ((color.green * a / 255) << 8) |
		       (color.blue * a / 255);
	};
	for (int y = 0; y < 8; y++) {
		uint32* row = (uint32*)(pixels + y * stride);
		for (int x = 0; x < 8; x++) {
			bool set = (p.data[y] & (0x80 >> x)) != 0;
			row[x] = set ? premultiplied(high) : (lowTransparent ? 0 : premultiplied(low));
		}
	}
	cairo_surface_mark_dirty(tile);
	cairo_pattern_t* source = cairo_pattern_create_for_surface(tile);
	cairo_surface_destroy(tile);
	cairo_pattern_set_extend(source, CAIRO_EXTEND_REPEAT);
	cairo_pattern_set_filter(source, CAIRO_FILTER_NEAREST);
	return source;
}

cairo_operator_t
OperatorFor(drawing_mode mode)
{
	switch (mode) {
	case B_OP_COPY:
		return CAIRO_OPERATOR_SOURCE;
	case B_OP_INVERT:
	case B_OP_SUBTRACT:
		return CAIRO_OPERATOR_DIFFERENCE;
	case B_OP_ADD:
		return CAIRO_OPERATOR_ADD;
	case B_OP_MIN:
		return CAIRO_OPERATOR_DARKEN;
	case B_OP_MAX:
		return CAIRO_OPERATOR_LIGHTEN;
	default:
		return CAIRO_OPERATOR_OVER;
	}
}

} // namespace

Canvas::Canvas(int32 width, int32 height)
    : fData(new Data), fWidth(std::max(width, (int32)1)), fHeight(std::max(height, (int32)1)),
      fOpaque(true)
{
	fData->surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, fWidth, fHeight);
	fData->context = cairo_create(fData->surface);
	cairo_set_source_rgb(fData->context, 1, 1, 1);
	cairo_paint(fData->context);
}

Canvas::Canvas(uint8* bits, int32 width, int32 height, int32 bytesPerRow)
    : fData(new Data), fWidth(width), fHeight(height), fOpaque(false)
{
	fData->ownsPixels = false;
	fData->surface = cairo_image_surface_create_for_data(bits, CAIRO_FORMAT_ARGB32, width, height,
	                                                     bytesPerRow);
	fData->context = cairo_create(fData->surface);
}

Canvas::~Canvas()
{
	cairo_destroy(fData->context);
	cairo_surface_destroy(fData->surface);
	delete fData;
}

bool
Canvas::IsValid() const
{
	return cairo_surface_status(fData->surface) == CAIRO_STATUS_SUCCESS &&
	       cairo_status(fData->context) == CAIRO_STATUS_SUCCESS;
}

uint8*
Canvas::Bits() const
{
	return cairo_image_surface_get_data(fData->surface);
}

int32
Canvas::BytesPerRow() const
{
	return cairo_image_surface_get_stride(fData->surface);
}

bool
Canvas::Resize(int32 width, int32 height)
{
	width = std::max(width, (int32)1);
	height = std::max(height, (int32)1);
	if (!fData->ownsPixels)
		return false;
	if (width == fWidth && height == fHeight)
		return true;
	cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
	if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
		cairo_surface_destroy(surface);
		return false;
	}
	cairo_t* context = cairo_create(surface);
	cairo_set_source_rgb(context, 1, 1, 1);
	cairo_paint(context);
	cairo_set_source_surface(context, fData->surface, 0, 0);
	cairo_paint(context);
	cairo_destroy(fData->context);
	cairo_surface_destroy(fData->surface);
	fData->surface = surface;
	fData->context = context;
	fWidth = width;
	fHeight = height;
	return true;
}

void
Canvas::Flush()
{
	cairo_surface_flush(fData->surface);
}

// Saves the context, clips, and sets the source and operator for the state and pattern.
void*
Canvas::_Begin(const DrawState& state, const pattern& p, bool forText)
{
	cairo_t* context = fData->context;
	cairo_save(context);
	if (state.clip != nullptr) {
		for (int32 i = 0; i < state.clipCount; i++) {
			BRect rect = state.clip[i];
			cairo_rectangle(context, rect.left, rect.top, rect.Width() + 1, rect.Height() + 1);
		}
		cairo_clip(context);
	}
	cairo_set_antialias(context, forText ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
	cairo_translate(context, state.offset.x, state.offset.y);

	rgb_color high = state.high;
	rgb_color low = state.low;
	if (state.mode == B_OP_ERASE)
		high = low;
	bool alphaMode = state.mode == B_OP_ALPHA;
	bool opaque = fOpaque && !alphaMode;
	cairo_set_operator(context, forText && state.mode == B_OP_COPY ? CAIRO_OPERATOR_OVER
	                                                               : OperatorFor(state.mode));
	if (state.mode == B_OP_INVERT) {
		cairo_set_source_rgb(context, 1, 1, 1);
	} else if (IsSolid(p, 0xff) || forText) {
		SetColor(context, high, opaque, state.mode == B_OP_BLEND ? 0.5 : 1.0);
	} else if (IsSolid(p, 0x00)) {
		SetColor(context, low, opaque, state.mode == B_OP_BLEND ? 0.5 : 1.0);
	} else {
		if (opaque) {
			high.alpha = 255;
			low.alpha = 255;
		}
		cairo_pattern_t* source = PatternSource(p, high, low, state.mode == B_OP_OVER);
		cairo_matrix_t matrix;
		cairo_matrix_init_translate(&matrix, state.offset.x, state.offset.y);
		cairo_pattern_set_matrix(source, &matrix);
		cairo_set_source(context, source);
		cairo_pattern_destroy(source);
	}
	return context;
}

void
Canvas::_End(void* context)
{
	cairo_restore((cairo_t*)context);
}

void
Canvas::StrokeLine(const DrawState& state, BPoint from, BPoint to, const pattern& p)
{
	cairo_t* context = (cairo_t*)_Begin(state, p);
	float pen = std::max(state.penSize, 1.0f);
	from.Set(std::round(from.x), std::round(from.y));
	to.Set(std::round(to.x), std::round(to.y));
	if (pen <= 1.0f && (from.x == to.x || from.y == to.y)) {
		// Straight lines cover their end pixels exactly.
		double left = std::min(from.x, to.x);
		double top = std::min(from.y, to.y);
		cairo_rectangle(context, left, top, std::fabs(to.x - from.x) + 1,
		                std::fabs(to.y - from.y) + 1);
		cairo_fill(context);
	} else {
		cairo_set_line_width(context, pen);
		cairo_set_line_cap(context, CAIRO_LINE_CAP_SQUARE);
		cairo_move_to(context, from.x + 0.5, from.y + 0.5);
		cairo_line_to(context, to.x + 0.5, to.y + 0.5);
		cairo_stroke(context);
	}
	_End(context);
}

void
Canvas::StrokeRect(const DrawState& state, BRect rect, const pattern& p)
{
	if (!rect.IsValid())
		return;
	cairo_t* context = (cairo_t*)_Begin(state, p);
	double pen = std::max(std::round(state.penSize), 1.0f);
	double left = std::round(rect.left), top = std::round(rect.top);
	double width = std::round(rect.right) - left + 1, height = std::round(rect.bottom) - top + 1;
	// The pen stays inside the rectangle: four bands, each pen wide.
	cairo_rectangle(context, left, top, width, std::min(pen, height));
	cairo_rectangle(context, left, top + height - std::min(pen, height), width,
	                std::min(pen, height));
	cairo_rectangle(context, left, top, std::min(pen, width), height);
	cairo_rectangle(context, left + width - std::min(pen, width), top, std::min(pen, width),
	                height);
	cairo_set_fill_rule(context, CAIRO_FILL_RULE_WINDING);
	cairo_fill(context);
	_End(context);
}

void
Canvas::FillRect(const DrawState& state, BRect rect, const pattern& p)
{
	if (!rect.IsValid())
		return;
	cairo_t* context = (cairo_t*)_Begin(state, p);
	double left = std::round(rect.left), top = std::round(rect.top);
	cairo_rectangle(context, left, top, std::round(rect.right) - left + 1,
	                std::round(rect.bottom) - top + 1);
	cairo_fill(context);
	_End(context);
}

namespace {

void
EllipsePath(cairo_t* context, BRect rect, double inset)
{
	double width = rect.Width() + 1 - 2 * inset, height = rect.Height() + 1 - 2 * inset;
	if (width <= 0 || height <= 0)
		return;
	cairo_save(context);
	cairo_translate(context, rect.left + inset + width / 2, rect.top + inset + height / 2);
	cairo_scale(context, width / 2, height / 2);
	cairo_arc(context, 0, 0, 1, 0, 2 * M_PI);
	cairo_restore(context);
}

void
RoundRectPath(cairo_t* context, BRect rect, double rx, double ry, double inset)
{
	double left = rect.left + inset, top = rect.top + inset;
	double right = rect.right + 1 - inset, bottom = rect.bottom + 1 - inset;
	rx = std::min(rx, (right - left) / 2);
	ry = std::min(ry, (bottom - top) / 2);
	if (rx <= 0 || ry <= 0) {
		cairo_rectangle(context, left, top, right - left, bottom - top);
		return;
	}
	auto corner = [&](double cx, double cy, double start) {
		cairo_save(context);
		cairo_translate(context, cx, cy);
		cairo_scale(context, rx, ry);
		cairo_arc(context, 0, 0, 1, start, start + M_PI / 2);
		cairo_restore(context);
	};
	cairo_new_sub_path(context);
	corner(right - rx, top + ry, -M_PI / 2);
	corner(right - rx, bottom - ry, 0);
	corner(left + rx, bottom - ry, M_PI / 2);
	corner(left + rx, top + ry, M_PI);
	cairo_close_path(context);
}

} // namespace

void
Canvas::StrokeEllipse(const DrawState& state, BRect rect, const pattern& p)
{
	cairo_t* context = (cairo_t*)_Begin(state, p);
	cairo_set_line_width(context, std::max(state.penSize, 1.0f));
	EllipsePath(context, rect, std::max(state.penSize, 1.0f) / 2);
	cairo_stroke(context);
	_End(context);
}

void
Canvas::FillEllipse(const DrawState& state, BRect rect, const pattern& p)
{
	cairo_t* context = (cairo_t*)_Begin(state, p);
	EllipsePath(context, rect, 0);
	cairo_fill(context);
	_End(context);
}

void
Canvas::StrokeRoundRect(const DrawState& state, BRect rect, float rx, float ry, const pattern& p)
{
	cairo_t* context = (cairo_t*)_Begin(state, p);
	cairo_set_line_width(context, std::max(state.penSize, 1.0f));
	RoundRectPath(context, rect, rx, ry, std::max(state.penSize, 1.0f) / 2);
	cairo_stroke(context);
	_End(context);
}

void
Canvas::FillRoundRect(const DrawState& state, BRect rect, float rx, float ry, const pattern& p)
{
	cairo_t* context = (cairo_t*)_Begin(state, p);
	RoundRectPath(context, rect, rx, ry, 0);
	cairo_fill(context);
	_End(context);
}

void
Canvas::StrokePolygon(const DrawState& state, const BPoint* points, int32 count, const pattern& p)
{
	if (count < 2)
		return;
	cairo_t* context = (cairo_t*)_Begin(state, p);
	cairo_set_line_width(context, std::max(state.penSize, 1.0f));
	cairo_set_line_join(context, CAIRO_LINE_JOIN_MITER);
	for (int32 i = 0; i < count; i++)
		cairo_line_to(context, points[i].x + 0.5, points[i].y + 0.5);
	cairo_close_path(context);
	cairo_stroke(context);
	_End(context);
}

void
Canvas::FillPolygon(const DrawState& state, const BPoint* points, int32 count, const pattern& p)
{
	if (count < 3)
		return;
	cairo_t* context = (cairo_t*)_Begin(state, p);
	for (int32 i = 0; i < count; i++)
		cairo_line_to(context, points[i].x + 0.5, points[i].y + 0.5);
	cairo_close_path(context);
	cairo_fill_preserve(context);
	cairo_set_line_width(context, 1.0);
	cairo_stroke(context);
	_End(context);
}

float
Canvas::DrawString(const DrawState& state, const char* text, int32 length, BPoint baseline,
                   const FontDescription& font)
{
	std::string valid = ValidUtf8(text, length);
	if (valid.empty())
		return 0.0f;
	cairo_t* context = (cairo_t*)_Begin(state, B_SOLID_HIGH, true);
	// The baseline lies under the pixel row baseline.y, as on BeOS.
	cairo_move_to(context, std::round(baseline.x), std::round(baseline.y) + 1);
	float advance = ShowText(context, font, valid);
	_End(context);
	return advance;
}

void
Canvas::DrawImage(const DrawState& state, const uint8* bits, int32 width, int32 height,
                  int32 bytesPerRow, BRect source, BRect destination)
{
	if (bits == nullptr || width <= 0 || height <= 0 || !source.IsValid() ||
	    !destination.IsValid()) {
		return;
	}
	// Cairo wants premultiplied alpha; BeOS bitmaps hold straight alpha.
	cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
	cairo_surface_flush(image);
	uint8* pixels = cairo_image_surface_get_data(image);
	int stride = cairo_image_surface_get_stride(image);
	bool constantAlpha = state.mode == B_OP_ALPHA && state.constantAlpha;
	bool useAlpha = state.mode == B_OP_ALPHA || state.mode == B_OP_OVER;
	for (int32 y = 0; y < height; y++) {
		const uint8* from = bits + y * bytesPerRow;
		uint8* to = pixels + y * stride;
		for (int32 x = 0; x < width; x++) {
			uint32 a = useAlpha ? from[4 * x + 3] : 255;
			if (constantAlpha)
				a = state.high.alpha;
			to[4 * x + 0] = (uint8)(from[4 * x + 0] * a / 255);
			to[4 * x + 1] = (uint8)(from[4 * x + 1] * a / 255);
			to[4 * x + 2] = (uint8)(from[4 * x + 2] * a / 255);
			to[4 * x + 3] = (uint8)a;
		}
	}
	cairo_surface_mark_dirty(image);

	cairo_t* context = (cairo_t*)_Begin(state, B_SOLID_HIGH);
	cairo_set_operator(context, CAIRO_OPERATOR_OVER);
	double scaleX = (destination.Width() + 1) / (source.Width() + 1);
	double scaleY = (destination.Height() + 1) / (source.Height() + 1);
	cairo_rectangle(context, std::round(destination.left), std::round(destination.top),
	                destination.Width() + 1, destination.Height() + 1);
	cairo_clip(context);
	cairo_translate(context, std::round(destination.left), std::round(destination.top));
	cairo_scale(context, scaleX, scaleY);
	cairo_set_source_surface(context, image, -source.left, -source.top);
	cairo_pattern_set_filter(cairo_get_source(context), CAIRO_FILTER_NEAREST);
	cairo_paint(context);
	_End(context);
	cairo_surface_destroy(image);
}

void
Canvas::CopyOut(BRect area, uint8* target, int32 targetBytesPerRow) const
{
	cairo_surface_flush(fData->surface);
	int32 left = std::max((int32)area.left, (int32)0);
	int32 top = std::max((int32)area.top, (int32)0);
	int32 right = std::min((int32)area.right, fWidth - 1);
	int32 bottom = std::min((int32)area.bottom, fHeight - 1);
	if (left > right || top > bottom)
		return;
	const uint8* pixels = Bits();
	int32 stride = BytesPerRow();
	for (int32 y = top; y <= bottom; y++) {
		std::memcpy(target + y * targetBytesPerRow + left * 4, pixels + y * stride + left * 4,
		            (size_t)(right - left + 1) * 4);
	}
}

} // namespace BPrivate
