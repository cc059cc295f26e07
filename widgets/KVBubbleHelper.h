// Placeholder until the help bubbles land: keeps the bar's calls compiling.
#ifndef KV_BUBBLE_HELPER_H
#define KV_BUBBLE_HELPER_H

class BView;

class KVBubbleHelper
{
public:
	KVBubbleHelper() {}
	virtual ~KVBubbleHelper() {}
	void SetHelp(BView*, const char*) {}
	void EnableHelp(bool) {}
};

#endif // KV_BUBBLE_HELPER_H
