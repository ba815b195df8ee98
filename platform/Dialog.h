#pragma once
// Modal dialogs over templates of this module's resources. A dialog object
// lives on its caller's stack for one run: values go in through setters
// before DoModal, come out of the controls in the OK handler into public
// members, and the caller reads them after the run. Controls are bound to
// wrapper objects only; no values are exchanged automatically.
//
// Messages reach the object in the manner of a thin message map: a hook that
// sees every message first (ProcessWindowMessage), then a table of command
// and notification handlers that a dialog fills in its constructor (one entry
// may serve a whole range of ids), then the few handlers nearly every dialog
// needs (init, OK, Cancel, Help).
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/Wnd.h"

namespace platform {

// Optional rows of a form: the rows between two edits are hidden and
// everything below moves up by the distance between the edits' bottoms.
struct CRowRemoval {
    int idKeptEdit;            // edit of the last row that stays
    int idLastRemovedEdit;     // edit of the last row removed
    std::vector<int> hidden;   // the removed rows' controls, hidden in this order
    int idGroupBox;            // frames the rows; loses the removed height
    std::vector<int> below;    // controls under the group box, moved up
};

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nTemplateId, HWND hParent = nullptr);
    virtual ~CDialog();
    CDialog(const CDialog&) = delete;
    CDialog& operator=(const CDialog&) = delete;

    // Runs the dialog owned by the parent window; returns the value the
    // dialog ended with (IDOK, IDCANCEL), or -1 when it could not be created.
    INT_PTR DoModal();

protected:
    // Binds control wrappers to the template's controls (BindControl).
    virtual void DoDataExchange() {}
    // Overrides call the base first: it binds the controls. Returning TRUE
    // lets the dialog manager focus the first tab stop; FALSE says the
    // handler set the focus itself.
    virtual BOOL OnInitDialog();
    virtual void OnOK() { EndDialog(IDOK); }
    // Also reached by Escape and the caption's close box.
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // WM_COMMAND after the command table: the base routes IDOK and IDCANCEL
    // to OnOK and OnCancel, and the Help button to the help file.
    virtual bool OnCommand(UINT nId, UINT nCode, HWND hControl);
    // WM_NOTIFY from children after the notification table; lResult is the
    // notification's answer.
    virtual bool OnNotify(NMHDR& header, LRESULT& lResult) { return false; }
    // The help file the Help button opens; null when the dialog has no help.
    // Every template of this module gives its Help button this id.
    static constexpr UINT kHelpButtonId = 116;
    virtual const std::string* GetHelpPath() const { return nullptr; }

    // The handler tables. A command entry matches ids first..last whose
    // notification code is nCode (kAnyCode: every code); a notification entry
    // matches the code from any child, or from one child id.
    static constexpr UINT kAnyCode = 0xFFFFFFFFu;
    template <class T>
    void CommandRangeHandler(UINT nFirst, UINT nLast, UINT nCode, void (T::*pfn)(UINT nId))
    {
        T* self = static_cast<T*>(this);
        m_commands.push_back({nFirst, nLast, nCode, [self, pfn](UINT nId) { (self->*pfn)(nId); }});
    }
    template <class T>
    void CommandHandler(UINT nId, UINT nCode, void (T::*pfn)(UINT nId))
    {
        CommandRangeHandler(nId, nId, nCode, pfn);
    }
    template <class T>
    void NotifyCodeHandler(UINT nCode, LRESULT (T::*pfn)(NMHDR& header))
    {
        T* self = static_cast<T*>(this);
        m_notifications.push_back({kAnyId, nCode, [self, pfn](NMHDR& h) { return (self->*pfn)(h); }});
    }
    template <class T>
    void NotifyHandler(UINT nId, UINT nCode, LRESULT (T::*pfn)(NMHDR& header))
    {
        T* self = static_cast<T*>(this);
        m_notifications.push_back({nId, nCode, [self, pfn](NMHDR& h) { return (self->*pfn)(h); }});
    }
    // A handler of msg failed (threw). Nothing may unwind through the
    // system's frames, so the failure ends here: false ends the dialog as
    // cancelled, true keeps it open. Dialogs that hold the user's work
    // report the failure and keep it. Must not throw.
    virtual bool OnHandlerFailed(UINT msg) noexcept { return false; }
    // Sees every message before the handlers above; true when it consumed
    // the message, with lResult as its answer.
    virtual bool ProcessWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& lResult) { return false; }

    void EndDialog(INT_PTR nResult) const { ::EndDialog(m_hWnd, nResult); }
    HWND GetParentWindow() const { return m_hWndParent; }
    bool BindControl(int id, CWnd& control) const;
    // Moves the focus the way the dialog manager does (edit text selected,
    // default button kept right); SetFocus alone does neither.
    void GotoDlgCtrl(HWND hControl) const;
    // Hides optional rows and shrinks the group box and the window by the
    // removed height, which it returns in pixels.
    int RemoveRows(const CRowRemoval& rows) const;

private:
    static constexpr UINT_PTR kAnyId = ~UINT_PTR{0};
    struct CCommandEntry {
        UINT nFirst;
        UINT nLast;
        UINT nCode;
        std::function<void(UINT)> handler;
    };
    struct CNotifyEntry {
        UINT_PTR nId;
        UINT nCode;
        std::function<LRESULT(NMHDR&)> handler;
    };
    bool RouteCommand(UINT nId, UINT nCode, HWND hControl);
    bool RouteNotify(NMHDR& header, LRESULT& lResult);

    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
    INT_PTR Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);
    INT_PTR InitDialog();
    void CenterOnOwner() const;

    UINT m_nTemplateId;
    HWND m_hWndParent;
    std::vector<CCommandEntry> m_commands;
    std::vector<CNotifyEntry> m_notifications;
};

}  // namespace platform
