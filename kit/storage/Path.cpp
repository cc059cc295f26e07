// BPath: absolute host paths with BeOS construction and normalisation rules.
#include <Path.h>

#include <Directory.h>
#include <Entry.h>

#include "HostPath.h"

BPath::BPath() : fCStatus(B_NO_INIT)
{}

BPath::BPath(const BPath& path) : fPath(path.fPath), fCStatus(path.fCStatus)
{}

BPath::BPath(const entry_ref* ref) : BPath()
{
	SetTo(ref);
}

BPath::BPath(const BEntry* entry) : BPath()
{
	SetTo(entry);
}

BPath::BPath(const char* dir, const char* leaf, bool normalize) : BPath()
{
	SetTo(dir, leaf, normalize);
}

BPath::BPath(const BDirectory* dir, const char* leaf, bool normalize) : BPath()
{
	SetTo(dir, leaf, normalize);
}

BPath::~BPath()
{}

status_t
BPath::InitCheck() const
{
	return fCStatus;
}

status_t
BPath::SetTo(const entry_ref* ref)
{
	Unset();
	if (ref == nullptr)
		return fCStatus = B_BAD_VALUE;
	BEntry entry(ref);
	if (entry.InitCheck() != B_OK)
		return fCStatus = entry.InitCheck();
	return entry.GetPath(this);
}

status_t
BPath::SetTo(const BEntry* entry)
{
	Unset();
	if (entry == nullptr)
		return fCStatus = B_BAD_VALUE;
	return entry->GetPath(this);
}

status_t
BPath::SetTo(const char* path, const char* leaf, bool normalize)
{
	if (path == nullptr || path[0] == '\0' || (leaf != nullptr && leaf[0] == '/')) {
		Unset();
		return fCStatus = B_BAD_VALUE;
	}
	// Copied before Unset: path or leaf may point into this object (SetTo(Path(), …)).
	std::string full = path;
	if (leaf != nullptr && leaf[0] != '\0')
		full = BPrivate::JoinPath(full, leaf);
	Unset();
	std::string host;
	status_t status = BPrivate::HostPathFor(full.c_str(), normalize, &host);
	if (status != B_OK)
		return fCStatus = status;
	return _SetHostPath(host);
}

status_t
BPath::SetTo(const BDirectory* dir, const char* leaf, bool normalize)
{
	Unset();
	if (dir == nullptr || dir->InitCheck() != B_OK)
		return fCStatus = B_BAD_VALUE;
	if (leaf != nullptr && leaf[0] == '/')
		return fCStatus = B_BAD_VALUE;
	std::string full = dir->_CurrentPath();
	if (leaf != nullptr && leaf[0] != '\0')
		full = BPrivate::JoinPath(full, leaf);
	if (!normalize && !BPrivate::NeedsNormalizing(full))
		return _SetHostPath(full);
	std::string host;
	status_t status = BPrivate::NormalizeHostPath(full, &host);
	if (status != B_OK)
		return fCStatus = status;
	return _SetHostPath(host);
}

void
BPath::Unset()
{
	fPath.clear();
	fCStatus = B_NO_INIT;
}

status_t
BPath::Append(const char* path, bool normalize)
{
	if (fCStatus != B_OK)
		return B_BAD_VALUE;
	if (path == nullptr || path[0] == '\0')
		return normalize ? SetTo(fPath.c_str(), nullptr, true) : B_OK;
	if (path[0] == '/')
		return B_BAD_VALUE;
	std::string joined = BPrivate::JoinPath(fPath, path);
	std::string host = joined;
	if (normalize || BPrivate::NeedsNormalizing(joined)) {
		status_t status = BPrivate::NormalizeHostPath(joined, &host);
		if (status != B_OK)
			return status;
	}
	return _SetHostPath(host, true);
}

const char*
BPath::Path() const
{
	return fCStatus == B_OK ? fPath.c_str() : nullptr;
}

const char*
BPath::Leaf() const
{
	if (fCStatus != B_OK)
		return nullptr;
	size_t slash = fPath.rfind('/');
	return fPath.c_str() + (slash == std::string::npos ? 0 : slash + 1);
}

status_t
BPath::GetParent(BPath* parent) const
{
	if (parent == nullptr)
		return B_BAD_VALUE;
	if (fCStatus != B_OK)
		return B_NO_INIT;
	if (fPath == "/")
		return B_ENTRY_NOT_FOUND;
	std::string directory;
	std::string leaf;
	BPrivate::SplitPath(fPath, &directory, &leaf);
	return parent->_SetHostPath(directory);
}

bool
BPath::operator==(const BPath& item) const
{
	return *this == item.Path();
}

bool
BPath::operator==(const char* path) const
{
	const char* mine = Path();
	if (mine == nullptr || path == nullptr)
		return mine == path;
	return fPath == path;
}

bool
BPath::operator!=(const BPath& item) const
{
	return !(*this == item);
}

bool
BPath::operator!=(const char* path) const
{
	return !(*this == path);
}

BPath&
BPath::operator=(const BPath& item)
{
	if (this != &item) {
		fPath = item.fPath;
		fCStatus = item.fCStatus;
	}
	return *this;
}

BPath&
BPath::operator=(const char* path)
{
	if (path == nullptr)
		Unset();
	else
		SetTo(path);
	return *this;
}

// A path that cannot be held leaves an appended-to path as it was, and any other
// path uninitialised with the reason as its InitCheck().
status_t
BPath::_SetHostPath(const std::string& path, bool keepOnFailure)
{
	size_t slash = path.rfind('/');
	size_t leafLength = path.size() - (slash == std::string::npos ? 0 : slash + 1);
	if (path.size() >= B_PATH_NAME_LENGTH || leafLength >= B_FILE_NAME_LENGTH) {
		if (!keepOnFailure) {
			fPath.clear();
			fCStatus = B_NAME_TOO_LONG;
		}
		return B_NAME_TOO_LONG;
	}
	fPath = path;
	return fCStatus = B_OK;
}
