// BPath: an absolute host path, built from BeOS paths, entries and refs.
#ifndef _PATH_H
#define _PATH_H

#include <StorageDefs.h>

#include <string>

class BDirectory;
class BEntry;
struct entry_ref;

// A path given to BPath is mapped to the host once (see kit/README.md). Without
// normalisation it is kept as written unless it must be normalised anyway (relative, or
// holding ".", ".." or "//"); normalisation resolves symbolic links in every component
// but the leaf and needs the leaf's directory to exist.
class BPath
{
public:
	BPath();
	BPath(const BPath& path);
	BPath(const entry_ref* ref);
	BPath(const BEntry* entry);
	BPath(const char* dir, const char* leaf = nullptr, bool normalize = false);
	BPath(const BDirectory* dir, const char* leaf, bool normalize = false);
	~BPath();

	status_t InitCheck() const;

	status_t SetTo(const entry_ref* ref);
	status_t SetTo(const BEntry* entry);
	status_t SetTo(const char* path, const char* leaf = nullptr, bool normalize = false);
	status_t SetTo(const BDirectory* dir, const char* leaf = nullptr, bool normalize = false);
	void Unset();

	// Appends a relative path (an absolute one gives B_BAD_VALUE).
	status_t Append(const char* path, bool normalize = false);

	// NULL while the path is not initialised.
	const char* Path() const;
	const char* Leaf() const;
	// B_ENTRY_NOT_FOUND for "/". parent may be this object.
	status_t GetParent(BPath* parent) const;

	bool operator==(const BPath& item) const;
	bool operator==(const char* path) const;
	bool operator!=(const BPath& item) const;
	bool operator!=(const char* path) const;
	BPath& operator=(const BPath& item);
	BPath& operator=(const char* path);

private:
	friend class BEntry;

	status_t _SetHostPath(const std::string& path, bool keepOnFailure = false);

	std::string fPath;
	status_t fCStatus;
};

#endif // _PATH_H
