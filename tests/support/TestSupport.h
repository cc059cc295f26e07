// Test helpers: real temporary directories, scoped environment variables,
// child processes with captured output, and deadline-based waiting.
#ifndef KV_TEST_SUPPORT_H
#define KV_TEST_SUPPORT_H

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace kvtest {

// A fresh directory under $TMPDIR (or /tmp), removed with everything in it on destruction.
class TempDir
{
public:
	explicit TempDir(const char* tag = "kv");
	~TempDir();
	TempDir(const TempDir&) = delete;
	TempDir& operator=(const TempDir&) = delete;

	const std::string& Path() const { return fPath; }
	std::string Sub(const std::string& relative) const { return fPath + "/" + relative; }

private:
	std::string fPath;
};

// Sets (or, with nullptr, unsets) an environment variable for the scope's lifetime.
class ScopedEnv
{
public:
	ScopedEnv(const char* name, const char* value);
	~ScopedEnv();
	ScopedEnv(const ScopedEnv&) = delete;
	ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
	std::string fName;
	std::string fOld;
	bool fHadOld;
};

struct ProcessResult
{
	int exitStatus = -1; // 0..255, or -1 when killed by a signal or not started
	std::string output;  // standard output
	std::string error;   // standard error
};

// Runs argv[0] with the given arguments and standard input, waits, and captures output.
// extraEnv holds "NAME=value" entries added to the current environment.
ProcessResult RunProcess(const std::vector<std::string>& argv, const std::string& input = "",
                         const std::vector<std::string>& extraEnv = {});

// Polls predicate until it is true or the deadline passes; returns the last result.
bool WaitUntil(const std::function<bool()>& predicate,
               std::chrono::milliseconds deadline = std::chrono::milliseconds(5000));

// File helpers for assertions.
bool WriteFile(const std::string& path, const std::string& contents);
std::string ReadFile(const std::string& path);
bool RemoveTree(const std::string& path);

// Raw extended attribute access, independent of the kit, so tests check what is on disk.
// Returns false when the attribute is missing.
bool GetXattr(const std::string& path, const std::string& name, std::string* value);
bool SetXattr(const std::string& path, const std::string& name, const std::string& value);
std::vector<std::string> ListXattrs(const std::string& path);

// Directory of the source tree and the build tree this test was built from.
std::string SourceDir();
std::string BinaryDir();

// True when the test runs as root and can mount file systems (tmpfs, ramfs).
bool CanMount();

// Mounts a file system of the given type at an empty directory; unmounts on destruction.
class ScopedMount
{
public:
	ScopedMount(const std::string& type, const std::string& where, const std::string& options);
	~ScopedMount();
	bool IsMounted() const { return fMounted; }

private:
	std::string fWhere;
	bool fMounted;
};

} // namespace kvtest

#endif // KV_TEST_SUPPORT_H
