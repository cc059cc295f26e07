// Shared helpers of the storage kit tests: files, links and a child without privileges.
#ifndef STORAGE_TEST_UTILS_H
#define STORAGE_TEST_UTILS_H

#include <functional>
#include <string>

namespace kvtest {

// Creates an empty regular file; false when it cannot.
bool Touch(const std::string& path);

// Runs body in a forked child that has dropped to user and group 65534 ("nobody") and
// returns the child's exit status (body's result), or -1 when the child could not run.
int RunUnprivileged(const std::function<int()>& body);

} // namespace kvtest

#endif // STORAGE_TEST_UTILS_H
