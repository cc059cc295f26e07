// The program's own message codes: who sends them and what they carry is listed beside
// each. None of them leaves the program.
#ifndef KV_CONSTANTS_H
#define KV_CONSTANTS_H

#include <SupportDefs.h>

// Folder i + 1 (the button labelled i): a bare message opens the folder's menu; with
// "folder" and "slot" (int32, 1..10) it names a bookmark; with "button" (a pointer) the
// add-bookmark window pops the menu up under that button.
inline constexpr uint32 KVFolder[10] = {'kvf0', 'kvf1', 'kvf2', 'kvf3', 'kvf4',
                                        'kvf5', 'kvf6', 'kvf7', 'kvf8', 'kvf9'};

// Slot i + 1, chosen in the add-bookmark window's slot menu.
inline constexpr uint32 KVSlot[10] = {'kvs0', 'kvs1', 'kvs2', 'kvs3', 'kvs4',
                                      'kvs5', 'kvs6', 'kvs7', 'kvs8', 'kvs9'};

// The index (0..9) of a folder or slot code, compared in index order; -1 for others.
inline int32
FindFolderCode(uint32 what)
{
	for (int32 i = 0; i < 10; i++) {
		if (KVFolder[i] == what)
			return i;
	}
	return -1;
}

inline int32
FindSlotCode(uint32 what)
{
	for (int32 i = 0; i < 10; i++) {
		if (KVSlot[i] == what)
			return i;
	}
	return -1;
}

enum
{
	// "Add Bookmark Here" of an empty slot: "folder", "slot" (int32, 1..10).
	kMsgAddBookmarkHere = 'kvAh',
	// Settings menu "Add Bookmark": open the add-bookmark window (folder 0, slot 0).
	kMsgAddBookmark = 'kvAs',
	// The add-bookmark window is gone; another may be opened.
	kMsgBookmarkWindowGone = 'kvAg',
	kMsgAlwaysOnTop = 'kvAt',
	kMsgAlignHorizontal = 'kvHa',
	kMsgAlignVertical = 'kvVa',
	// Browser choice; the handler reads "source", the invoked menu item.
	kMsgUseOpera = 'kvUo',
	kMsgUseNetPositive = 'kvUn',
	kMsgShowURLYes = 'kvSy',
	kMsgShowURLNo = 'kvSn',
	// Hot-key modifier toggles, one per bit of the "hotkey" setting.
	kMsgHotKeyAlt = 'kvUa',
	kMsgHotKeyShift = 'kvUs',
	kMsgHotKeyControl = 'kvUc',
	kMsgHotKeyWindows = 'kvUw',
	kMsgHotKeyMenu = 'kvUm',
	kMsgHotKeyKeypadDelete = 'kvUd',
	// Open the settings menu at the bar.
	kMsgShowSettingsMenu = 'kvSw',
	// From the hot-key tracker: "folder", "slot" (int8, 1..10).
	kMsgLaunchItem = 'kvLi',
	// The bar reads the store once it is on screen.
	kMsgReadStore = 'kvRs',
	// The bar window became active / inactive: local quit requests allowed / dropped.
	kMsgMainWindowActive = 'kvWa',
	kMsgMainWindowInactive = 'kvWn',
	// Add-bookmark window commands.
	kMsgShowInTracker = 'KvSt',
	kMsgCancel = 'KvCa',
	kMsgAddIt = 'KvAi'
};

// Not a message code: the "opcode" of the store monitor's rebuild message, whose what
// is B_NODE_MONITOR.
inline constexpr int32 kOpcodeRebuild = 'kvRM';

#endif // KV_CONSTANTS_H
