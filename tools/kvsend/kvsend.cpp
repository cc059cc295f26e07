// kvsend: sends one message to a running application, found by its signature, and prints
// the reply. Scripts use it to quit or poke a program; the tests use it as "another program".
#include <AppDefs.h>
#include <Message.h>
#include <Messenger.h>
#include <OS.h>
#include <String.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const bigtime_t kDefaultTimeout = 5000000;

enum
{
	kExitSent = 0,
	kExitNotRunning = 1,
	kExitUsage = 2,
	kExitFailed = 3
};

void
PrintUsage()
{
	fprintf(stderr, "usage: kvsend [--timeout SECONDS] [--no-reply] <signature> "
	                "quit|about|<four-char what> [name=type:value ...]\n"
	                "  types: int32, int64, bool, string\n");
}

bool
ParseWhat(const char* word, uint32* what)
{
	if (strcmp(word, "quit") == 0) {
		*what = B_QUIT_REQUESTED;
		return true;
	}
	if (strcmp(word, "about") == 0) {
		*what = B_ABOUT_REQUESTED;
		return true;
	}
	if (strlen(word) != 4)
		return false;
	*what = 0;
	for (int i = 0; i < 4; i++)
		*what = (*what << 8) | (uint8)word[i];
	return true;
}

bool
ParseInteger(const char* text, int64 low, int64 high, int64* value)
{
	char* end;
	errno = 0;
	long long parsed = strtoll(text, &end, 0);
	if (end == text || *end != '\0' || errno != 0 || parsed < low || parsed > high)
		return false;
	*value = parsed;
	return true;
}

// Adds "name=type:value" to message; false when the field is malformed.
bool
AddField(BMessage& message, const char* field)
{
	const char* equals = strchr(field, '=');
	const char* colon = equals != nullptr ? strchr(equals, ':') : nullptr;
	if (equals == nullptr || colon == nullptr || equals == field)
		return false;
	BString name(field, (int32)(equals - field));
	BString type(equals + 1, (int32)(colon - equals - 1));
	const char* value = colon + 1;
	int64 number;
	if (type == "string")
		return message.AddString(name.String(), value) == B_OK;
	if (type == "int32" && ParseInteger(value, INT32_MIN, INT32_MAX, &number))
		return message.AddInt32(name.String(), (int32)number) == B_OK;
	if (type == "int64" && ParseInteger(value, INT64_MIN, INT64_MAX, &number))
		return message.AddInt64(name.String(), number) == B_OK;
	if (type == "bool" && (strcmp(value, "true") == 0 || strcmp(value, "false") == 0))
		return message.AddBool(name.String(), strcmp(value, "true") == 0) == B_OK;
	return false;
}

struct Options
{
	bigtime_t timeout = kDefaultTimeout;
	bool wantReply = true;
	int first = 1; // index of the signature
};

bool
ParseOptions(int argc, char** argv, Options& options)
{
	while (options.first < argc && strncmp(argv[options.first], "--", 2) == 0) {
		const char* option = argv[options.first++];
		int64 seconds;
		if (strcmp(option, "--no-reply") == 0) {
			options.wantReply = false;
		} else if (strcmp(option, "--timeout") == 0 && options.first < argc &&
		           ParseInteger(argv[options.first], 0, 86400, &seconds)) {
			options.timeout = seconds * 1000000;
			options.first++;
		} else {
			return false;
		}
	}
	return argc - options.first >= 2;
}

int
Send(const char* signature, BMessage& message, const Options& options)
{
	status_t status;
	BMessenger messenger(signature, -1, &status);
	if (status != B_OK || !messenger.IsValid()) {
		fprintf(stderr, "kvsend: %s is not running\n", signature);
		return kExitNotRunning;
	}
	if (!options.wantReply)
		status = messenger.SendMessage(&message, (BHandler*)nullptr, options.timeout);
	else {
		BMessage reply;
		status = messenger.SendMessage(&message, &reply, options.timeout, options.timeout);
		if (status == B_OK && reply.what != B_NO_REPLY)
			reply.PrintToStream();
	}
	if (status == B_TIMED_OUT && options.wantReply) {
		fprintf(stderr, "kvsend: no reply within the timeout\n");
		return kExitSent;
	}
	if (status != B_OK) {
		fprintf(stderr, "kvsend: sending failed: %s\n", strerror_be(status));
		return status == B_BAD_PORT_ID ? kExitNotRunning : kExitFailed;
	}
	return kExitSent;
}

} // namespace

int
main(int argc, char** argv)
{
	Options options;
	uint32 what;
	if (!ParseOptions(argc, argv, options) || !ParseWhat(argv[options.first + 1], &what)) {
		PrintUsage();
		return kExitUsage;
	}
	BMessage message(what);
	for (int i = options.first + 2; i < argc; i++) {
		if (!AddField(message, argv[i])) {
			fprintf(stderr, "kvsend: bad field \"%s\"\n", argv[i]);
			PrintUsage();
			return kExitUsage;
		}
	}
	return Send(argv[options.first], message, options);
}
