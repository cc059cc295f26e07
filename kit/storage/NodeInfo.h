// BNodeInfo: the file type of a node, kept where the desktop's shared MIME database
// looks for it (the attribute "mime_type", i.e. the xattr user.mime_type, holding the
// type string without a NUL).
#ifndef _NODE_INFO_H
#define _NODE_INFO_H

#include <Mime.h>
#include <Node.h>

class BNodeInfo
{
public:
	BNodeInfo();
	// The node is not owned; it must outlive the BNodeInfo.
	BNodeInfo(BNode* node);
	virtual ~BNodeInfo();

	status_t SetTo(BNode* node);
	status_t InitCheck() const;

	// type holds B_MIME_TYPE_LENGTH bytes. B_ENTRY_NOT_FOUND when the node has no type,
	// B_BAD_DATA when the stored text is too long to be a type.
	status_t GetType(char* type) const;
	// NULL removes the type; an invalid type gives B_BAD_VALUE. The case is kept as given:
	// callers compare types without regard to case.
	status_t SetType(const char* type);

private:
	BNodeInfo(const BNodeInfo&) = delete;
	BNodeInfo& operator=(const BNodeInfo&) = delete;

	BNode* fNode;
	status_t fCStatus;
};

#endif // _NODE_INFO_H
