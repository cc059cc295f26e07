// The link view without a display: what kind a URL is and how it is stored, the program
// it launches and with which arguments, the warning when there is none, and the files a
// drop makes (type, attributes, and the names and files it refuses).
#include <gtest/gtest.h>

#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include <Entry.h>
#include <MenuItem.h>
#include <PopUpMenu.h>

#include "WidgetTestSupport.h"
#include "support/TestSupport.h"
#include "widgets/KVLinkView.h"

using namespace kvtest;

namespace {

const BRect kFrame(0, 0, 200, 16);

class LinkViewTest : public testing::Test
{
protected:
	// Alerts without a display print on standard error instead of waiting for a click.
	ScopedEnv fNoDisplay{"DISPLAY", nullptr};
};

std::string
Attribute(const std::string& path, const char* name)
{
	std::string value;
	if (!GetXattr(path, std::string("user.") + name, &value))
		return "<missing>";
	return value;
}

} // namespace

TEST_F(LinkViewTest, KindsAndStoredFormsOfURLs)
{
	struct Case
	{
		const char* url;
		kv_link_kind kind;
		const char* stored;
		const char* important;
		bool enabled;
	};
	const Case cases[] = {
	        {"http://example.org/", KV_LINK_WEB, "http://example.org/", "http://example.org/",
	         true},
	        {"file:///boot/home", KV_LINK_WEB, "file:///boot/home", "file:///boot/home", true},
	        {"ftp://ftp.example.org", KV_LINK_FTP, "ftp://ftp.example.org", "ftp://ftp.example.org",
	         true},
	        {"mailto:me@example.org", KV_LINK_EMAIL, "mailto:me@example.org", "me@example.org",
	         true},
	        // An address without a scheme becomes a mail link.
	        {"me@example.org", KV_LINK_EMAIL, "mailto:me@example.org", "me@example.org", true},
	        // Web and FTP links win over an at sign.
	        {"http://user@example.org", KV_LINK_WEB, "http://user@example.org",
	         "http://user@example.org", true},
	        // The prefixes are case-sensitive; an unknown scheme disables the link.
	        {"HTTP://example.org", KV_LINK_OTHER, "HTTP://example.org", "HTTP://example.org",
	         false},
	        {"https://example.org", KV_LINK_OTHER, "https://example.org", "https://example.org",
	         false},
	        {"", KV_LINK_OTHER, "", "", false},
	};
	for (const Case& c : cases) {
		KVLinkView view(kFrame, "link", "Label", c.url);
		EXPECT_EQ(view.Kind(), c.kind) << c.url;
		EXPECT_STREQ(view.URL(), c.stored) << c.url;
		EXPECT_STREQ(view.GetImportantURL().String(), c.important) << c.url;
		EXPECT_EQ(view.IsEnabled(), c.enabled) << c.url;
	}
	KVLinkView view(kFrame, "link", "Label", nullptr);
	EXPECT_FALSE(view.IsEnabled());
	// A second SetURL with a mail address keeps a single prefix.
	view.SetURL("mailto:you@example.org");
	EXPECT_STREQ(view.URL(), "mailto:you@example.org");
}

TEST_F(LinkViewTest, LaunchStartsThePreferredProgramWithTheURLAsItsOneArgument)
{
	StandInPrograms programs;
	struct Case
	{
		const char* url;
		const char* kind;
		const char* argument;
	};
	const Case cases[] = {
	        {"http://example.org/a b?c=d&e", "html", "http://example.org/a b?c=d&e"},
	        {"ftp://ftp.example.org/pub", "ftp", "ftp://ftp.example.org/pub"},
	        // A mail link is launched in its full form, with "mailto:".
	        {"me@example.org", "email", "mailto:me@example.org"},
	};
	for (const Case& c : cases) {
		KVLinkView view(kFrame, "link", "Label", c.url);
		EXPECT_EQ(view.LaunchURL(), B_OK) << c.url;
		EXPECT_EQ(programs.WaitForArguments(c.kind), std::vector<std::string>{c.argument}) << c.url;
	}
	// A link of no known kind launches nothing.
	KVLinkView other(kFrame, "link", "Label", "gopher://example.org");
	EXPECT_NE(other.LaunchURL(), B_OK);
}

TEST_F(LinkViewTest, ContextMenuNamesTheProgramThatWouldOpenTheLink)
{
	StandInPrograms programs({"ftp"});
	struct Case
	{
		const char* url;
		const char* first;
	};
	const Case cases[] = {
	        {"http://example.org", "Open this link using html.sh"},
	        {"mailto:me@example.org", "Send e-mail to this address using email.sh"},
	        // No program for FTP links: only the copy item.
	        {"ftp://example.org", nullptr},
	};
	for (const Case& c : cases) {
		KVLinkView view(kFrame, "link", "Label", c.url);
		std::unique_ptr<BPopUpMenu> menu(view.CreatePopupMenu());
		int32 launchItems = c.first != nullptr ? 1 : 0;
		ASSERT_EQ(menu->CountItems(), launchItems + 1) << c.url;
		if (c.first != nullptr) {
			EXPECT_STREQ(menu->ItemAt(0)->Label(), c.first);
		}
		EXPECT_STREQ(menu->ItemAt(launchItems)->Label(), "Copy this link to the clipboard");
	}
}

TEST_F(LinkViewTest, WithoutAProgramTheKindsWarningIsShown)
{
	StandInPrograms programs({"html", "email", "ftp"});
	struct Case
	{
		const char* url;
		const char* title;
		const char* text;
	};
	const Case cases[] = {
	        {"http://example.org", "Web Browser Warning",
	         "There is no web browser on your machine that is configured as the default "
	         "program to view web pages."},
	        {"mailto:me@example.org", "E-mail Warning",
	         "There is no e-mail program on your machine that is configured as the default "
	         "program to send e-mail."},
	        {"ftp://example.org", "FTP Warning",
	         "There is no FTP client on your machine that is configured as the default program "
	         "to connect to an FTP server."},
	};
	for (const Case& c : cases) {
		KVLinkView view(kFrame, "link", "Label", c.url);
		testing::internal::CaptureStderr();
		status_t status = view.LaunchURL();
		std::string shown = testing::internal::GetCapturedStderr();
		EXPECT_NE(status, B_OK);
		EXPECT_NE(shown.find(c.title), std::string::npos) << shown;
		EXPECT_NE(shown.find(c.text), std::string::npos) << shown;
	}
}

TEST(LinkViewNames, SafeFileNamesAndGrabPoints)
{
	EXPECT_STREQ(KVLinkView::SafeFileName("My link", "bookmark").String(), "My link");
	EXPECT_STREQ(KVLinkView::SafeFileName("a/b/../c", "bookmark").String(), "a-b-..-c");
	EXPECT_STREQ(KVLinkView::SafeFileName("/", "bookmark").String(), "-");
	for (const char* unusable : {"", ".", "..", (const char*)nullptr})
		EXPECT_STREQ(KVLinkView::SafeFileName(unusable, "bookmark").String(), "bookmark");
	// Long names are cut to 255 bytes, never inside a character.
	std::string longName(254, 'x');
	longName += "éé";
	BString cut = KVLinkView::SafeFileName(longName.c_str(), "bookmark");
	EXPECT_EQ(cut.Length(), 254);

	EXPECT_FLOAT_EQ(KVLinkView::DragGrabX(50, 100, 140), 70);
	EXPECT_FLOAT_EQ(KVLinkView::DragGrabX(100, 100, 140), 140);
	// An empty label has a hit rectangle without width: no division by zero.
	EXPECT_FLOAT_EQ(KVLinkView::DragGrabX(3, 0, 20), 0);
	EXPECT_FLOAT_EQ(KVLinkView::DragGrabX(500, 10, 20), 20);
}

class LinkFileTest : public LinkViewTest
{
protected:
	void SetUp() override { ASSERT_EQ(get_ref_for_path(fDir.Path().c_str(), &fRef), B_OK); }

	std::string Make(const char* name)
	{
		std::string path = fDir.Sub(name);
		WriteFile(path, "");
		return path;
	}

	TempDir fDir{"kvlinkfile"};
	entry_ref fRef;
};

TEST_F(LinkFileTest, ADropMakesABookmarkOrPersonFileWithTypeAndAttributes)
{
	KVLinkView web(kFrame, "link", "Example site", "http://example.org/");
	web.AddAttribute("META:keyw", "news");
	std::string bookmark = Make("Example site");
	ASSERT_EQ(web.WriteLinkFile(fRef, "Example site"), B_OK);
	EXPECT_EQ(Attribute(bookmark, "mime_type"), "application/x-vnd.Be-bookmark");
	EXPECT_EQ(Attribute(bookmark, "META:title"), std::string("Example site", 13));
	EXPECT_EQ(Attribute(bookmark, "META:url"), std::string("http://example.org/", 20));
	EXPECT_EQ(Attribute(bookmark, "META:keyw"), std::string("news", 5));
	EXPECT_EQ(ReadFile(bookmark), "");

	KVLinkView mail(kFrame, "link", "Me", "me@example.org");
	std::string person = Make("Me");
	ASSERT_EQ(mail.WriteLinkFile(fRef, "Me"), B_OK);
	EXPECT_EQ(Attribute(person, "mime_type"), "application/x-person");
	EXPECT_EQ(Attribute(person, "META:name"), std::string("Me", 3));
	EXPECT_EQ(Attribute(person, "META:email"), std::string("me@example.org", 15));
	EXPECT_EQ(Attribute(person, "META:url"), "<missing>");
}

TEST_F(LinkFileTest, ADropNeverWritesIntoSomethingThatWasThereOrOutsideTheDirectory)
{
	KVLinkView web(kFrame, "link", "Example", "http://example.org/");
	// A file with contents or attributes of its own is someone's file.
	WriteFile(fDir.Sub("full"), "data");
	EXPECT_NE(web.WriteLinkFile(fRef, "full"), B_OK);
	EXPECT_EQ(Attribute(fDir.Sub("full"), "META:url"), "<missing>");
	std::string tagged = Make("tagged");
	SetXattr(tagged, "user.META:url", "http://old.example.org");
	EXPECT_NE(web.WriteLinkFile(fRef, "tagged"), B_OK);
	EXPECT_EQ(Attribute(tagged, "META:url"), "http://old.example.org");

	// A link is never followed, not even to an empty file.
	TempDir elsewhere("kvlinkother");
	std::string victim = elsewhere.Sub("victim");
	WriteFile(victim, "");
	ASSERT_EQ(symlink(victim.c_str(), fDir.Sub("link").c_str()), 0);
	EXPECT_EQ(web.WriteLinkFile(fRef, "link"), B_NOT_ALLOWED);
	EXPECT_TRUE(ListXattrs(victim).empty());

	// Names that are not one entry of the directory, a directory and a missing file.
	Make("x");
	for (const char* name : {"", ".", "..", "../x", "sub/x", "/x"})
		EXPECT_NE(web.WriteLinkFile(fRef, name), B_OK) << name;
	EXPECT_TRUE(ListXattrs(fDir.Sub("x")).empty());
	mkdir(fDir.Sub("folder").c_str(), 0755);
	EXPECT_NE(web.WriteLinkFile(fRef, "folder"), B_OK);
	EXPECT_EQ(web.WriteLinkFile(fRef, "missing"), B_ENTRY_NOT_FOUND);
	EXPECT_NE(access(fDir.Sub("missing").c_str(), F_OK), 0);
}
