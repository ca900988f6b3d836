// The in-memory host interface and the global functions of the host API.
#include "mem/MemInterface.h"

#include <algorithm>
#include <cwctype>

#include "maxsdk/Object.h"
#include "mem/ClassDirectory.h"

INode* NewMemNode(MemInterface& host, bool root); // Node.cpp
void SetNodeTarget(INode* node, INode* target);
void ClearNodeTarget(INode* node, INode* gone);

namespace {

template <class F>
void ForEachNode(INode* node, F&& f) {
    if (!node) return;
    f(node);
    for (int i = 0; i < node->NumberOfChildren(); ++i) ForEachNode(node->GetChildNode(i), f);
}

} // namespace

class MemInterface::Viewport : public ViewExp, public GraphicsWindow {
public:
    explicit Viewport(MemInterface& host) : host_(host) {}
    GraphicsWindow* getGW() override { return this; }
    void setTransform(const Matrix3& m) override { tm_ = m; }
    void setColor(ColorType t, float r, float g, float b) override {
        if (t == TEXT_COLOR || t == LINE_COLOR) color_ = Point3(r, g, b);
    }
    void hText(IPoint3* xyz, const MCHAR* s) override {
        host_.viewportTexts_.push_back(ViewportText{xyz ? *xyz : IPoint3(), s ? s : _M(""), color_, tm_});
    }
    int getWinSizeX() override { return 1280; }
    int getWinSizeY() override { return 720; }

private:
    MemInterface& host_;
    Matrix3 tm_;
    Point3 color_{1, 1, 1};
};

// The scene material library holds a reference to each of its materials.
class MemInterface::SceneMtls : public MtlBaseLib, public ReferenceMaker {
public:
    ~SceneMtls() override { DeleteAllRefsFromMe(); }
    int Count() override { return int(mtls_.size()); }
    MtlBase* operator[](int i) override {
        return i >= 0 && i < Count() ? static_cast<MtlBase*>(mtls_[std::size_t(i)]) : nullptr;
    }
    int Add(MtlBase* m) override {
        if (!m) return -1;
        int found = FindMtl(m);
        if (found >= 0) return found;
        mtls_.push_back(nullptr);
        ReplaceReference(Count() - 1, m);
        return Count() - 1;
    }
    void Remove(MtlBase* m) override {
        int i = FindMtl(m);
        if (i < 0) return;
        DeleteReference(i);
        mtls_.erase(mtls_.begin() + i);
    }
    int FindMtl(MtlBase* m) override {
        auto it = std::find(mtls_.begin(), mtls_.end(), static_cast<RefTargetHandle>(m));
        return it == mtls_.end() ? -1 : int(it - mtls_.begin());
    }
    void Clear() {
        DeleteAllRefsFromMe();
        mtls_.clear();
    }
    int NumRefs() override { return Count(); }
    RefTargetHandle GetReference(int i) override { return (*this)[i]; }
    // A material deleted elsewhere leaves the library.
    RefResult NotifyRefChanged(const Interval&, RefTargetHandle hTarget, PartID&, RefMessage message, BOOL) override {
        if (message == REFMSG_TARGET_DELETED) std::erase(mtls_, hTarget);
        return REF_SUCCEED;
    }

protected:
    void SetReference(int i, RefTargetHandle rtarg) override {
        if (i >= 0 && i < Count()) mtls_[std::size_t(i)] = rtarg;
    }

private:
    std::vector<RefTargetHandle> mtls_; // targets: a dying material is no longer a MtlBase
};

class MemInterface::MtlParams : public IMtlParams {
public:
    explicit MtlParams(MemInterface& host) : host_(host) {}
    HWND AddRollupPage(HINSTANCE, const DialogTemplate& tmpl, DialogHandler& handler, const MSTR& title,
                       LPARAM param, DWORD flags, int category) override {
        return host_.ui_.AddRollupPage(RollupPanel::MaterialEditor, tmpl, title, handler, param, flags, category);
    }
    void DeleteRollupPage(HWND page) override { host_.ui_.DeleteRollupPage(page); }
    TimeValue GetTime() override { return host_.GetTime(); }
    void MtlChanged() override {}
    HWND GetMtlEditorHWnd() override { return reinterpret_cast<HWND>(UINT_PTR(2)); }

private:
    MemInterface& host_;
};

MemInterface::MemInterface()
    : viewport_(std::make_unique<Viewport>(*this)), sceneMtls_(std::make_unique<SceneMtls>()),
      mtlParams_(std::make_unique<MtlParams>(*this)), classes_(std::make_unique<MemClassDirectory>()) {
    root_ = NewMemNode(*this, true);
    root_->SetName(_M("Scene Root"));
    ui_.SetPickCandidates([this] {
        std::vector<TrackViewPick> out;
        auto addMtl = [&out](auto&& self, Mtl* m, ReferenceTarget* client, int sub) -> void {
            if (!m) return;
            out.push_back(TrackViewPick{m, client, sub});
            for (int i = 0; i < m->NumSubMtls(); ++i) self(self, m->GetSubMtl(i), m, i);
        };
        for (int i = 0; i < sceneMtls_->Count(); ++i) {
            MtlBase* m = (*sceneMtls_)[i];
            if (m && m->SuperClassID() == MATERIAL_CLASS_ID) addMtl(addMtl, static_cast<Mtl*>(m), nullptr, i);
            else if (m) out.push_back(TrackViewPick{m, nullptr, i});
        }
        ForEachNode(root_, [&](INode* n) {
            if (n == root_) return;
            out.push_back(TrackViewPick{n, nullptr, 0});
            if (n->GetObjectRef()) out.push_back(TrackViewPick{n->GetObjectRef(), n, 2});
            if (n->GetTMController()) out.push_back(TrackViewPick{n->GetTMController(), n, 1});
            addMtl(addMtl, n->GetMtl(), n, 3);
        });
        // A material shared by several owners is offered once.
        std::vector<TrackViewPick> unique;
        for (const TrackViewPick& p : out)
            if (std::none_of(unique.begin(), unique.end(), [&](const TrackViewPick& u) { return u.anim == p.anim; }))
                unique.push_back(p);
        return unique;
    });
}

MemInterface::~MemInterface() {
    resetting_ = true;
    sceneMtls_->Clear();
    root_->DeleteMe();
    root_ = nullptr;
}

INode* MemInterface::GetINodeByName(const MCHAR* name) {
    if (!name) return nullptr;
    INode* found = nullptr;
    ForEachNode(root_, [&](INode* n) {
        if (!found && n != root_ && MSTR(n->GetName()) == name) found = n;
    });
    return found;
}

void MemInterface::SetTime(TimeValue t, BOOL redraw) {
    time_ = t;
    if (redraw) RedrawViews(t);
}

const MCHAR* MemInterface::GetDir(int which) {
    static const MSTR empty;
    auto it = dirs_.find(which);
    return it == dirs_.end() ? empty.c_str() : it->second.c_str();
}

void MemInterface::SetDir(int which, const MSTR& dir) { dirs_[which] = dir; }

void MemInterface::SetCurFilePath(const MSTR& path) {
    filePath_ = path;
    MSTR file, ext;
    SplitFilename(path, nullptr, &file, &ext);
    fileName_ = file + ext;
}

BOOL MemInterface::ProgressStart(const MCHAR* title, BOOL, ProgressFn fn, void* arg) {
    progressActive_ = true;
    cancel_ = false;
    progressTitles_.push_back(title ? title : _M(""));
    if (fn) fn(arg);
    return TRUE;
}

void MemInterface::ProgressUpdate(int pct, BOOL, const MCHAR* title) {
    progressPercents_.push_back(pct);
    if (title) progressTitles_.push_back(title);
    if (progressHook_) progressHook_(pct);
}

void MemInterface::ProgressEnd() { progressActive_ = false; }

INode* MemInterface::GetSelNode(int i) {
    return i >= 0 && i < GetSelNodeCount() ? selection_[std::size_t(i)] : nullptr;
}

void MemInterface::SelectNode(INode* node, int clearSel) {
    if (clearSel) selection_.clear();
    if (node && !IsSelected(node)) selection_.push_back(node);
    BroadcastNotification(NOTIFY_SELECTIONSET_CHANGED);
}

void MemInterface::DeSelectNode(INode* node) {
    std::erase(selection_, node);
    BroadcastNotification(NOTIFY_SELECTIONSET_CHANGED);
}

void MemInterface::ClearNodeSelection(BOOL redraw) {
    selection_.clear();
    BroadcastNotification(NOTIFY_SELECTIONSET_CHANGED);
    if (redraw) RedrawViews(time_);
}

bool MemInterface::IsSelected(INode* node) const {
    return std::find(selection_.begin(), selection_.end(), node) != selection_.end();
}

void MemInterface::NodeGone(INode* node) {
    std::erase(selection_, node);
    if (root_ && !resetting_) ForEachNode(root_, [node](INode* n) { ClearNodeTarget(n, node); });
}

MtlBaseLib& MemInterface::GetSceneMtls() { return *sceneMtls_; }

void MemInterface::RegisterRedrawViewsCallback(RedrawViewsCallback* cb) {
    if (cb && std::find(redrawCallbacks_.begin(), redrawCallbacks_.end(), cb) == redrawCallbacks_.end())
        redrawCallbacks_.push_back(cb);
}

void MemInterface::UnRegisterRedrawViewsCallback(RedrawViewsCallback* cb) { std::erase(redrawCallbacks_, cb); }

void MemInterface::RedrawViews(TimeValue) {
    ++redraws_;
    viewportTexts_.clear();
    std::vector<RedrawViewsCallback*> callbacks = redrawCallbacks_;
    for (RedrawViewsCallback* cb : callbacks) cb->proc(this);
}

ViewExp& MemInterface::GetActiveViewExp() { return *viewport_; }

HWND MemInterface::AddRollupPage(HINSTANCE, const DialogTemplate& tmpl, DialogHandler& handler, const MSTR& title,
                                 LPARAM param, DWORD flags, int category) {
    return ui_.AddRollupPage(RollupPanel::CommandPanel, tmpl, title, handler, param, flags, category);
}

void MemInterface::DeleteRollupPage(HWND page) { ui_.DeleteRollupPage(page); }

BOOL MemInterface::TrackViewPickMultiDlg(HWND parent, std::vector<TrackViewPick>* picks, TrackViewFilter* filter) {
    return ui_.TrackViewPickMultiDlg(parent, picks, filter);
}

IMtlParams& MemInterface::GetMtlParams() { return *mtlParams_; }

ClassDirectory& MemInterface::GetClassDirectory() { return *classes_; }

void* MemInterface::CreateInstance(SClass_ID superID, Class_ID classID) {
    ClassDesc* cd = classes_->FindClass(superID, classID);
    return cd ? cd->Create(FALSE) : nullptr;
}

INode* MemInterface::CreateNode(const MSTR& name, Object* obj, INode* parent) {
    INode* node = NewMemNode(*this, false);
    node->SetName(name.c_str());
    if (obj) node->SetObjectRef(obj);
    (parent ? parent : root_)->AttachChild(node, 0);
    return node;
}

void MemInterface::DeleteNode(INode* node) {
    if (node && node != root_) node->DeleteMe();
}

void MemInterface::SetNodeTarget(INode* node, INode* target) {
    if (node) ::SetNodeTarget(node, target);
}

void MemInterface::ResetScene() {
    BroadcastNotification(NOTIFY_SYSTEM_PRE_RESET);
    resetting_ = true;
    selection_.clear();
    sceneMtls_->Clear();
    root_->DeleteMe();
    root_ = NewMemNode(*this, true);
    root_->SetName(_M("Scene Root"));
    resetting_ = false;
    ui_.Reset();
    time_ = 0;
    animating_ = false;
    cancel_ = false;
    progressActive_ = false;
    progressTitles_.clear();
    progressPercents_.clear();
    progressHook_ = nullptr;
    viewportTexts_.clear();
    filePath_.clear();
    fileName_.clear();
    BroadcastNotification(NOTIFY_SYSTEM_POST_RESET);
}

int MemInterface::ExportFile(const MSTR& path, BOOL suppressPrompts) {
    MSTR ext;
    SplitFilename(path, nullptr, nullptr, &ext);
    if (!ext.empty()) ext.erase(0, 1);
    auto lower = [](MSTR s) {
        for (wchar_t& c : s) c = wchar_t(std::towlower(wint_t(c)));
        return s;
    };
    for (int i = 0; i < classes_->Count(); ++i) {
        ClassDesc* cd = classes_->Get(i);
        if (cd->SuperClassID() != SCENE_EXPORT_CLASS_ID) continue;
        auto* exporter = static_cast<SceneExport*>(cd->Create(FALSE));
        if (!exporter) continue;
        bool handles = false;
        for (int e = 0; e < exporter->ExtCount() && !handles; ++e)
            handles = exporter->Ext(e) && lower(exporter->Ext(e)) == lower(ext);
        int result = -1;
        if (handles) {
            ExpInterface ei;
            result = exporter->DoExport(path.c_str(), &ei, this, suppressPrompts, 0);
        }
        exporter->DeleteThis();
        if (handles) return result;
    }
    return -1;
}

void MemInterface::StartGlobalUtilityPlugins() {
    for (int i = 0; i < classes_->Count(); ++i) {
        ClassDesc* cd = classes_->Get(i);
        if (cd->SuperClassID() != GUP_CLASS_ID) continue;
        auto* gup = static_cast<GUP*>(cd->Create(FALSE));
        if (!gup || std::find(gups_.begin(), gups_.end(), gup) != gups_.end()) continue;
        if (gup->Start() == GUPRESULT_KEEP) gups_.push_back(gup);
        else gup->DeleteThis();
    }
    ui_.LayoutFrames();
}

void MemInterface::StopGlobalUtilityPlugins() {
    std::vector<GUP*> gups;
    gups.swap(gups_);
    for (GUP* g : gups) {
        g->Stop();
        g->DeleteThis();
    }
}

// ---- global functions of the host API ----

Interface* GUP::Max() { return GetCOREInterface(); }


// Created on first use and never destroyed: at process exit the plug-in code that
// scene objects and dialogs run may already be gone.
MemInterface& TheMemInterface() {
    static MemInterface* host = new MemInterface();
    return *host;
}

Interface* GetCOREInterface() { return &TheMemInterface(); }

BOOL Animating() { return TheMemInterface().GetAnimateButtonState(); }

int GetTicksPerFrame() { return TheMemInterface().ticksPerFrame_; }

void SetTicksPerFrame(int ticks) {
    if (ticks > 0) TheMemInterface().ticksPerFrame_ = ticks;
}

void* CreateInstance(SClass_ID superID, Class_ID classID) { return TheMemInterface().CreateInstance(superID, classID); }

int RegisterNotification(NOTIFYPROC proc, void* param, int code) {
    if (!proc) return FALSE;
    TheMemInterface().notifications_.push_back(MemInterface::Registration{proc, param, code});
    return TRUE;
}

int UnRegisterNotification(NOTIFYPROC proc, void* param, int code) {
    auto& list = TheMemInterface().notifications_;
    auto it = std::find_if(list.begin(), list.end(), [&](const MemInterface::Registration& r) {
        return r.proc == proc && r.param == param && r.code == code;
    });
    if (it == list.end()) return FALSE;
    list.erase(it);
    return TRUE;
}

void BroadcastNotification(int code, void* callParam) {
    std::vector<MemInterface::Registration> list = TheMemInterface().notifications_;
    NotifyInfo info{code, callParam};
    for (const MemInterface::Registration& r : list)
        if (r.code == code) r.proc(r.param, &info);
}

void SplitFilename(const MSTR& name, MSTR* path, MSTR* file, MSTR* ext) {
    std::size_t slash = name.find_last_of(_M("\\/"));
    std::size_t baseStart = slash == MSTR::npos ? 0 : slash + 1;
    std::size_t dot = name.find_last_of(L'.');
    if (dot == MSTR::npos || dot < baseStart) dot = name.size();
    if (path) *path = name.substr(0, baseStart);
    if (file) *file = name.substr(baseStart, dot - baseStart);
    if (ext) *ext = name.substr(dot);
}

void BMMSplitFilename(const MCHAR* name, MCHAR* path, MCHAR* file, MCHAR* ext) {
    MSTR p, f, e;
    SplitFilename(name ? name : _M(""), &p, &f, &e);
    auto copy = [](const MSTR& s, MCHAR* out) {
        if (!out) return;
        std::size_t n = std::min<std::size_t>(s.size(), MAX_PATH - 1);
        s.copy(out, n);
        out[n] = 0;
    };
    copy(p, path);
    copy(f, file);
    copy(e, ext);
}
