// Flattened messages arrive from settings files and other programs' sockets: any bytes
// must give either a message that flattens back to bytes it reads again, or a clean
// error with an empty message.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include <DataIO.h>
#include <Message.h>

extern "C" int
LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	BMessage message('prev');
	message.AddInt32("stale", 1);
	status_t status = message.Unflatten((const char*)data, (ssize_t)size);
	if (status != B_OK) {
		if (!message.IsEmpty())
			abort();
	} else {
		std::vector<char> again(message.FlattenedSize());
		BMessage copy;
		if (message.Flatten(again.data(), (ssize_t)again.size()) != B_OK ||
		    copy.Unflatten(again.data(), (ssize_t)again.size()) != B_OK)
			abort();
	}

	// The stream reader takes the same bytes; it stops at the recorded size, so it may
	// accept what the sized reader refused for trailing bytes, never the other way.
	BMemoryIO stream(data, size);
	BMessage fromStream;
	status_t streamStatus = fromStream.Unflatten(&stream);
	if (status == B_OK && streamStatus != B_OK)
		abort();
	if (streamStatus != B_OK && !fromStream.IsEmpty())
		abort();
	return 0;
}
