// The system's message codes ('what' values) with their BeOS values: messages from the
// application server, the roster, the node monitor, drag and drop and scripting.
#ifndef _APP_DEFS_H
#define _APP_DEFS_H

#include <SupportDefs.h>

// Messages the system sends to applications, windows and views.
enum
{
	B_ABOUT_REQUESTED = '_ABR',
	B_WINDOW_ACTIVATED = '_ACT',
	B_APP_ACTIVATED = '_ACT',
	B_ARGV_RECEIVED = '_ARG',
	B_QUIT_REQUESTED = '_QRQ',
	B_CLOSE_REQUESTED = '_QRQ',
	B_CANCEL = '_CNC',
	B_INVALIDATE = '_IVL',
	B_KEY_DOWN = '_KYD',
	B_KEY_UP = '_KYU',
	B_UNMAPPED_KEY_DOWN = '_UKD',
	B_UNMAPPED_KEY_UP = '_UKU',
	B_MODIFIERS_CHANGED = '_MCH',
	B_MINIMIZE = '_WMN',
	B_MOUSE_DOWN = '_MDN',
	B_MOUSE_MOVED = '_MMV',
	B_MOUSE_ENTER_EXIT = '_MEX',
	B_MOUSE_UP = '_MUP',
	B_MOUSE_WHEEL_CHANGED = '_MWC',
	B_OPEN_IN_WORKSPACE = '_OWS',
	B_PRINTER_CHANGED = '_PCH',
	B_PULSE = '_PUL',
	B_READY_TO_RUN = '_RTR',
	B_REFS_RECEIVED = '_RRC',
	B_SCREEN_CHANGED = '_SCH',
	B_VALUE_CHANGED = '_VCH',
	B_VIEW_MOVED = '_VMV',
	B_VIEW_RESIZED = '_VRS',
	B_WINDOW_MOVED = '_WMV',
	B_WINDOW_RESIZED = '_WRS',
	B_WORKSPACES_CHANGED = '_WCG',
	B_WORKSPACE_ACTIVATED = '_WAC',
	B_ZOOM = '_WZM'
};

// Replies and the roster's notices.
enum
{
	B_NO_REPLY = '_NRP',
	B_REPLY = '_RPY',
	B_MESSAGE_NOT_UNDERSTOOD = '_MNU',
	B_SOME_APP_LAUNCHED = 'BRAS',
	B_SOME_APP_QUIT = 'BRAQ',
	B_SOME_APP_ACTIVATED = 'BRAW',
	B_CLIPBOARD_CHANGED = 'CLCH'
};

// Editing, drag and drop, and other application-defined conventions.
enum
{
	B_SET_PROPERTY = 'PSET',
	B_GET_PROPERTY = 'PGET',
	B_CREATE_PROPERTY = 'PCRT',
	B_DELETE_PROPERTY = 'PDEL',
	B_COUNT_PROPERTIES = 'PCNT',
	B_EXECUTE_PROPERTY = 'PEXE',
	B_GET_SUPPORTED_SUITES = 'SUIT',
	B_UNDO = 'UNDO',
	B_REDO = 'REDO',
	B_CUT = 'CCUT',
	B_COPY = 'COPY',
	B_PASTE = 'PSTE',
	B_SELECT_ALL = 'SALL',
	B_SAVE_REQUESTED = 'SAVE',
	B_SIMPLE_DATA = 'DATA',
	B_MIME_DATA = 'MIME',
	B_ARCHIVED_OBJECT = 'ARCV',
	B_UPDATE_STATUS_BAR = 'SBUP',
	B_RESET_STATUS_BAR = 'SBRS',
	B_NODE_MONITOR = 'NDMN',
	B_QUERY_UPDATE = 'QUPD',
	B_ENDORSABLE = 'ENDO',
	B_COPY_TARGET = 'DDCP',
	B_MOVE_TARGET = 'DDMV',
	B_TRASH_TARGET = 'DDRM',
	B_LINK_TARGET = 'DDLN',
	B_INPUT_DEVICES_CHANGED = 'IDCH',
	B_INPUT_METHOD_EVENT = 'IMEV',
	B_WINDOW_MOVE_TO = 'WDMT',
	B_WINDOW_MOVE_BY = 'WDMB',
	B_SILENT_RELAUNCH = 'AREL',
	B_OBSERVER_NOTICE_CHANGE = 'NTCH',
	B_CONTROL_INVOKED = 'CIVK',
	B_CONTROL_MODIFIED = 'CMOD'
};

// The stock cursors, in the 68-byte BeOS cursor format, for BApplication::SetCursor()
// and BCursor. They are defined by the interface kit, which draws cursors.
extern const uint8 B_HAND_CURSOR[];
extern const uint8 B_I_BEAM_CURSOR[];

#endif // _APP_DEFS_H
