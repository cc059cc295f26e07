// BTextView: a block of text laid out in a text rectangle, with word wrap, selection,
// editing from the keyboard and the mouse, the clipboard and, when stylable, a font and
// colour per character range. The text is bytes: invalid UTF-8 is kept and shown, and the
// caret moves over whole characters.
#ifndef _TEXT_VIEW_H
#define _TEXT_VIEW_H

#include <string>
#include <vector>

#include <View.h>

class BClipboard;

// A style starting at offset; the arrays handed to Insert() are not used for now: inserted
// text takes the style of the text before it.
struct text_run
{
	int32 offset;
	BFont font;
	rgb_color color;
};

struct text_run_array
{
	int32 count;
	text_run runs[1];
};

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
	virtual void KeyDown(const char* bytes, int32 numBytes);
	// B_CUT, B_COPY, B_PASTE (the program's clipboard) and B_SELECT_ALL.
	virtual void MessageReceived(BMessage* message);
	virtual void MakeFocus(bool focus = true);
	virtual void WindowActivated(bool active);

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
	void MakeEditable(bool editable = true);
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
	virtual void SelectAll();

	// Editing by the program. Insert() puts the text at the selection's start (or at
	// offset) and leaves the selection alone; Delete() removes the selection (or the
	// bytes start to finish). Both respect MaxBytes(), cutting at a character boundary.
	void Insert(const char* text, const text_run_array* runs = nullptr);
	void Insert(const char* text, int32 length, const text_run_array* runs = nullptr);
	void Insert(int32 offset, const char* text, int32 length, const text_run_array* runs = nullptr);
	void Delete();
	void Delete(int32 start, int32 finish);

	// The clipboard holds "text/plain" as B_MIME_TYPE data without a closing NUL; a
	// paste also takes text that ends in one NUL.
	virtual void Cut(BClipboard* clipboard);
	virtual void Copy(BClipboard* clipboard);
	virtual void Paste(BClipboard* clipboard);

	// The most bytes that typing, pasting and Insert() may make the text hold.
	void SetMaxBytes(int32 max);
	int32 MaxBytes() const { return fMaxBytes; }
	// Characters (Unicode code points) that typing and pasting refuse.
	void DisallowChar(uint32 character);
	void AllowChar(uint32 character);

	uint8 ByteAt(int32 offset) const;
	// Copies length bytes from offset and a closing NUL: buffer holds length + 1 bytes.
	void GetText(int32 offset, int32 length, char* buffer) const;
	// The top-left of the character at offset (view coordinates), and its line's height.
	BPoint PointAt(int32 offset, float* height = nullptr) const;
	// The word around offset: letters, digits and any non-ASCII character form words.
	virtual void FindWord(int32 offset, int32* start, int32* end);
	int32 CurrentLine() const { return LineAt(fSelStart); }
	// Scrolls the view so that the character at offset (the caret) can be seen.
	void ScrollToOffset(int32 offset);
	void ScrollToSelection();

	// Lines as laid out in the text rectangle: a line break starts a new line, and so
	// does word wrap.
	int32 CountLines() const { return (int32)fLines.size(); }
	int32 LineAt(int32 offset) const;
	float LineHeight(int32 lineNumber = 0) const;
	float LineWidth(int32 lineNumber = 0) const;
	float TextHeight(int32 startLine, int32 endLine) const;
	// The byte offset nearest to point (view coordinates).
	int32 OffsetAt(BPoint point) const;

protected:
	// Every change of the text goes through these two (SetText excepted): a derived
	// class may filter the text or watch changes, and must call the inherited version.
	virtual void InsertText(const char* text, int32 length, int32 offset,
	                        const text_run_array* runs);
	virtual void DeleteText(int32 fromOffset, int32 toOffset);

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
	void _LayoutFrom(int32 start, float top, const std::vector<Line>* old, int32 changeEnd,
	                 int32 delta);
	void _Relayout(int32 changeStart, int32 oldChangeEnd, int32 delta);
	float _LineLeft(const Line& line) const;
	void _DrawLine(const Line& line);
	void _DrawSelection(const Line& line);
	void _DrawCaret();
	bool _CaretShown() const;
	int32 _LineEnd(const Line& line) const;
	float _TextWidth() const;

	// Editing helpers (TextViewEditing.cpp).
	uint32 _Modifiers() const;
	int32 _NextChar(int32 offset) const;
	int32 _PreviousChar(int32 offset) const;
	int32 _FitMaxBytes(const char* text, int32 length, int32 replaced) const;
	void _Replace(int32 start, int32 end, const char* text, int32 length);
	void _Type(const char* bytes, int32 numBytes);
	void _DeleteBackward();
	void _DeleteForward();
	bool _MoveCaret(char key, bool extend);
	int32 _VerticalTarget(int32 offset, int32 lines) const;
	void _SetCaret(int32 caret, bool extend);
	std::string _Filtered(const char* text, int32 length) const;

	std::string fText;
	std::vector<StyleRun> fRuns;
	std::vector<Line> fLines;
	BRect fTextRect;
	alignment fAlignment;
	int32 fSelStart;
	int32 fSelEnd;
	int32 fAnchor;
	int32 fCaret;
	int32 fMaxBytes;
	std::vector<uint32> fDisallowed;
	bool fWordWrap;
	bool fEditable;
	bool fSelectable;
	bool fStylable;
	bool fTracking;
};

#endif // _TEXT_VIEW_H
