// BTextView: a block of text laid out in a text rectangle, with word wrap, optional
// selection and, when stylable, a font and colour per character range. Editing is not
// supported: the views that use it show text.
#ifndef _TEXT_VIEW_H
#define _TEXT_VIEW_H

#include <string>
#include <vector>

#include <View.h>

class BTextView : public BView
{
public:
	// textRect is in the view's coordinates. The text starts in the view's font
	// (be_plain_font) and black, or in initialFont and initialColor when given.
	BTextView(BRect frame, const char* name, BRect textRect, uint32 resizingMode, uint32 flags);
	BTextView(BRect frame, const char* name, BRect textRect, const BFont* initialFont,
	          const rgb_color* initialColor, uint32 resizingMode, uint32 flags);
	virtual ~BTextView();

	virtual void Draw(BRect updateRect);
	virtual void MouseDown(BPoint where);
	virtual void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage);
	virtual void MouseUp(BPoint where);
	virtual void FrameResized(float width, float height);

	// The text is copied; the whole text takes the style that offset 0 had.
	void SetText(const char* text);
	void SetText(const char* text, int32 length);
	const char* Text() const { return fText.c_str(); }
	int32 TextLength() const { return (int32)fText.size(); }

	void SetTextRect(BRect rect);
	BRect TextRect() const { return fTextRect; }
	void SetAlignment(alignment flag);
	alignment Alignment() const { return fAlignment; }
	void SetWordWrap(bool wrap);
	bool DoesWordWrap() const { return fWordWrap; }
	void MakeEditable(bool editable = true) { fEditable = editable; }
	bool IsEditable() const { return fEditable; }
	void MakeSelectable(bool selectable = true);
	bool IsSelectable() const { return fSelectable; }
	// A text view that is not stylable has one font and colour for all its text.
	void SetStylable(bool stylable) { fStylable = stylable; }
	bool IsStylable() const { return fStylable; }

	// The properties of font named by mode (B_FONT_*), and color when not null, for the
	// bytes start to end (the whole text when not stylable), or for the selection.
	void SetFontAndColor(const BFont* font, uint32 mode = B_FONT_ALL,
	                     const rgb_color* color = nullptr);
	void SetFontAndColor(int32 start, int32 end, const BFont* font, uint32 mode = B_FONT_ALL,
	                     const rgb_color* color = nullptr);
	void GetFontAndColor(int32 offset, BFont* font, rgb_color* color = nullptr) const;

	void Select(int32 start, int32 end);
	void GetSelection(int32* start, int32* end) const;

	// Lines as laid out in the text rectangle: a line break starts a new line, and so
	// does word wrap.
	int32 CountLines() const { return (int32)fLines.size(); }
	int32 LineAt(int32 offset) const;
	float LineHeight(int32 lineNumber = 0) const;
	float TextHeight(int32 startLine, int32 endLine) const;
	// The byte offset nearest to point (view coordinates).
	int32 OffsetAt(BPoint point) const;

private:
	struct StyleRun
	{
		int32 offset;
		BFont font;
		rgb_color color;
	};

	struct Line
	{
		int32 start;
		int32 end;
		float top;
		float ascent;
		float descent;
		float leading;
	};

	void _Init(BRect textRect, const BFont* font, const rgb_color* color);
	size_t _RunAt(int32 offset) const;
	void _SplitRunAt(int32 offset);
	void _MergeRuns();
	float _Width(int32 start, int32 end) const;
	int32 _FitLine(int32 start, int32 end) const;
	void _AddLine(int32 start, int32 end, float top);
	void _Layout();
	float _LineLeft(const Line& line) const;
	void _DrawLine(const Line& line);
	void _DrawSelection(const Line& line);

	std::string fText;
	std::vector<StyleRun> fRuns;
	std::vector<Line> fLines;
	BRect fTextRect;
	alignment fAlignment;
	int32 fSelStart;
	int32 fSelEnd;
	int32 fAnchor;
	bool fWordWrap;
	bool fEditable;
	bool fSelectable;
	bool fStylable;
	bool fTracking;
};

#endif // _TEXT_VIEW_H
