// Human-readable texts for the status codes the kit returns.
#include <SupportDefs.h>

namespace {

struct ErrorText
{
	status_t code;
	const char* text;
};

const ErrorText kErrorTexts[] = {
        {B_OK, "No error"},
        {B_ERROR, "General error"},
        {B_NO_MEMORY, "Out of memory"},
        {B_IO_ERROR, "I/O error"},
        {B_PERMISSION_DENIED, "Permission denied"},
        {B_BAD_INDEX, "Index not in range for the data set"},
        {B_BAD_TYPE, "Bad argument type passed to function"},
        {B_BAD_VALUE, "Bad value"},
        {B_MISMATCHED_VALUES, "Mismatched values passed to function"},
        {B_NAME_NOT_FOUND, "Name not found"},
        {B_NAME_IN_USE, "Name in use"},
        {B_TIMED_OUT, "Operation timed out"},
        {B_INTERRUPTED, "Interrupted system call"},
        {B_WOULD_BLOCK, "Operation would block"},
        {B_CANCELED, "Operation canceled"},
        {B_NO_INIT, "Initialization failed"},
        {B_BUSY, "Device/File/Resource busy"},
        {B_NOT_ALLOWED, "Operation not allowed"},
        {B_BAD_DATA, "Bad data"},
        {B_BAD_THREAD_ID, "Bad thread ID"},
        {B_BAD_THREAD_STATE, "Thread is inappropriate state"},
        {B_NO_MORE_THREADS, "No more threads"},
        {B_BAD_PORT_ID, "Bad port ID"},
        {B_BAD_ADDRESS, "Bad address"},
        {B_BAD_REPLY, "Bad reply"},
        {B_BAD_HANDLER, "Bad handler"},
        {B_ALREADY_RUNNING, "Already running"},
        {B_LAUNCH_FAILED, "Launch failed"},
        {B_LAUNCH_FAILED_APP_NOT_FOUND, "Application not found"},
        {B_NOT_A_MESSAGE, "Data is not a message"},
        {B_FILE_ERROR, "Bad file descriptor"},
        {B_FILE_EXISTS, "File or directory already exists"},
        {B_ENTRY_NOT_FOUND, "No such file or directory"},
        {B_NAME_TOO_LONG, "File or directory name too long"},
        {B_NOT_A_DIRECTORY, "Not a directory"},
        {B_DIRECTORY_NOT_EMPTY, "Directory not empty"},
        {B_DEVICE_FULL, "No space left on device"},
        {B_READ_ONLY_DEVICE, "Read-only file system"},
        {B_IS_A_DIRECTORY, "Is a directory"},
        {B_NO_MORE_FDS, "Too many open files"},
        {B_CROSS_DEVICE_LINK, "Cross-device link"},
        {B_LINK_LIMIT, "Too many symbolic links"},
        {B_BUSTED_PIPE, "Broken pipe"},
        {B_UNSUPPORTED, "Operation not supported"},
        {B_NOT_SUPPORTED, "Operation not supported"},
        {B_BUFFER_OVERFLOW, "Value too large for defined type"},
        {B_FILE_TOO_LARGE, "File too large"},
        {B_TOO_MANY_ARGS, "Argument too big"},
};

} // namespace

const char*
strerror_be(int status)
{
	for (const ErrorText& entry : kErrorTexts) {
		if (entry.code == status)
			return entry.text;
	}
	return "Unknown error";
}
