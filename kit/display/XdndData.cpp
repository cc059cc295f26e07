// What a drag offers to other programs and how the file:// URI of a direct save is read.
// Kept free of the server so that both can be checked with plain data.
#include "Xdnd.h"

#include <cstring>

#include <AppDefs.h>
#include <TypeConstants.h>

namespace BPrivate {

void
InternXdndAtoms(::Display* display, XdndAtoms* atoms)
{
	const char* names[] = {"XdndAware",
	                       "XdndEnter",
	                       "XdndPosition",
	                       "XdndStatus",
	                       "XdndLeave",
	                       "XdndDrop",
	                       "XdndFinished",
	                       "XdndSelection",
	                       "XdndTypeList",
	                       "XdndActionCopy",
	                       "XdndDirectSave0",
	                       "text/plain",
	                       "text/plain;charset=utf-8",
	                       "UTF8_STRING",
	                       "application/x-color",
	                       "TARGETS",
	                       "_KV_XDND_TRANSFER"};
	static_assert(sizeof(names) / sizeof(names[0]) == sizeof(XdndAtoms) / sizeof(Atom));
	XInternAtoms(display, (char**)names, sizeof(names) / sizeof(names[0]), False, (Atom*)atoms);
}

namespace {

int
HexValue(char c)
{
	if (c >= '0' && c <= '9')
		return c - '0';
	if (c >= 'a' && c <= 'f')
		return c - 'a' + 10;
	if (c >= 'A' && c <= 'F')
		return c - 'A' + 10;
	return -1;
}

// Undoes %XX escapes; false for a truncated or non-hex escape and for an escaped NUL,
// which no file name can hold.
bool
Unescape(const std::string& in, std::string* out)
{
	out->clear();
	for (size_t i = 0; i < in.size(); i++) {
		if (in[i] != '%') {
			out->push_back(in[i]);
			continue;
		}
		if (i + 2 >= in.size())
			return false;
		int high = HexValue(in[i + 1]);
		int low = HexValue(in[i + 2]);
		if (high < 0 || low < 0 || (high == 0 && low == 0))
			return false;
		out->push_back((char)(high * 16 + low));
		i += 2;
	}
	return true;
}

} // namespace

uri_result
ParseFileUri(const std::string& uri, const std::string& hostName, std::string* directory,
             std::string* name)
{
	const std::string scheme = "file://";
	if (uri.compare(0, scheme.size(), scheme) != 0)
		return kUriUnusable;
	// Targets may end the property with a line break or a NUL.
	std::string rest = uri.substr(scheme.size());
	while (!rest.empty() && (rest.back() == '\n' || rest.back() == '\r' || rest.back() == '\0'))
		rest.pop_back();
	size_t slash = rest.find('/');
	if (slash == std::string::npos || rest.find('\0') != std::string::npos)
		return kUriUnusable;
	std::string host = rest.substr(0, slash);
	if (!host.empty() && host != "localhost" && host != hostName)
		return kUriUnusable;
	// Split before undoing escapes: an escaped slash belongs to the name, which cannot
	// hold one.
	std::string rawPath = rest.substr(slash);
	size_t last = rawPath.rfind('/');
	std::string folder, leaf;
	if (!Unescape(rawPath.substr(0, last), &folder) || !Unescape(rawPath.substr(last + 1), &leaf))
		return kUriUnusable;
	if (leaf.empty() || leaf == "." || leaf == ".." || leaf.find('/') != std::string::npos)
		return kUriUnusable;
	*directory = folder.empty() ? "/" : folder;
	*name = leaf;
	return kUriOk;
}

DragOffer
OfferFor(const BMessage& message)
{
	DragOffer offer;
	const void* data = nullptr;
	ssize_t size = 0;
	if (message.FindData("text/plain", B_MIME_TYPE, &data, &size) == B_OK && size >= 0) {
		offer.text.assign((const char*)data, (size_t)size);
		if (!offer.text.empty() && offer.text.back() == '\0')
			offer.text.pop_back();
		offer.hasText = true;
	}
	bool copyTarget = false;
	int32 action;
	for (int32 i = 0; message.FindInt32("be:actions", i, &action) == B_OK; i++) {
		if (action == B_COPY_TARGET)
			copyTarget = true;
	}
	const char* clipName = nullptr;
	if (copyTarget && message.HasString("be:filetypes") &&
	    message.FindString("be:clip_name", &clipName) == B_OK && clipName[0] != '\0') {
		offer.directSave = true;
		offer.clipName = clipName;
	}
	return offer;
}

} // namespace BPrivate
