// The program's alerts for trouble that has no window of its own: AlertError (fatal; the
// caller ends the program when it returns), AlertWarning and AlertMsg. The caller keeps
// its text.
#ifndef KV_ALERT_H
#define KV_ALERT_H

void AlertError(const char* text);
void AlertWarning(const char* text);
void AlertMsg(const char* text);

#endif // KV_ALERT_H
