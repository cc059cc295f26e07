// The parts of BApplication that concern windows: the window list and the cursor. They
// live with the interface kit because the application kit knows nothing of windows.
#include <Application.h>
#include <Cursor.h>

#include "WindowPrivate.h"

void
BApplication::SetCursor(const void* cursor)
{
	if (cursor == nullptr)
		return;
	BCursor copy(cursor);
	if (copy.InitCheck() == B_OK)
		BPrivate::SetApplicationCursor(&copy);
}

// The display is told at once; sync has nothing more to wait for.
void
BApplication::SetCursor(const BCursor* cursor, bool)
{
	if (cursor != nullptr && cursor->InitCheck() == B_OK)
		BPrivate::SetApplicationCursor(cursor);
}

int32
BApplication::CountWindows() const
{
	return BPrivate::CountWindows();
}

BWindow*
BApplication::WindowAt(int32 index) const
{
	return BPrivate::WindowAt(index);
}
