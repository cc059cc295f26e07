// Placeholder translation unit until the widgets land.
#include "KVBubbleHelper.h"
