// BEntryList: the abstract base of entry sources.
#include <EntryList.h>

BEntryList::BEntryList()
{}

BEntryList::~BEntryList()
{}
