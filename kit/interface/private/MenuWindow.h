// The window an open menu lives in: override-redirect, above everything, holding the
// pointer and keyboard grab while it is open. It tracks the pointer and hands keys to the
// menu's KeyDown hook, and ends with the chosen item or with nothing.
#ifndef _MENU_WINDOW_H
#define _MENU_WINDOW_H

#include <Window.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

class BMenu;
class BMenuItem;

namespace BPrivate {

// How the tracking of a menu ended, for the one who opened it.
struct MenuOutcome
{
	BMenuItem* chosen = nullptr;
	// A press outside every open menu: the whole chain of menus closes.
	bool closeAll = false;
	// The pointer went back over a menu further up (at where, screen coordinates, with a
	// press when pressed): that menu takes over from there.
	bool pointerBack = false;
	bool pressed = false;
	BPoint where;
};

// What a tracking ends with, shared by the menu window and the thread waiting for it.
struct MenuResult
{
	std::mutex lock;
	std::condition_variable changed;
	bool finished = false;
	MenuOutcome outcome;
};

class MenuWindow : public BWindow
{
public:
	// Opens menu with its top-left corner at where (screen coordinates, moved to stay on
	// the screen) and tracks it. The menu is borrowed: it is detached again when tracking
	// ends. Synchronously the calling thread waits and gets the chosen item (null for
	// none). Asynchronously it returns null at once; the chosen item is then invoked in
	// the menu's window, and with autoDestruct the menu is deleted when it closes.
	// Returns null at once when the menu is open already.
	static BMenuItem* Track(BMenu* menu, BPoint where, bool async, bool autoDestruct);
	// Tracks a submenu synchronously. ancestors are the screen frames of the menus above
	// it (a menu bar included), superitem the screen frame of the item that opened it:
	// the pointer moving over an ancestor, outside that item, hands tracking back.
	// opener is the menu window that waits for it, or null (a menu bar).
	static MenuOutcome TrackSubmenu(BMenu* menu, BPoint where, const std::vector<BRect>& ancestors,
	                                BRect superitem, MenuWindow* opener = nullptr);

	virtual ~MenuWindow();

	void DispatchMessage(BMessage* message, BHandler* handler) override;
	bool QuitRequested() override;

	// Ends tracking with item (null: nothing chosen); any thread.
	void Finish(BMenuItem* item);
	// Chooses the item at index, or opens its submenu; the menu's window thread only.
	void Activate(int32 index);
	// The menu is being deleted: forget it without touching it again.
	void Abandon(BMenu* menu);

private:
	MenuWindow(BMenu* menu, BRect frame, bool async, bool autoDestruct,
	           std::shared_ptr<MenuResult> result);

	static std::shared_ptr<MenuResult> _Open(BMenu* menu, BPoint where, bool async,
	                                         bool autoDestruct, const std::vector<BRect>& ancestors,
	                                         BRect superitem, MenuWindow* opener);
	static MenuOutcome _Wait(const std::shared_ptr<MenuResult>& result);

	void _Mouse(BMessage* message);
	void _MouseMoved(BPoint screenWhere, bool inside, int32 index);
	bool _OverAncestor(BPoint screenWhere, bool pressed);
	void _Grab();
	void _TakeInputFromOpener();
	void _GiveInputToOpener();
	void _OpenSubmenu(int32 index);
	// Detaches the menu, delivers the outcome and wakes the waiting thread.
	void _Release(const MenuOutcome& outcome);
	void _End(BMenuItem* item);
	void _EndWith(const MenuOutcome& outcome);

	BMenu* fMenu;
	std::shared_ptr<MenuResult> fResult;
	std::vector<BRect> fAncestors;
	BRect fSuperitem;
	MenuWindow* fOpener;
	bigtime_t fOpened;
	int32 fGrabTries;
	bool fAsync;
	bool fAutoDestruct;
	bool fPressed;
};

// Invokes the enabled item of a menu bar in view's subtree (view included) whose
// Command-key shortcut is key with modifiers; false when there is none.
bool InvokeMenuShortcut(BView* view, uint32 key, uint32 modifiers);

} // namespace BPrivate

#endif // _MENU_WINDOW_H
