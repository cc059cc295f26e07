// Atomic helpers on plain integers, as BeOS code uses them on shared counters.
#include <SupportDefs.h>

int32
atomic_add(int32* target, int32 value)
{
	return __atomic_fetch_add(target, value, __ATOMIC_SEQ_CST);
}

int32
atomic_and(int32* target, int32 value)
{
	return __atomic_fetch_and(target, value, __ATOMIC_SEQ_CST);
}

int32
atomic_or(int32* target, int32 value)
{
	return __atomic_fetch_or(target, value, __ATOMIC_SEQ_CST);
}

int32
atomic_get(int32* target)
{
	return __atomic_load_n(target, __ATOMIC_SEQ_CST);
}

int64
atomic_add64(int64* target, int64 value)
{
	return __atomic_fetch_add(target, value, __ATOMIC_SEQ_CST);
}
