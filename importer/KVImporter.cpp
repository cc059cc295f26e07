// KVImporter: reads the Opera browser's bookmark file and writes its folders as
// directories and its links as bookmark files under the destination given on the command
// line. Every message goes to standard output.
#include "importer/OperaParser.h"
#include "importer/WriteFile.h"

#include <Directory.h>
#include <Errors.h>
#include <Path.h>
#include <String.h>

#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

const char* kOperaBookmarks = "/boot/home/config/settings/Opera/Opera Default Bookmarks.adr";
BString destPath;

namespace {

// Plays the parser's events out on disk. The current folder only ever grows by one fixed
// name per named Opera folder and shrinks back by the same, so it never leaves the
// destination.
class KVImportSink : public KVOperaSink
{
public:
	explicit KVImportSink(const char* destination) : fCurrent(destination) {}

	void FolderOpened(const std::string& name) override
	{
		fParents.push_back(fCurrent.size());
		if (fCurrent.empty() || fCurrent.back() != '/')
			fCurrent += '/';
		fCurrent += FixString(name.c_str());
		// A folder that cannot be made is said once here; its links then fail one by one.
		if (create_directory(fCurrent.c_str(), 0777) != B_OK)
			std::cout << "Could not create " << fCurrent << "!" << std::endl;
	}

	void FolderClosed() override
	{
		fCurrent.resize(fParents.back());
		fParents.pop_back();
	}

	void LinkFound(const std::string& name, const std::string& url) override
	{
		WriteFile(fCurrent.c_str(), name.c_str(), url.c_str());
	}

private:
	std::string fCurrent;
	std::vector<size_t> fParents;
};

void
PrintUsage(const char* program)
{
	std::cout << "Usage:\n\t" << program << " [destination path]" << std::endl;
}

// Returns 0 when the import can go on, else the exit status. An existing directory is fine.
int
PrepareDestination()
{
	switch (create_directory(destPath.String(), 0777)) {
	case B_BAD_VALUE:
		std::cout << destPath.String() << " is invalid." << std::endl;
		return -2;
	case B_NOT_ALLOWED:
	case B_READ_ONLY_DEVICE:
		std::cout << "Tried to create " << destPath.String() << " on a read only volume!"
		          << std::endl;
		return -3;
	case B_NO_MEMORY:
		std::cout << "Out of memory!" << std::endl;
		return -4;
	default:
		return 0;
	}
}

bool
IsHelpOption(const char* argument)
{
	return strcmp(argument, "--help") == 0 || strcmp(argument, "-h") == 0;
}

} // namespace

int
main(int argc, char** argv)
{
	const char* program = argc > 0 ? argv[0] : "KVImporter";
	if (argc == 2 && IsHelpOption(argv[1])) {
		PrintUsage(program);
		return 0;
	}
	if (argc != 2) {
		PrintUsage(program);
		return -1;
	}

	destPath = argv[1];
	int status = PrepareDestination();
	if (status != 0)
		return status;

	BPath source(kOperaBookmarks);
	const char* sourcePath = source.InitCheck() == B_OK ? source.Path() : kOperaBookmarks;
	std::ifstream stream;
	if (source.InitCheck() == B_OK)
		stream.open(sourcePath, std::ios::in | std::ios::binary);
	if (!stream.is_open() || !stream.good()) {
		std::cout << "Couldn't open " << sourcePath << " (Opera bookmarks file)!" << std::endl;
		return -5;
	}

	BPath destination(destPath.String());
	KVImportSink sink(destination.InitCheck() == B_OK ? destination.Path() : destPath.String());
	KVOperaParser parser(&sink);
	parser.ParseStream(stream);
	return 0;
}
