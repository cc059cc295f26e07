// Progress lines on standard output: a header with the operation's full signature, the
// text, and a line break, written as three separate writes. Nothing reads them; they
// show what the store did with each change on disk.
#ifndef KV_TRACE_H
#define KV_TRACE_H

void KVTrace(const char* signature, const char* format, ...) __attribute__((format(printf, 2, 3)));

#endif // KV_TRACE_H
