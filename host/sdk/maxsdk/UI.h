#pragma once
// The host's user-interface facilities as abstract services: message boxes, modal
// and modeless dialogs, rollup pages, custom edits and spinners, list boxes,
// custom toolbars in frames, the track-view pick dialog and shell execution.
// Dialog resources are described by templates in code: a dialog is a caption and
// a list of controls by id; the plug-in's dialog procedure is a DialogHandler.
#include <vector>

#include "maxsdk/BaseTypes.h"
#include "maxsdk/Strings.h"

class Animatable;
class ReferenceTarget;

enum class ControlKind {
    Static,
    Group,
    Button,
    CheckBox,
    Edit,          // plain edit box (readOnly / multiLine in its ControlSpec)
    ListBox,
    ComboBox,      // drop-down list
    CustEdit,      // the host's custom edit
    Spinner,       // the host's spinner (linked to a custom edit)
    CustToolbar,   // the host's custom toolbar window
};

struct ControlSpec {
    int id = 0;
    ControlKind kind = ControlKind::Static;
    MSTR text;
    bool readOnly = false;
    bool multiLine = false;
    int width = 100;
    int height = 14;
};

struct DialogTemplate {
    int resourceId = 0;
    MSTR caption;
    int width = 200; // client width in pixels
    int height = 100;
    std::vector<ControlSpec> controls;
};

// Dialog results and message-box answers.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

// Message-box styles.
constexpr UINT MB_OK = 0x0;
constexpr UINT MB_OKCANCEL = 0x1;
constexpr UINT MB_ABORTRETRYIGNORE = 0x2;
constexpr UINT MB_YESNO = 0x4;
constexpr UINT MB_ICONERROR = 0x10;
constexpr UINT MB_ICONQUESTION = 0x20;
constexpr UINT MB_ICONWARNING = 0x30;
constexpr UINT MB_ICONINFORMATION = 0x40;
constexpr UINT MB_SYSTEMMODAL = 0x1000;

// Notification codes of DialogHandler::OnCommand.
constexpr int BN_CLICKED = 0;
constexpr int LBN_SELCHANGE = 1;
constexpr int LBN_DBLCLK = 2;
constexpr int CBN_SELCHANGE = 1;
constexpr int EN_CHANGE = 0x0300;
constexpr int EN_CUSTEDIT_ENTER = 0x1001; // Enter pressed in a custom edit

// Frame and toolbar messages (CUIFrameMsgHandler::ProcessMessage).
constexpr UINT WM_WINDOWPOSCHANGING = 0x0046;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT CC_SPINNER_CHANGE = 0x0500; // wParam: spinner id

// Rollup categories and show commands.
constexpr int ROLLUP_CAT_STANDARD = 4000;
constexpr int SW_SHOWNORMAL = 1;

// One control of a shown dialog, rollup or toolbar. A custom edit is such a control.
class ZYHOST_API IDialogItem {
public:
    virtual ~IDialogItem() = default;
    virtual int GetID() = 0;
    virtual ControlKind Kind() = 0;
    virtual MSTR GetText() = 0;
    virtual void SetText(const MSTR& text) = 0;
    virtual BOOL IsChecked() = 0;
    virtual void SetCheck(BOOL on) = 0;
    virtual BOOL IsEnabled() = 0;
    virtual void Enable(BOOL on) = 0;
    virtual int GetWidth() = 0;
    virtual void SetWidth(int width) = 0;
    // List and combo boxes.
    virtual int AddString(const MSTR& text) = 0;
    virtual void ResetContent() = 0;
    virtual int GetCount() = 0;
    virtual int GetCurSel() = 0; // -1 when nothing is selected
    virtual void SetCurSel(int index) = 0;
    virtual MSTR GetItemText(int index) = 0;
    // Index of the entry whose whole text equals text ignoring case, or -1.
    virtual int FindStringExact(const MSTR& text) = 0;
};
using ICustEdit = IDialogItem;

class ZYHOST_API ISpinnerControl {
public:
    virtual ~ISpinnerControl() = default;
    virtual void SetLimits(int min, int max, BOOL limitCurValue = TRUE) = 0;
    // notify: the owner receives a spinner-change notification.
    virtual void SetValue(int value, BOOL notify) = 0;
    virtual int GetIVal() = 0;
    // The spinner's value is shown in (and typed into) that custom edit.
    virtual void LinkToEdit(int editId) = 0;
};

inline void ReleaseICustEdit(ICustEdit*) {}
inline void ReleaseISpinner(ISpinnerControl*) {}

class ZYHOST_API IDialog {
public:
    virtual ~IDialog() = default;
    virtual HWND GetHWND() = 0;
    virtual const DialogTemplate& Template() = 0;
    virtual MSTR GetTitle() = 0;
    virtual void SetTitle(const MSTR& title) = 0;
    virtual int GetClientWidth() = 0;
    // The control of that id, or null.
    virtual IDialogItem* GetItem(int id) = 0;
    virtual ISpinnerControl* GetISpinner(int id) = 0;
    // Ends a modal dialog with result / closes a modeless window.
    virtual void End(INT_PTR result) = 0;
    // A close request, handled like the window's close button (OnClose).
    virtual void PostClose() = 0;
};

// The plug-in side of a dialog (its dialog procedure).
class ZYHOST_API DialogHandler {
public:
    virtual ~DialogHandler() = default;
    virtual void OnInit(IDialog& dlg, LPARAM param) {}
    virtual void OnCommand(IDialog& dlg, int id, int code) {}
    virtual void OnSpinnerChange(IDialog& dlg, int spinnerId) {}
    // The close button or a close request; the default ends the dialog with IDCANCEL.
    virtual void OnClose(IDialog& dlg) { dlg.End(IDCANCEL); }
    virtual void OnDestroy(IDialog& dlg) {}
};

// Custom toolbars live in frames (dockable windows of the host).
constexpr int CTB_PUSHBUTTON = 0;
constexpr int CTB_CHECKBUTTON = 1;
constexpr int CTB_STATUS = 2;
constexpr int CTB_OTHER = 3; // a control of a window class: "CustEdit", "SpinnerControl"

struct ToolItem {
    int type = CTB_PUSHBUTTON;
    int id = 0;
    int width = 16;
    int height = 16;
    MSTR windowClass;
    MSTR label;
};

class ZYHOST_API CUIFrameMsgHandler {
public:
    virtual ~CUIFrameMsgHandler() = default;
    virtual int ProcessMessage(UINT message, UINT_PTR wParam, LPARAM lParam) { return FALSE; }
};

class ZYHOST_API ICUIFrame {
public:
    virtual ~ICUIFrame() = default;
    virtual HWND GetHWND() = 0;
    virtual MSTR GetName() = 0;
    virtual void SetContentType(DWORD type) = 0;
    virtual DWORD GetContentType() = 0;
    virtual void SetPosType(DWORD type) = 0;
    virtual DWORD GetPosType() = 0;
    virtual BOOL IsDocked() = 0;
};

class ZYHOST_API ICustToolbar {
public:
    virtual ~ICustToolbar() = default;
    virtual HWND GetHWND() = 0;
    virtual void LinkToCUIFrame(HWND frame, CUIFrameMsgHandler* handler) = 0;
    virtual void AddTool(const ToolItem& item) = 0;
    virtual int GetNumItems() = 0;
    // Status items and custom edits by id.
    virtual IDialogItem* GetItem(int id) = 0;
    virtual ICustEdit* GetICustEdit(int id) = 0;
    virtual ISpinnerControl* GetISpinner(int id) = 0;
};

struct TrackViewPick {
    ReferenceTarget* anim = nullptr;
    ReferenceTarget* client = nullptr;
    int subNum = 0;
};

class ZYHOST_API TrackViewFilter {
public:
    virtual ~TrackViewFilter() = default;
    virtual BOOL proc(Animatable* anim, Animatable* client, int subNum) = 0;
};

enum class RollupPanel { CommandPanel, MaterialEditor };

class ZYHOST_API IUIServices {
public:
    virtual ~IUIServices() = default;
    virtual int MessageBox(HWND parent, const MSTR& text, const MSTR& caption, UINT type) = 0;
    // Runs a modal dialog until the handler ends it; returns the end result.
    virtual INT_PTR DialogBox(HINSTANCE module, const DialogTemplate& tmpl, HWND parent, DialogHandler& handler,
                              LPARAM param = 0) = 0;
    // A modeless dialog; it lives until DestroyWindow.
    virtual HWND CreateDialog(HINSTANCE module, const DialogTemplate& tmpl, HWND parent, DialogHandler& handler,
                              LPARAM param = 0) = 0;
    virtual void DestroyWindow(HWND wnd) = 0;
    virtual HWND AddRollupPage(RollupPanel panel, const DialogTemplate& tmpl, const MSTR& title,
                               DialogHandler& handler, LPARAM param = 0, DWORD flags = 0,
                               int category = ROLLUP_CAT_STANDARD) = 0;
    virtual void DeleteRollupPage(HWND page) = 0;
    // The dialog, rollup page or toolbar control window behind a handle, or null.
    virtual IDialog* GetDialog(HWND wnd) = 0;

    virtual HWND CreateCUIFrameWindow(HWND parent, const MSTR& title, int x, int y, int cx, int cy) = 0;
    virtual ICUIFrame* GetICUIFrame(HWND frame) = 0;
    virtual ICustToolbar* CreateCustToolbar(HWND frame, int width, int height) = 0;
    virtual void DockCUIWindow(HWND frame, int panel) = 0;
    virtual void RecalcLayout() = 0;

    virtual void CenterWindow(HWND wnd, HWND parent) = 0;

    // Opens file (a program or document); a result of 32 or less is a failure.
    virtual INT_PTR ShellExecute(HWND parent, const MSTR& verb, const MSTR& file, const MSTR& params,
                                 const MSTR& dir, int show) = 0;
    // Lets the artist pick animatables of the scene that the filter accepts.
    virtual BOOL TrackViewPickMultiDlg(HWND parent, std::vector<TrackViewPick>* picks, TrackViewFilter* filter) = 0;
};
