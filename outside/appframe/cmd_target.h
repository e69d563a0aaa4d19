// CCmdTarget and the message maps: a class's table of message (or command id) to a typed
// handler, chained to its base class's table. The entries are made by the macros of
// message_map.h; each holds a small function that unpacks wParam and lParam into the handler's
// parameters and calls it on the object.
#pragma once

#include "event_sink_map.h"
#include "runtime_class.h"
#include "windows.h"

class CCmdTarget;

// Calls the handler of one entry on target; sets *result for messages whose handler returns a
// value. Returns TRUE when the entry handled the message.
typedef BOOL (*AFX_PMSG)(CCmdTarget* target, WPARAM wParam, LPARAM lParam, LRESULT* result);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;  // the window message; WM_COMMAND for command entries; 0 ends the table
    UINT nCode;     // the notification code of a command (0 for menus and accelerators)
    UINT nID;       // the first command id of a command entry
    UINT nLastID;   // the last command id of a command entry
    AFX_PMSG pfn;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();  // null for the root
    const AFX_MSGMAP_ENTRY* lpEntries;
};

class CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)
public:
    // Handles command nID with notification nCode through the message map's WM_COMMAND entries;
    // TRUE when an entry took it.
    virtual BOOL OnCmdMsg(UINT nID, int nCode);

    virtual const AFX_MSGMAP* GetMessageMap() const;
    virtual const AFX_EVENTSINKMAP* GetEventSinkMap() const;

    // Gives an event of control nCtrlID to the event-sink map's handler: DISP_E_MEMBERNOTFOUND
    // when no entry takes it, DISP_E_BADPARAMCOUNT for another number of arguments than the
    // entry's types, DISP_E_TYPEMISMATCH for an argument that does not convert.
    HRESULT OnEvent(UINT nCtrlID, DISPID dispid, const DISPPARAMS* pParams);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    static const AFX_EVENTSINKMAP* GetThisEventSinkMap();
    // The first entry of the map chain, most derived first, that matches.
    static const AFX_MSGMAP_ENTRY* FindMessageEntry(const AFX_MSGMAP* map, UINT nMessage,
                                                    UINT nCode, UINT nID);
};
