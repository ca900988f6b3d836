#pragma once
// The in-memory host: the Interface singleton (GetCOREInterface) with a scene,
// the class directory, the recorded user interface and the viewport. Entry points
// for tests and the command-line host are the members below the Interface ones.
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "maxsdk/ClassDesc.h"
#include "maxsdk/Interface.h"
#include "maxsdk/PluginBases.h"
#include "mem/MemUI.h"

class MemClassDirectory;

// A text drawn into the viewport by a redraw callback.
struct ViewportText {
    IPoint3 pos;
    MSTR text;
    Point3 color;
    Matrix3 transform;
};

class ZYHOST_API MemInterface : public Interface {
public:
    MemInterface();
    ~MemInterface() override;

    // ---- Interface ----
    INode* GetRootNode() override { return root_; }
    INode* GetINodeByName(const MCHAR* name) override;
    TimeValue GetTime() override { return time_; }
    void SetTime(TimeValue t, BOOL redraw = TRUE) override;
    Interval GetAnimRange() override { return animRange_; }
    void SetAnimRange(Interval range) override { animRange_ = range; }
    BOOL GetAnimateButtonState() override { return animating_; }
    void SetAnimateButtonState(BOOL onOff) override { animating_ = onOff != 0; }
    const MSTR& GetCurFilePath() override { return filePath_; }
    const MSTR& GetCurFileName() override { return fileName_; }
    const MCHAR* GetDir(int which) override;
    BOOL ProgressStart(const MCHAR* title, BOOL dispBar = TRUE, ProgressFn fn = nullptr, void* arg = nullptr) override;
    void ProgressUpdate(int pct, BOOL showPct = TRUE, const MCHAR* title = nullptr) override;
    void ProgressEnd() override;
    BOOL GetCancel() override { return cancel_; }
    void SetCancel(BOOL sw) override { cancel_ = sw != 0; }
    HWND GetMAXHWnd() override { return reinterpret_cast<HWND>(UINT_PTR(1)); }
    int GetSelNodeCount() override { return int(selection_.size()); }
    INode* GetSelNode(int i) override;
    void SelectNode(INode* node, int clearSel = 1) override;
    void DeSelectNode(INode* node) override;
    void ClearNodeSelection(BOOL redraw = TRUE) override;
    MtlBaseLib& GetSceneMtls() override;
    void RegisterRedrawViewsCallback(RedrawViewsCallback* cb) override;
    void UnRegisterRedrawViewsCallback(RedrawViewsCallback* cb) override;
    void RedrawViews(TimeValue t) override;
    ViewExp& GetActiveViewExp() override;
    HWND AddRollupPage(HINSTANCE module, const DialogTemplate& tmpl, DialogHandler& handler, const MSTR& title,
                       LPARAM param = 0, DWORD flags = 0, int category = ROLLUP_CAT_STANDARD) override;
    void DeleteRollupPage(HWND page) override;
    BOOL TrackViewPickMultiDlg(HWND parent, std::vector<TrackViewPick>* picks, TrackViewFilter* filter) override;
    IUIServices& GetUIServices() override { return ui_; }
    IMtlParams& GetMtlParams() override;
    ClassDirectory& GetClassDirectory() override;
    void* CreateInstance(SClass_ID superID, Class_ID classID) override;

    // ---- scene ----
    // A new node under parent (the root when null) with a PRS transform controller.
    INode* CreateNode(const MSTR& name, Object* obj = nullptr, INode* parent = nullptr);
    // Deletes a node and its subtree.
    void DeleteNode(INode* node);
    // Sets the look-at target reported by INode::GetTarget.
    void SetNodeTarget(INode* node, INode* target);
    // Empties the scene (nodes, materials, selection, callbacks' viewport text, UI,
    // time), keeping registered classes, notifications and directories.
    void ResetScene();
    void SetCurFilePath(const MSTR& path);
    void SetDir(int which, const MSTR& dir);
    MemUI& UI() { return ui_; }

    // ---- plug-ins ----
    // Runs the registered exporter whose extension matches the file's (ignoring
    // case): creates it, calls DoExport and deletes it. Returns DoExport's result,
    // or -1 when no exporter handles the extension.
    int ExportFile(const MSTR& path, BOOL suppressPrompts = TRUE);
    // Starts every registered global utility plug-in; those that ask to stay are
    // kept until StopGlobalUtilityPlugins (call it before unloading libraries).
    void StartGlobalUtilityPlugins();
    void StopGlobalUtilityPlugins();

    // ---- progress, as tests observe it ----
    bool ProgressActive() const { return progressActive_; }
    const std::vector<MSTR>& ProgressTitles() const { return progressTitles_; }
    const std::vector<int>& ProgressPercents() const { return progressPercents_; }
    // Called on every ProgressUpdate (a test may cancel from it).
    void SetProgressHook(std::function<void(int percent)> hook) { progressHook_ = std::move(hook); }

    // ---- viewport ----
    const std::vector<ViewportText>& ViewportTexts() const { return viewportTexts_; }
    int RedrawCount() const { return redraws_; }

    // ---- used by the in-memory classes ----
    bool IsSelected(INode* node) const;
    void NodeGone(INode* node);

private:
    friend int GetTicksPerFrame();
    friend void SetTicksPerFrame(int);
    friend int RegisterNotification(NOTIFYPROC, void*, int);
    friend int UnRegisterNotification(NOTIFYPROC, void*, int);
    friend void BroadcastNotification(int, void*);
    struct Registration {
        NOTIFYPROC proc;
        void* param;
        int code;
    };
    std::vector<Registration> notifications_;
    int ticksPerFrame_ = 160;
    class Viewport;
    class SceneMtls;
    class MtlParams;
    INode* root_ = nullptr;
    TimeValue time_ = 0;
    Interval animRange_{0, 100 * 160};
    bool animating_ = false;
    MSTR filePath_, fileName_;
    std::map<int, MSTR> dirs_;
    bool cancel_ = false;
    bool progressActive_ = false;
    std::vector<MSTR> progressTitles_;
    std::vector<int> progressPercents_;
    std::function<void(int)> progressHook_;
    std::vector<INode*> selection_;
    std::vector<RedrawViewsCallback*> redrawCallbacks_;
    std::vector<ViewportText> viewportTexts_;
    int redraws_ = 0;
    MemUI ui_;
    std::unique_ptr<Viewport> viewport_;
    std::unique_ptr<SceneMtls> sceneMtls_;
    std::unique_ptr<MtlParams> mtlParams_;
    std::unique_ptr<MemClassDirectory> classes_;
    bool resetting_ = false;
    std::vector<GUP*> gups_;
};

// The host singleton, as the concrete in-memory interface.
ZYHOST_API MemInterface& TheMemInterface();
