#pragma once
// The host's core interface (GetCOREInterface), notifications and viewports.
#include "maxsdk/Box3.h"
#include "maxsdk/INode.h"
#include "maxsdk/Mtl.h"
#include "maxsdk/UI.h"

class ClassDirectory;
class IMtlParams;

// Directories of GetDir.
constexpr int APP_SCENE_DIR = 1;
constexpr int APP_EXPORT_DIR = 3;
constexpr int APP_HELP_DIR = 4;
constexpr int APP_PLUGCFG_DIR = 9;
constexpr int APP_TEMP_DIR = 14;
constexpr int APP_ICONS_DIR = 30;

constexpr int MAX_PATH = 260;

// Notifications.
constexpr int NOTIFY_SYSTEM_PRE_RESET = 0x07;
constexpr int NOTIFY_SYSTEM_POST_RESET = 0x08;
constexpr int NOTIFY_FILE_PRE_OPEN = 0x0B;
constexpr int NOTIFY_FILE_POST_OPEN = 0x0C;
constexpr int NOTIFY_SELECTIONSET_CHANGED = 0x12;
constexpr int NOTIFY_SYSTEM_SHUTDOWN = 0x14;

struct NotifyInfo {
    int intcode = 0;
    void* callParam = nullptr;
};
using NOTIFYPROC = void (*)(void* param, NotifyInfo* info);

// Function ProgressStart runs once before showing the bar (may be null).
using ProgressFn = DWORD (*)(void* arg);

enum ColorType { LINE_COLOR = 0, TEXT_COLOR = 1 };

// Drawing into one viewport.
class ZYHOST_API GraphicsWindow {
public:
    virtual ~GraphicsWindow() = default;
    virtual void setTransform(const Matrix3& m) = 0;
    virtual void setColor(ColorType t, float r, float g, float b) = 0;
    // Text at a window position (x, y in pixels).
    virtual void hText(IPoint3* xyz, const MCHAR* s) = 0;
    virtual int getWinSizeX() = 0;
    virtual int getWinSizeY() = 0;
};

class ZYHOST_API ViewExp {
public:
    virtual ~ViewExp() = default;
    virtual GraphicsWindow* getGW() = 0;
};

class ZYHOST_API RedrawViewsCallback {
public:
    virtual ~RedrawViewsCallback() = default;
    // Called after every viewport redraw.
    virtual void proc(Interface* ip) = 0;
};

// The material editor's side of a material's or attribute's parameter dialog.
class ZYHOST_API IMtlParams {
public:
    virtual ~IMtlParams() = default;
    virtual HWND AddRollupPage(HINSTANCE module, const DialogTemplate& tmpl, DialogHandler& handler,
                               const MSTR& title, LPARAM param = 0, DWORD flags = 0,
                               int category = ROLLUP_CAT_STANDARD) = 0;
    virtual void DeleteRollupPage(HWND page) = 0;
    virtual TimeValue GetTime() = 0;
    virtual void MtlChanged() = 0;
    virtual HWND GetMtlEditorHWnd() = 0;
};

class ZYHOST_API Interface {
public:
    virtual ~Interface() = default;

    virtual INode* GetRootNode() = 0;
    virtual INode* GetINodeByName(const MCHAR* name) = 0;

    // The time slider.
    virtual TimeValue GetTime() = 0;
    virtual void SetTime(TimeValue t, BOOL redraw = TRUE) = 0;
    virtual Interval GetAnimRange() = 0;
    virtual void SetAnimRange(Interval range) = 0;
    // Animation (auto-key) mode.
    virtual BOOL GetAnimateButtonState() = 0;
    virtual void SetAnimateButtonState(BOOL onOff) = 0;

    // The open scene file (empty when none).
    virtual const MSTR& GetCurFilePath() = 0;
    virtual const MSTR& GetCurFileName() = 0;
    virtual const MCHAR* GetDir(int which) = 0;

    // Progress bar with a cancel button.
    virtual BOOL ProgressStart(const MCHAR* title, BOOL dispBar = TRUE, ProgressFn fn = nullptr, void* arg = nullptr) = 0;
    virtual void ProgressUpdate(int pct, BOOL showPct = TRUE, const MCHAR* title = nullptr) = 0;
    virtual void ProgressEnd() = 0;
    virtual BOOL GetCancel() = 0;
    virtual void SetCancel(BOOL sw) = 0;

    virtual HWND GetMAXHWnd() = 0;

    // Selection, in selection order.
    virtual int GetSelNodeCount() = 0;
    virtual INode* GetSelNode(int i) = 0;
    virtual void SelectNode(INode* node, int clearSel = 1) = 0;
    virtual void DeSelectNode(INode* node) = 0;
    virtual void ClearNodeSelection(BOOL redraw = TRUE) = 0;

    virtual MtlBaseLib& GetSceneMtls() = 0;

    virtual void RegisterRedrawViewsCallback(RedrawViewsCallback* cb) = 0;
    virtual void UnRegisterRedrawViewsCallback(RedrawViewsCallback* cb) = 0;
    virtual void RedrawViews(TimeValue t) = 0;
    virtual ViewExp& GetActiveViewExp() = 0;

    // Command-panel rollups (motion panel, utility panel).
    virtual HWND AddRollupPage(HINSTANCE module, const DialogTemplate& tmpl, DialogHandler& handler,
                               const MSTR& title, LPARAM param = 0, DWORD flags = 0,
                               int category = ROLLUP_CAT_STANDARD) = 0;
    virtual void DeleteRollupPage(HWND page) = 0;
    virtual BOOL TrackViewPickMultiDlg(HWND parent, std::vector<TrackViewPick>* picks, TrackViewFilter* filter) = 0;

    virtual IUIServices& GetUIServices() = 0;
    virtual IMtlParams& GetMtlParams() = 0;
    virtual ClassDirectory& GetClassDirectory() = 0;
    // A new object of a registered class, or null.
    virtual void* CreateInstance(SClass_ID superID, Class_ID classID) = 0;
};

ZYHOST_API Interface* GetCOREInterface();

ZYHOST_API int RegisterNotification(NOTIFYPROC proc, void* param, int code);
ZYHOST_API int UnRegisterNotification(NOTIFYPROC proc, void* param, int code);
ZYHOST_API void BroadcastNotification(int code, void* callParam = nullptr);

// Splits a path into directory (with its trailing separator), base name and
// extension (with its dot); both separators \ and / count. Each output buffer, when
// not null, holds MAX_PATH characters; longer parts are cut.
ZYHOST_API void BMMSplitFilename(const MCHAR* name, MCHAR* path, MCHAR* file, MCHAR* ext);
ZYHOST_API void SplitFilename(const MSTR& name, MSTR* path, MSTR* file, MSTR* ext);

// Creates an object through the class directory (null for an unknown class).
ZYHOST_API void* CreateInstance(SClass_ID superID, Class_ID classID);
