// The Netscape bookmark file as browsers write it: a <DL> of <DT> entries, <H3> for a
// folder followed by its own <DL>, <A HREF> for a link. Text and attribute values are
// escaped; the file declares UTF-8.
#include "HtmlWriter.h"

namespace {

const char* const kHeader = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
                            "<!-- This file was written by kvbookmarks. -->\n"
                            "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; "
                            "charset=UTF-8\">\n"
                            "<TITLE>Bookmarks</TITLE>\n"
                            "<H1>Bookmarks</H1>\n"
                            "<DL><p>\n";

std::string
Escape(const char* text)
{
	std::string escaped;
	for (const char* c = text; *c != '\0'; c++) {
		switch (*c) {
		case '&':
			escaped += "&amp;";
			break;
		case '<':
			escaped += "&lt;";
			break;
		case '>':
			escaped += "&gt;";
			break;
		case '"':
			escaped += "&quot;";
			break;
		default:
			escaped += *c;
		}
	}
	return escaped;
}

void
AppendLink(const KVSlotView& slot, int32 number, std::string* html)
{
	*html += "        <DT><A HREF=\"" + Escape(slot.url.String()) + "\"";
	if (!slot.keywords.IsEmpty())
		*html += " SHORTCUTURL=\"" + Escape(slot.keywords.String()) + "\"";
	*html += " KESTROVANE_SLOT=\"" + std::to_string(number) + "\">" + Escape(slot.name.String()) +
	         "</A>\n";
}

} // namespace

std::string
FormatHtmlBookmarks(const KVStoreView& store)
{
	std::string html = kHeader;
	for (int32 i = 0; i < kFolders; i++) {
		const KVFolderView& folder = store.folders[i];
		html += "    <DT><H3 KESTROVANE_FOLDER=\"" + std::to_string(i) + "\">" +
		        Escape(folder.name.String()) + "</H3>\n    <DL><p>\n";
		for (int32 slot = 0; slot < kSlots; slot++) {
			const KVSlotView& view = folder.slots[slot];
			if (view.bookmark && !view.url.IsEmpty())
				AppendLink(view, slot, &html);
		}
		html += "    </DL><p>\n";
	}
	html += "</DL><p>\n";
	return html;
}
