#pragma once
// The in-memory host's user interface: it records what would be shown, prints it
// when echo is on (a terminal), and lets tests answer dialogs and press buttons.
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "maxsdk/UI.h"

class MemDialog;

// One thing the host showed.
struct UiEvent {
    enum Kind { MessageBoxShown, DialogClosed, RollupAdded, RollupRemoved, ShellExecuted, PickShown, FrameCreated };
    Kind kind;
    MSTR caption; // message-box caption, dialog title, rollup title, shell verb, frame title
    MSTR text;    // message-box text, shell file and parameters
    UINT flags = 0;
    INT_PTR result = 0;
    std::vector<std::pair<int, MSTR>> controls; // a dialog's control texts when it closed
};

class ZYHOST_API MemDialogItem : public IDialogItem {
public:
    MemDialogItem(const ControlSpec& spec) : spec_(spec), text_(spec.text), width_(spec.width) {}
    int GetID() override { return spec_.id; }
    ControlKind Kind() override { return spec_.kind; }
    MSTR GetText() override;
    void SetText(const MSTR& text) override { text_ = text; }
    BOOL IsChecked() override { return checked_; }
    void SetCheck(BOOL on) override { checked_ = on != 0; }
    BOOL IsEnabled() override { return enabled_; }
    void Enable(BOOL on) override { enabled_ = on != 0; }
    int GetWidth() override { return width_; }
    void SetWidth(int width) override { width_ = width; }
    int AddString(const MSTR& text) override;
    void ResetContent() override;
    int GetCount() override { return int(items_.size()); }
    int GetCurSel() override { return sel_; }
    void SetCurSel(int index) override { sel_ = index >= 0 && index < GetCount() ? index : -1; }
    MSTR GetItemText(int index) override;
    int FindStringExact(const MSTR& text) override;

private:
    ControlSpec spec_;
    MSTR text_;
    bool checked_ = false;
    bool enabled_ = true;
    int width_;
    std::vector<MSTR> items_;
    int sel_ = -1;
};

class ZYHOST_API MemSpinner : public ISpinnerControl {
public:
    // notify is called for SetValue(..., TRUE) and for Spin.
    explicit MemSpinner(std::function<void()> notify) : notify_(std::move(notify)) {}
    void SetLimits(int min, int max, BOOL limitCurValue) override;
    void SetValue(int value, BOOL notify) override;
    int GetIVal() override { return value_; }
    void LinkToEdit(int editId) override { edit_ = editId; }
    int LinkedEdit() const { return edit_; }

private:
    std::function<void()> notify_;
    int min_ = -2147483647, max_ = 2147483647, value_ = 0, edit_ = 0;
    bool limit_ = false;
};

// A shown dialog, rollup page or toolbar; tests drive it like an artist would.
class ZYHOST_API MemDialog : public IDialog {
public:
    MemDialog(HWND hwnd, const DialogTemplate& tmpl, DialogHandler* handler, bool modal);
    HWND GetHWND() override { return hwnd_; }
    const DialogTemplate& Template() override { return tmpl_; }
    MSTR GetTitle() override { return title_; }
    void SetTitle(const MSTR& title) override { title_ = title; }
    int GetClientWidth() override { return clientWidth_; }
    void SetClientWidth(int w) { clientWidth_ = w; }
    IDialogItem* GetItem(int id) override;
    ISpinnerControl* GetISpinner(int id) override;
    void End(INT_PTR result) override;
    void PostClose() override;

    // Artist actions: each changes the control and sends the notification a real
    // dialog would send to the handler.
    void Press(int id);                     // button or check box click
    void Check(int id, bool on);            // sets a check box, then clicks
    void Select(int id, int index);         // list or combo selection change
    void DoubleClick(int id, int index);    // list double-click
    void Type(int id, const MSTR& text);    // edit text change
    void Enter(int id, const MSTR& text);   // custom edit text + Enter
    void Spin(int id, int value);           // spinner change

    bool Ended() const { return ended_; }
    INT_PTR Result() const { return result_; }
    bool IsModal() const { return modal_; }
    std::vector<std::pair<int, MSTR>> Snapshot();
    DialogHandler* Handler() { return handler_; }
    void Init(LPARAM param);
    void Destroy();

private:
    HWND hwnd_;
    DialogTemplate tmpl_;
    DialogHandler* handler_;
    bool modal_;
    MSTR title_;
    int clientWidth_;
    std::map<int, std::unique_ptr<MemDialogItem>> items_;
    std::map<int, std::unique_ptr<MemSpinner>> spinners_;
    bool ended_ = false;
    bool destroyed_ = false;
    INT_PTR result_ = 0;
};

class MemToolbar;
class MemFrame;

class ZYHOST_API MemUI : public IUIServices {
public:
    MemUI();
    ~MemUI() override;

    int MessageBox(HWND parent, const MSTR& text, const MSTR& caption, UINT type) override;
    INT_PTR DialogBox(HINSTANCE module, const DialogTemplate& tmpl, HWND parent, DialogHandler& handler,
                      LPARAM param) override;
    HWND CreateDialog(HINSTANCE module, const DialogTemplate& tmpl, HWND parent, DialogHandler& handler,
                      LPARAM param) override;
    void DestroyWindow(HWND wnd) override;
    HWND AddRollupPage(RollupPanel panel, const DialogTemplate& tmpl, const MSTR& title, DialogHandler& handler,
                       LPARAM param, DWORD flags, int category) override;
    void DeleteRollupPage(HWND page) override;
    IDialog* GetDialog(HWND wnd) override;
    HWND CreateCUIFrameWindow(HWND parent, const MSTR& title, int x, int y, int cx, int cy) override;
    ICUIFrame* GetICUIFrame(HWND frame) override;
    ICustToolbar* CreateCustToolbar(HWND frame, int width, int height) override;
    void DockCUIWindow(HWND frame, int panel) override;
    void RecalcLayout() override;
    void CenterWindow(HWND, HWND) override {}
    INT_PTR ShellExecute(HWND parent, const MSTR& verb, const MSTR& file, const MSTR& params, const MSTR& dir,
                         int show) override;
    BOOL TrackViewPickMultiDlg(HWND parent, std::vector<TrackViewPick>* picks, TrackViewFilter* filter) override;

    // ---- for tests and the command-line host ----
    const std::vector<UiEvent>& Events() const { return events_; }
    void ClearEvents() { events_.clear(); }
    // Prints what is shown to standard output (on by default when it is a terminal).
    void SetEcho(bool on) { echo_ = on; }
    // Answers of the next message boxes, in order; without one a box answers IDOK
    // (IDYES for yes/no boxes).
    void PushMessageBoxAnswer(int answer) { answers_.push_back(answer); }
    // Scripts for the next modal dialogs, in order, run after the dialog's init. A
    // dialog still open after its script (or without one) is closed like with its
    // close button; one the close leaves open is ended with IDCANCEL.
    void PushDialogScript(std::function<void(MemDialog&)> script) { scripts_.push_back(std::move(script)); }
    MemDialog* FindRollup(const MSTR& title);
    std::vector<MemDialog*> Rollups(RollupPanel panel);
    MemDialog* FindDialog(HWND wnd);
    MemToolbar* FindToolbar(const MSTR& frameTitle);
    // Result of ShellExecute (default 42, success).
    void SetShellResult(INT_PTR result) { shellResult_ = result; }
    // Chooses the picks of the track-view pick dialog among the candidates the
    // filter accepted; without a chooser nothing is picked (the dialog is cancelled).
    void SetPickChooser(std::function<std::vector<TrackViewPick>(const std::vector<TrackViewPick>&)> chooser) {
        chooser_ = std::move(chooser);
    }
    // Where the pick dialog finds the scene's animatables (set by the interface).
    void SetPickCandidates(std::function<std::vector<TrackViewPick>()> candidates) {
        candidates_ = std::move(candidates);
    }
    // Sends the window-position message to every frame, as a layout pass does.
    void LayoutFrames();
    // Closes every rollup, modeless dialog and frame (scene reset).
    void Reset();

private:
    HWND NewHandle();
    void Record(UiEvent e);
    std::vector<UiEvent> events_;
    std::deque<int> answers_;
    std::deque<std::function<void(MemDialog&)>> scripts_;
    struct Rollup {
        RollupPanel panel;
        std::unique_ptr<MemDialog> dialog;
    };
    std::vector<Rollup> rollups_;
    std::vector<std::unique_ptr<MemDialog>> modeless_;
    std::vector<std::unique_ptr<MemFrame>> frames_;
    std::vector<std::unique_ptr<MemToolbar>> toolbars_;
    std::function<std::vector<TrackViewPick>(const std::vector<TrackViewPick>&)> chooser_;
    std::function<std::vector<TrackViewPick>()> candidates_;
    INT_PTR shellResult_ = 42;
    UINT_PTR nextHandle_ = 0x100;
    bool echo_;
    bool inLayout_ = false;
    std::vector<MemDialog*> modalStack_;
};

class ZYHOST_API MemFrame : public ICUIFrame {
public:
    MemFrame(HWND hwnd, const MSTR& title) : hwnd_(hwnd), title_(title) {}
    HWND GetHWND() override { return hwnd_; }
    MSTR GetName() override { return title_; }
    void SetContentType(DWORD type) override { contentType_ = type; }
    DWORD GetContentType() override { return contentType_; }
    void SetPosType(DWORD type) override { posType_ = type; }
    DWORD GetPosType() override { return posType_; }
    BOOL IsDocked() override { return docked_; }
    void SetDocked(int panel) { docked_ = true; panel_ = panel; }
    int DockPanel() const { return panel_; }
    void SetHandler(CUIFrameMsgHandler* h) { handler_ = h; }
    int Send(UINT message, UINT_PTR wParam = 0, LPARAM lParam = 0) {
        return handler_ ? handler_->ProcessMessage(message, wParam, lParam) : FALSE;
    }

private:
    HWND hwnd_;
    MSTR title_;
    DWORD contentType_ = 0, posType_ = 0;
    bool docked_ = false;
    int panel_ = 0;
    CUIFrameMsgHandler* handler_ = nullptr;
};

class ZYHOST_API MemToolbar : public ICustToolbar {
public:
    MemToolbar(HWND hwnd, MemFrame* frame) : hwnd_(hwnd), frame_(frame) {}
    HWND GetHWND() override { return hwnd_; }
    void LinkToCUIFrame(HWND frame, CUIFrameMsgHandler* handler) override;
    void AddTool(const ToolItem& item) override;
    int GetNumItems() override { return int(tools_.size()); }
    IDialogItem* GetItem(int id) override;
    ICustEdit* GetICustEdit(int id) override { return GetItem(id); }
    ISpinnerControl* GetISpinner(int id) override;
    const std::vector<ToolItem>& Tools() const { return tools_; }
    MemFrame* Frame() { return frame_; }
    // The artist moves a spinner of the toolbar: the frame's handler is told.
    void Spin(int id, int value);
    void Press(int id);

private:
    HWND hwnd_;
    MemFrame* frame_;
    std::vector<ToolItem> tools_;
    std::map<int, std::unique_ptr<MemDialogItem>> items_;
    std::map<int, std::unique_ptr<MemSpinner>> spinners_;
};
