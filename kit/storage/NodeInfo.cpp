// BNodeInfo: a node's file type in the xattr user.mime_type.
#include <NodeInfo.h>

#include <MimeType.h>

#include <cstring>
#include <string>

namespace {

const char kTypeAttribute[] = "mime_type";

} // namespace

BNodeInfo::BNodeInfo() : fNode(nullptr), fCStatus(B_NO_INIT)
{}

BNodeInfo::BNodeInfo(BNode* node) : BNodeInfo()
{
	SetTo(node);
}

BNodeInfo::~BNodeInfo()
{}

status_t
BNodeInfo::SetTo(BNode* node)
{
	fNode = nullptr;
	if (node == nullptr)
		return fCStatus = B_BAD_VALUE;
	if (node->InitCheck() != B_OK)
		return fCStatus = node->InitCheck();
	fNode = node;
	return fCStatus = B_OK;
}

status_t
BNodeInfo::InitCheck() const
{
	return fCStatus;
}

status_t
BNodeInfo::GetType(char* type) const
{
	if (type == nullptr)
		return B_BAD_VALUE;
	if (fCStatus != B_OK)
		return fCStatus;
	attr_info info;
	status_t status = fNode->GetAttrInfo(kTypeAttribute, &info);
	if (status != B_OK)
		return status;
	// Another program may have stored the type with a NUL; the text ends there.
	std::string value(static_cast<size_t>(info.size), '\0');
	ssize_t read =
	        fNode->ReadAttr(kTypeAttribute, B_MIME_STRING_TYPE, 0, value.data(), value.size());
	if (read < 0)
		return static_cast<status_t>(read);
	value.resize(strnlen(value.data(), static_cast<size_t>(read)));
	if (value.size() >= B_MIME_TYPE_LENGTH)
		return B_BAD_DATA;
	memcpy(type, value.c_str(), value.size() + 1);
	return B_OK;
}

status_t
BNodeInfo::SetType(const char* type)
{
	if (fCStatus != B_OK)
		return fCStatus;
	if (type == nullptr) {
		status_t status = fNode->RemoveAttr(kTypeAttribute);
		return status == B_ENTRY_NOT_FOUND ? B_OK : status;
	}
	if (!BMimeType::IsValid(type))
		return B_BAD_VALUE;
	ssize_t written = fNode->WriteAttr(kTypeAttribute, B_STRING_TYPE, 0, type, strlen(type));
	return written < 0 ? static_cast<status_t>(written) : B_OK;
}
