// What a drag offers to other programs, and the file:// URIs that direct-save targets
// hand back: checked without a display.
#include <gtest/gtest.h>

#include <AppDefs.h>
#include <Message.h>
#include <TypeConstants.h>

#include "Xdnd.h"

using BPrivate::kUriOk;
using BPrivate::kUriUnusable;
using BPrivate::ParseFileUri;

TEST(XdndDataTest, FileUrisNameADirectoryAndAFileOnThisHost)
{
	std::string directory, name;
	ASSERT_EQ(ParseFileUri("file:///tmp/a%20b/My%20link", "box", &directory, &name), kUriOk);
	EXPECT_EQ(directory, "/tmp/a b");
	EXPECT_EQ(name, "My link");
	ASSERT_EQ(ParseFileUri("file://box/srv/%C3%A9t%c3%A9\r\n", "box", &directory, &name), kUriOk);
	EXPECT_EQ(directory, "/srv");
	EXPECT_EQ(name, "\xc3\xa9t\xc3\xa9");
	ASSERT_EQ(ParseFileUri("file://localhost/top", "box", &directory, &name), kUriOk);
	EXPECT_EQ(directory, "/");
	EXPECT_EQ(name, "top");
}

TEST(XdndDataTest, UnusableUrisAreRefused)
{
	const char* bad[] = {
	        "http://box/tmp/x",       // another scheme
	        "file://elsewhere/tmp/x", // another host
	        "file:relative/x",        "file://",         "file:///tmp/",      "file:///tmp/..",
	        "file:///tmp/a%2Fb", // an escaped slash would move the file elsewhere
	        "file:///tmp/%zz",        "file:///tmp/x%2", "file:///tmp/a%00b", // NUL cuts the path
	};
	for (const char* uri : bad) {
		std::string directory = "unchanged", name = "unchanged";
		EXPECT_EQ(ParseFileUri(uri, "box", &directory, &name), kUriUnusable) << uri;
	}
	std::string directory, name;
	std::string withNul("file:///tmp/a\0b", 15);
	EXPECT_EQ(ParseFileUri(withNul, "box", &directory, &name), kUriUnusable);
}

TEST(XdndDataTest, OffersTextWithoutOneNulAndDirectSaveOnlyForCopyTargets)
{
	BMessage message(B_MIME_DATA);
	message.AddInt32("be:actions", B_COPY_TARGET);
	message.AddString("be:filetypes", "application/x-person");
	message.AddString("be:clip_name", "Ann");
	const char text[] = "ann@example.org\0"; // two NULs: only the last goes
	message.AddData("text/plain", B_MIME_TYPE, text, sizeof(text));
	BPrivate::DragOffer offer = BPrivate::OfferFor(message);
	EXPECT_TRUE(offer.hasText);
	EXPECT_EQ(offer.text, std::string("ann@example.org\0", 16));
	EXPECT_TRUE(offer.directSave);
	EXPECT_EQ(offer.clipName, "Ann");

	BMessage plain(B_MIME_DATA);
	plain.AddString("be:filetypes", "application/x-person");
	plain.AddString("be:clip_name", "Ann");
	offer = BPrivate::OfferFor(plain);
	EXPECT_FALSE(offer.hasText);
	EXPECT_FALSE(offer.directSave);
}
