// Small kit-internal helpers for the window's event dispatch.
#ifndef _EVENT_FIELDS_H
#define _EVENT_FIELDS_H

#include <Message.h>
#include <View.h>

namespace BPrivate {

inline void
SetPointField(BMessage* message, const char* name, BPoint point)
{
	if (message->ReplacePoint(name, point) != B_OK)
		message->AddPoint(name, point);
}

inline void
SetInt32Field(BMessage* message, const char* name, int32 value)
{
	if (message->ReplaceInt32(name, value) != B_OK)
		message->AddInt32(name, value);
}

// Calls function for every view below root, parents before children.
template <typename Function>
void
ForEachView(BView* root, const Function& function)
{
	for (int32 i = 0; i < root->CountChildren(); i++) {
		BView* child = root->ChildAt(i);
		function(child);
		ForEachView(child, function);
	}
}

} // namespace BPrivate

#endif // _EVENT_FIELDS_H
