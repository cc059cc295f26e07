// Fuzzes the Opera bookmark parser with arbitrary files. Besides crashes, it stops on any
// event that would make the importer write outside its destination: a close without an
// open, or a name that is empty or not one harmless path component after FixString().
#include "importer/OperaParser.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

namespace {

class CheckingSink : public KVOperaSink
{
public:
	void FolderOpened(const std::string& name) override
	{
		_CheckName(name);
		fDepth++;
	}

	void FolderClosed() override
	{
		if (fDepth == 0)
			abort();
		fDepth--;
	}

	void LinkFound(const std::string& name, const std::string& url) override
	{
		_CheckName(name);
		if (url.empty() || url.find('\0') != std::string::npos)
			abort();
	}

private:
	static void _CheckName(const std::string& name)
	{
		if (name.empty() || name.find('\0') != std::string::npos)
			abort();
		std::string fixed = FixString(name.c_str());
		if (fixed.size() != name.size() || fixed == "." || fixed == ".." ||
		    fixed.find('/') != std::string::npos)
			abort();
	}

	size_t fDepth = 0;
};

} // namespace

extern "C" int
LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	CheckingSink sink;
	KVOperaParser parser(&sink);
	std::istringstream stream(std::string(reinterpret_cast<const char*>(data), size));
	parser.ParseStream(stream);
	return 0;
}
