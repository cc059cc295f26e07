// The bar window's class-wide members live apart from the window so that the add-bookmark
// window and its tests can reach the store without building a bar.
#include "KVMainWindow.h"

BMessenger* KVMainWindow::fMsgWindow = nullptr;
KVMonitor* KVMainWindow::fMonitor = nullptr;
BLocker* KVMainWindow::fLocker = nullptr;
