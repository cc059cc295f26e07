// BList: an ordered list of untyped pointers. The list never owns the items.
#ifndef _BE_LIST_H
#define _BE_LIST_H

#include <vector>

#include <SupportDefs.h>

class BList
{
public:
	BList(int32 count = 20);
	BList(const BList& other);
	~BList();

	BList& operator=(const BList& other);
	bool operator==(const BList& other) const { return fItems == other.fItems; }
	bool operator!=(const BList& other) const { return fItems != other.fItems; }

	bool AddItem(void* item);
	bool AddItem(void* item, int32 index);
	bool AddList(const BList* list);
	bool AddList(const BList* list, int32 index);
	bool RemoveItem(void* item);
	void* RemoveItem(int32 index);
	bool RemoveItems(int32 index, int32 count);
	bool ReplaceItem(int32 index, void* item);
	void MakeEmpty();

	bool SwapItems(int32 indexA, int32 indexB);
	bool MoveItem(int32 fromIndex, int32 toIndex);
	void SortItems(int (*compare)(const void*, const void*));

	// Out-of-range indexes give NULL.
	void* ItemAt(int32 index) const;
	void* FirstItem() const;
	void* LastItem() const;
	void* Items() const { return const_cast<void**>(fItems.data()); }

	bool HasItem(const void* item) const { return IndexOf(item) >= 0; }
	int32 IndexOf(const void* item) const;
	int32 CountItems() const { return static_cast<int32>(fItems.size()); }
	bool IsEmpty() const { return fItems.empty(); }

	// Calls func on each item until it returns true.
	void DoForEach(bool (*func)(void* item));
	void DoForEach(bool (*func)(void* item, void* argument), void* argument);

private:
	std::vector<void*> fItems;
};

#endif // _BE_LIST_H
