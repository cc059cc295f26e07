// The program's alerts: one "OK" button, an empty title, and for errors and warnings a
// prefix word drawn large and coloured so the kind of trouble shows at a glance.
#include "KVAlert.h"

#include <Alert.h>
#include <String.h>
#include <TextView.h>

namespace {

const float kPrefixSize = 16.0f;
const rgb_color kErrorColor = {255, 0, 0, 255};
const rgb_color kWarningColor = {255, 124, 0, 255};

// Builds "<prefix>\n\n<text>\n" in an alert whose first prefixLength bytes (the prefix
// word with its colon) are styled; the caller shows it. The alert deletes itself.
BAlert*
MakeStyledAlert(const char* prefix, int32 prefixLength, const char* text, alert_type type,
                const rgb_color& color)
{
	BString body(prefix);
	body << "\n\n" << (text != nullptr ? text : "") << "\n";
	BAlert* alert = new BAlert("", body.String(), "OK", nullptr, nullptr, B_WIDTH_AS_USUAL, type);
	BTextView* view = alert->TextView();
	view->SetStylable(true);
	BFont font;
	view->GetFont(&font);
	font.SetSize(kPrefixSize);
	view->SetFontAndColor(0, prefixLength, &font, B_FONT_ALL, &color);
	return alert;
}

} // namespace

void
AlertError(const char* text)
{
	MakeStyledAlert("ERROR:", 6, text, B_STOP_ALERT, kErrorColor)->Go();
}

void
AlertWarning(const char* text)
{
	MakeStyledAlert("WARNING:", 8, text, B_WARNING_ALERT, kWarningColor)->Go(nullptr);
}

void
AlertMsg(const char* text)
{
	BAlert* alert = new BAlert("", text != nullptr ? text : "", "OK", nullptr, nullptr,
	                           B_WIDTH_AS_USUAL, B_INFO_ALERT);
	alert->Go(nullptr);
}
