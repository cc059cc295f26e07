// Bookmark items and folder menus on their own: labels, the message of a slot, the
// reading rule, and the keypad in an open menu.
#include "LiveStoreSupport.h"

#include "store/KVItem.h"
#include "store/KVMenu.h"

#include <KVConstants.h>
#include <KVSettings.h>

#include <Autolock.h>
#include <Message.h>
#include <Path.h>
#include <SeparatorItem.h>

#include <gtest/gtest.h>

namespace kvtest {
namespace {

class Recorder : public BLooper
{
public:
	Recorder() : BLooper("item recorder") {}
	void MessageReceived(BMessage* message) override
	{
		BAutolock lock(fLock);
		fMessages.push_back(*message);
	}
	std::vector<BMessage> Messages()
	{
		BAutolock lock(fLock);
		return fMessages;
	}

private:
	BLocker fLock;
	std::vector<BMessage> fMessages;
};

class ItemTest : public ::testing::Test
{
protected:
	void SetUp() override
	{
		fSettings = new KVSettings(BPath(fDir.Sub("settings").c_str()));
		fSettings->SetShowURL(false);
		gSettings = fSettings;
		fRecorder = new Recorder;
		fRecorder->Run();
	}
	void TearDown() override
	{
		if (fRecorder->Lock())
			fRecorder->Quit();
		gSettings = nullptr;
		delete fSettings;
	}
	std::string Bookmark(const std::string& leaf, const std::string& url)
	{
		std::string path = fDir.Sub(leaf);
		Shell(BookmarkCommand(path, url));
		return path;
	}

	TempDir fDir{"kvitem"};
	KVSettings* fSettings = nullptr;
	Recorder* fRecorder = nullptr;
};

TEST_F(ItemTest, LabelsFollowStateNameAndTheShowUrlOption)
{
	KVItem item(fRecorder, 3, 4);
	EXPECT_STREQ("Add Bookmark Here", item.MenuItem()->Label());
	ASSERT_TRUE(item.SetFile(Bookmark("2 - Search", std::string(60, 'u')).c_str()));
	EXPECT_STREQ("Add Bookmark Here", item.MenuItem()->Label());
	item.SetValid(true);
	EXPECT_STREQ("2 - Search", item.MenuItem()->Label());
	EXPECT_EQ(KVFolder[3], item.MenuItem()->Message()->what);

	// A changed setting shows only after UpdateItem, not after a repeated SetValid.
	fSettings->SetShowURL(true);
	item.SetValid(true);
	EXPECT_STREQ("2 - Search", item.MenuItem()->Label());
	item.UpdateItem();
	EXPECT_EQ("2 - Search [" + std::string(46, 'u') + "....]", item.MenuItem()->Label());

	item.SetUrl("");
	item.UpdateItem();
	EXPECT_STREQ("2 - Search", item.MenuItem()->Label());

	item.SetValid(false);
	item.UpdateItem();
	EXPECT_STREQ("Add Bookmark Here", item.MenuItem()->Label());
	EXPECT_EQ(uint32(kMsgAddBookmarkHere), item.MenuItem()->Message()->what);
	EXPECT_STREQ("", item.Name());
	delete item.MenuItem();
}

TEST_F(ItemTest, RefreshingALabelDoesNotGrowTheMessage)
{
	KVItem item(fRecorder, 1, 1);
	ASSERT_TRUE(item.SetFile(Bookmark("0 - Home", "http://h").c_str()));
	item.SetValid(true);
	for (int i = 0; i < 100; i++)
		item.UpdateItem();
	type_code type;
	int32 count = 0;
	ASSERT_EQ(B_OK, item.MenuItem()->Message()->GetInfo("folder", &type, &count));
	EXPECT_EQ(1, count);
	delete item.MenuItem();
}

TEST_F(ItemTest, ReadingRuleNeedsTypeUrlAndKeywords)
{
	KVItem item(fRecorder, 1, 1);
	std::string noKeywords = fDir.Sub("0 - NoKeyw");
	Shell("touch " + Quote(noKeywords) +
	      " && setfattr -n user.mime_type -v "
	      "Application/X-Vnd.Be-Bookmark " +
	      Quote(noKeywords) + " && setfattr -n user.META:url -v x " + Quote(noKeywords));
	EXPECT_FALSE(item.SetFile(noKeywords.c_str()));
	EXPECT_FALSE(item.SetFile(fDir.Sub("missing").c_str()));

	// A value written without its NUL reads like one written with it.
	std::string mixedCase = Bookmark("0 - Case", "http://x");
	ASSERT_TRUE(SetXattr(mixedCase, "user.META:url", std::string("http://y\0", 9)));
	ASSERT_TRUE(SetXattr(mixedCase, "user.mime_type", "APPLICATION/x-vnd.be-BOOKMARK"));
	ASSERT_TRUE(item.SetFile(mixedCase.c_str()));
	EXPECT_STREQ("http://y", item.Url());
	EXPECT_STREQ("Case", item.Name());
	delete item.MenuItem();
}

// Opens KVMenu's key handling to the test.
class TestMenu : public KVMenu
{
public:
	TestMenu() : KVMenu("", false, false, B_ITEMS_IN_COLUMN) {}
	using KVMenu::HandleKey;
};

TEST_F(ItemTest, KeypadDigitsChooseBookmarksAndEscapeCloses)
{
	TestMenu* menu = new TestMenu;
	menu->AddItem(new KVTitleItem("2 - Work", nullptr, 0, 0));
	menu->AddSeparatorItem();
	KVItem* items[3] = {new KVItem(fRecorder, 1, 3), new KVItem(fRecorder, 2, 3),
	                    new KVItem(fRecorder, 3, 3)};
	for (KVItem* item : items)
		menu->AddItem(item->MenuItem());
	ASSERT_TRUE(items[0]->SetFile(Bookmark("0 - One", "http://1").c_str()));
	items[0]->SetValid(true);
	ASSERT_TRUE(items[2]->SetFile(Bookmark("2 - Three", "http://3").c_str()));
	items[2]->SetValid(true);

	// Keypad 1, the main row's 2, arrows and Return: nothing, the menu stays open.
	for (int32 key : {0x58, 0x13, 0x57, 0x47, 0x62})
		menu->HandleKey(key);
	EXPECT_FALSE(menu->IsHidden());
	// Keypad 2 chooses slot 3 (its label starts with "2") and closes the menu.
	menu->HandleKey(0x59);
	EXPECT_TRUE(menu->IsHidden());
	ASSERT_TRUE(WaitUntil([&] { return fRecorder->Messages().size() == 1; }));
	BMessage sent = fRecorder->Messages()[0];
	EXPECT_EQ(KVFolder[2], sent.what);
	int32 slot = 0;
	sent.FindInt32("slot", &slot);
	EXPECT_EQ(3, slot);

	TestMenu* other = new TestMenu;
	other->HandleKey(0x01);
	EXPECT_TRUE(other->IsHidden());
	TestMenu* third = new TestMenu;
	third->HandleKey(0x23);
	EXPECT_TRUE(third->IsHidden());
	EXPECT_EQ(1u, fRecorder->Messages().size());
	for (KVItem* item : items)
		delete item;
	delete menu;
	delete other;
	delete third;
}

TEST(MenuTest, ItemsRadioModeAndOwnership)
{
	BMenu* menu = new BMenu("menu");
	BMenuItem* first = new BMenuItem("First", new BMessage('frst'));
	BMenuItem* second = new BMenuItem("Second", new BMessage('scnd'));
	EXPECT_TRUE(menu->AddItem(second));
	EXPECT_TRUE(menu->AddItem(first, 0));
	EXPECT_FALSE(menu->AddItem(first));
	BSeparatorItem* separator = new BSeparatorItem;
	EXPECT_FALSE(menu->AddItem(separator, 5));
	delete separator;
	EXPECT_EQ(first, menu->ItemAt(0));
	EXPECT_EQ(1, menu->IndexOf(second));
	EXPECT_EQ(second, menu->FindItem('scnd'));
	EXPECT_EQ(first, menu->FindItem("First"));

	BMenu* sub = new BMenu("Sub");
	BMenuItem* deep = new BMenuItem("Deep", new BMessage('deep'));
	sub->AddItem(deep);
	EXPECT_TRUE(menu->AddItem(sub));
	EXPECT_EQ(deep, menu->FindItem('deep'));
	EXPECT_EQ(menu, sub->Supermenu());
	menu->SetEnabled(false);
	EXPECT_FALSE(deep->IsEnabled());
	menu->SetEnabled(true);

	menu->SetRadioMode(true);
	first->SetMarked(true);
	second->SetMarked(true);
	EXPECT_FALSE(first->IsMarked());
	EXPECT_EQ(second, menu->FindMarked());
	sub->SetLabelFromMarked(true);
	deep->SetMarked(true);
	EXPECT_STREQ("Deep", sub->Superitem()->Label());

	EXPECT_EQ(first, menu->RemoveItem(int32(0)));
	EXPECT_EQ(nullptr, first->Menu());
	delete first;
	delete menu;
}

} // namespace
} // namespace kvtest
