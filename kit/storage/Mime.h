// MIME-related constants of the storage kit: icon sizes.
#ifndef _MIME_H
#define _MIME_H

#include <StorageDefs.h>

enum icon_size
{
	B_LARGE_ICON = 32,
	B_MINI_ICON = 16
};

#endif // _MIME_H
