// The host interface's services: file names, notifications, progress, viewport,
// user interface, script primitives, the class directory and text conversion.
#include <gtest/gtest.h>

#include <algorithm>

#include "mem/ScriptRuntime.h"
#include "scene/SceneBuilder.h"
#include "shared/IArgBasedManager.h"
#include "shared/IArgLinkCtrl.h"
#include "shared/IMaterialAttrib.h"

namespace {

class HostServices : public ::testing::Test {
protected:
    void SetUp() override {
        host.ResetScene();
        host.UI().ClearEvents();
        host.UI().SetEcho(false);
    }
    void TearDown() override { host.ResetScene(); }
    MemInterface& host = TheMemInterface();
    zyscene::SceneBuilder scene;
};

TEST(FileNames, SplitIntoDirectoryBaseAndExtension) {
    struct Case {
        MSTR path, dir, file, ext;
    };
    const std::vector<Case> cases = {
        {L"C:\\Work\\Plane.max", L"C:\\Work\\", L"Plane", L".max"},
        {L"/a/b.c/d", L"/a/b.c/", L"d", L""},
        {L"noext", L"", L"noext", L""},
        {L"dir/archive.tar.gz", L"dir/", L"archive.tar", L".gz"},
        {L"", L"", L"", L""},
    };
    for (const Case& c : cases) {
        MCHAR dir[MAX_PATH], file[MAX_PATH], ext[MAX_PATH];
        BMMSplitFilename(c.path.c_str(), dir, file, ext);
        EXPECT_EQ(MSTR(dir), c.dir) << ToUTF8(c.path);
        EXPECT_EQ(MSTR(file), c.file);
        EXPECT_EQ(MSTR(ext), c.ext);
    }
    // Parts longer than the buffers are cut, never overrun.
    MSTR longName(400, L'x');
    MCHAR file[MAX_PATH];
    BMMSplitFilename(longName.c_str(), nullptr, file, nullptr);
    EXPECT_EQ(MSTR(file).size(), std::size_t(MAX_PATH - 1));
}

TEST(Text, Utf8AndUtf16Conversions) {
    const MSTR wide = L"a\u00e9\u4e2d\U0001F600";
    EXPECT_EQ(ToUTF8(wide), "a\xc3\xa9\xe4\xb8\xad\xf0\x9f\x98\x80");
    EXPECT_EQ(FromUTF8(ToUTF8(wide)), wide);
    EXPECT_EQ(FromUTF16(ToUTF16(wide)), wide);
    EXPECT_EQ(ToUTF16(L"\U0001F600"), std::u16string(u"\xD83D\xDE00"));
    // Broken input: a lone continuation byte, a cut sequence, an overlong form.
    EXPECT_EQ(FromUTF8("a\x80z"), MSTR(L"a\uFFFDz"));
    EXPECT_EQ(FromUTF8("\xe4\xb8"), MSTR(L"\uFFFD"));
    EXPECT_EQ(FromUTF8("\xc0\xaf"), MSTR(L"\uFFFD"));
}

struct SelectionCounter {
    static void Proc(void* param, NotifyInfo* info) {
        auto* self = static_cast<SelectionCounter*>(param);
        if (info->intcode == NOTIFY_SELECTIONSET_CHANGED) ++self->count;
    }
    int count = 0;
};

TEST_F(HostServices, SelectionNotifiesRegisteredCallbacks) {
    SelectionCounter counter;
    ASSERT_TRUE(RegisterNotification(&SelectionCounter::Proc, &counter, NOTIFY_SELECTIONSET_CHANGED));
    INode* a = scene.Node("a");
    INode* b = scene.Node("b");
    host.SelectNode(b);
    host.SelectNode(a, 0);
    EXPECT_EQ(counter.count, 2);
    ASSERT_EQ(host.GetSelNodeCount(), 2);
    EXPECT_EQ(host.GetSelNode(0), b); // selection order
    EXPECT_TRUE(a->Selected());
    host.DeleteNode(b);
    EXPECT_EQ(host.GetSelNodeCount(), 1);
    EXPECT_TRUE(UnRegisterNotification(&SelectionCounter::Proc, &counter, NOTIFY_SELECTIONSET_CHANGED));
    host.ClearNodeSelection();
    EXPECT_EQ(counter.count, 2);
}

struct TextOverlay : RedrawViewsCallback {
    void proc(Interface* ip) override {
        GraphicsWindow* gw = ip->GetActiveViewExp().getGW();
        gw->setTransform(Matrix3());
        gw->setColor(TEXT_COLOR, 1, 1, 0);
        IPoint3 at(20, 150, 0);
        gw->hText(&at, L"hello");
    }
};

TEST_F(HostServices, RedrawRunsViewportCallbacks) {
    TextOverlay overlay;
    host.RegisterRedrawViewsCallback(&overlay);
    host.SetTime(320); // redraws
    ASSERT_EQ(host.ViewportTexts().size(), 1u);
    EXPECT_EQ(host.ViewportTexts()[0].text, MSTR(L"hello"));
    EXPECT_EQ(host.ViewportTexts()[0].pos.y, 150);
    EXPECT_EQ(host.ViewportTexts()[0].color, Point3(1, 1, 0));
    host.UnRegisterRedrawViewsCallback(&overlay);
    host.RedrawViews(0);
    EXPECT_TRUE(host.ViewportTexts().empty());
}

TEST_F(HostServices, ProgressCanBeCancelled) {
    host.SetProgressHook([this](int pct) {
        if (pct >= 50) host.SetCancel(TRUE);
    });
    host.ProgressStart(L"Exporting scene...", TRUE, nullptr, nullptr);
    int steps = 0;
    for (int pct = 0; pct <= 100 && !host.GetCancel(); pct += 25, ++steps) host.ProgressUpdate(pct);
    host.ProgressEnd();
    EXPECT_EQ(steps, 3);
    EXPECT_FALSE(host.ProgressActive());
    EXPECT_EQ(host.ProgressTitles().back(), MSTR(L"Exporting scene..."));
    host.ProgressStart(L"next", TRUE, nullptr, nullptr);
    EXPECT_FALSE(host.GetCancel()); // a new progress starts uncancelled
    host.ProgressEnd();
}

TEST_F(HostServices, MessageBoxesAreRecordedAndAnswered) {
    IUIServices& ui = host.GetUIServices();
    host.UI().PushMessageBoxAnswer(IDNO);
    EXPECT_EQ(ui.MessageBox(host.GetMAXHWnd(), L"Sure?", L"Question", MB_YESNO), IDNO);
    EXPECT_EQ(ui.MessageBox(nullptr, L"Can't find some bones!", L"Error", MB_ICONWARNING), IDOK);
    ASSERT_EQ(host.UI().Events().size(), 2u);
    const UiEvent& e = host.UI().Events()[1];
    EXPECT_EQ(e.kind, UiEvent::MessageBoxShown);
    EXPECT_EQ(e.caption, MSTR(L"Error"));
    EXPECT_EQ(e.text, MSTR(L"Can't find some bones!"));
    EXPECT_EQ(e.flags, MB_ICONWARNING);
}

// A dialog procedure: fills the edit at init, OK ends with 1, "Count" counts.
struct CountingDialog : DialogHandler {
    void OnInit(IDialog& dlg, LPARAM) override { dlg.GetItem(1049)->SetText(L"Error: x\r\n\r\n"); }
    void OnCommand(IDialog& dlg, int id, int code) override {
        if (id == IDOK) dlg.End(IDOK);
        if (id == 1005 && code == BN_CLICKED) ++presses;
        if (id == 1006 && code == LBN_DBLCLK) doubleClicked = dlg.GetItem(1006)->GetCurSel();
    }
    int presses = 0;
    int doubleClicked = -1;
};

ControlSpec Spec(int id, ControlKind kind, const MSTR& text = MSTR()) {
    ControlSpec c;
    c.id = id;
    c.kind = kind;
    c.text = text;
    return c;
}

DialogTemplate ErrorsTemplate() {
    DialogTemplate t;
    t.resourceId = 115;
    t.caption = L"Errors";
    t.controls = {Spec(1049, ControlKind::Edit), Spec(IDOK, ControlKind::Button, L"OK"),
                  Spec(1005, ControlKind::Button, L"Count"), Spec(1006, ControlKind::ListBox)};
    return t;
}

ToolItem Tool(int type, int id, int width, const MSTR& windowClass = MSTR()) {
    ToolItem t;
    t.type = type;
    t.id = id;
    t.width = width;
    t.windowClass = windowClass;
    return t;
}

TEST_F(HostServices, ModalDialogsRunTheirScripts) {
    CountingDialog handler;
    host.UI().PushDialogScript([](MemDialog& dlg) {
        dlg.Press(1005);
        dlg.Press(1005);
        dlg.Press(IDOK);
    });
    EXPECT_EQ(host.GetUIServices().DialogBox(nullptr, ErrorsTemplate(), host.GetMAXHWnd(), handler), IDOK);
    EXPECT_EQ(handler.presses, 2);
    const UiEvent& e = host.UI().Events().back();
    EXPECT_EQ(e.kind, UiEvent::DialogClosed);
    EXPECT_EQ(e.caption, MSTR(L"Errors"));
    auto edit = std::find_if(e.controls.begin(), e.controls.end(), [](const auto& c) { return c.first == 1049; });
    ASSERT_NE(edit, e.controls.end());
    EXPECT_EQ(edit->second, MSTR(L"Error: x\r\n\r\n"));

    // Without a script the dialog is closed with its close button.
    EXPECT_EQ(host.GetUIServices().DialogBox(nullptr, ErrorsTemplate(), nullptr, handler), IDCANCEL);
}

TEST_F(HostServices, RollupsStayOpenAndCanBeDriven) {
    CountingDialog handler;
    DialogTemplate t = ErrorsTemplate();
    HWND page = host.AddRollupPage(nullptr, t, handler, L"Material Tool");
    MemDialog* rollup = host.UI().FindRollup(L"Material Tool");
    ASSERT_NE(rollup, nullptr);
    EXPECT_EQ(host.GetUIServices().GetDialog(page), rollup);
    IDialogItem* list = rollup->GetItem(1006);
    list->AddString(L"default");
    list->AddString(L"Building");
    EXPECT_EQ(list->FindStringExact(L"BUILDING"), 1);
    EXPECT_EQ(list->FindStringExact(L"build"), -1);
    rollup->DoubleClick(1006, 1);
    EXPECT_EQ(handler.doubleClicked, 1);
    host.DeleteRollupPage(page);
    EXPECT_EQ(host.UI().FindRollup(L"Material Tool"), nullptr);
}

// A toolbar in a frame: binds its spinner on the first layout message.
struct ArgToolbar : CUIFrameMsgHandler {
    int ProcessMessage(UINT message, UINT_PTR wParam, LPARAM) override {
        if (message == WM_WINDOWPOSCHANGING && !bound) {
            bound = true;
            toolbar->GetItem(10000)->SetText(L"Argument");
            spinner = toolbar->GetISpinner(10002);
            spinner->LinkToEdit(10001);
            spinner->SetLimits(-1, 999999999, TRUE);
            spinner->SetValue(-1, FALSE);
            ui->DockCUIWindow(frame, 2);
            ui->RecalcLayout();
        }
        if (message == CC_SPINNER_CHANGE && wParam == 10002) lastValue = spinner->GetIVal();
        return TRUE;
    }
    IUIServices* ui = nullptr;
    HWND frame = nullptr;
    ICustToolbar* toolbar = nullptr;
    ISpinnerControl* spinner = nullptr;
    bool bound = false;
    int lastValue = -100;
};

TEST_F(HostServices, ToolbarSpinnerReachesTheFrameHandler) {
    IUIServices& ui = host.GetUIServices();
    ArgToolbar handler;
    handler.ui = &ui;
    handler.frame = ui.CreateCUIFrameWindow(host.GetMAXHWnd(), L"ArgBased Toolbar", 0, 0, 250, 100);
    handler.toolbar = ui.CreateCustToolbar(handler.frame, 250, 100);
    handler.toolbar->LinkToCUIFrame(handler.frame, &handler);
    handler.toolbar->AddTool(Tool(CTB_STATUS, 10000, 70));
    handler.toolbar->AddTool(Tool(CTB_OTHER, 10001, 50, L"CustEdit"));
    handler.toolbar->AddTool(Tool(CTB_OTHER, 10002, 16, L"SpinnerControl"));
    host.UI().LayoutFrames();
    ASSERT_TRUE(handler.bound);
    EXPECT_TRUE(ui.GetICUIFrame(handler.frame)->IsDocked());
    EXPECT_EQ(handler.toolbar->GetItem(10000)->GetText(), MSTR(L"Argument"));
    MemToolbar* tb = host.UI().FindToolbar(L"ArgBased Toolbar");
    ASSERT_NE(tb, nullptr);
    tb->Spin(10002, 3);
    EXPECT_EQ(handler.lastValue, 3);
    tb->Spin(10002, -7); // clamped to the limits
    EXPECT_EQ(handler.lastValue, -1);
}

struct MaterialsOnly : TrackViewFilter {
    BOOL proc(Animatable* anim, Animatable*, int) override { return anim->SuperClassID() == MATERIAL_CLASS_ID; }
};

TEST_F(HostServices, TrackViewPickOffersWhatTheFilterAccepts) {
    StdMat2* a = scene.StandardMaterial("a");
    StdMat2* b = scene.StandardMaterial("b");
    INode* n = scene.Box("box");
    n->SetMtl(scene.MultiMaterial("multi", {a, b}));
    std::size_t offered = 0;
    host.UI().SetPickChooser([&](const std::vector<TrackViewPick>& candidates) {
        offered = candidates.size();
        return std::vector<TrackViewPick>{candidates.front()};
    });
    MaterialsOnly filter;
    std::vector<TrackViewPick> picks;
    ASSERT_TRUE(host.TrackViewPickMultiDlg(host.GetMAXHWnd(), &picks, &filter));
    EXPECT_EQ(offered, 3u); // a, b and the multi material, each once
    ASSERT_EQ(picks.size(), 1u);
    EXPECT_EQ(picks[0].anim, a);
    host.UI().SetPickChooser(nullptr);
    EXPECT_FALSE(host.TrackViewPickMultiDlg(host.GetMAXHWnd(), &picks, &filter));
}

def_visible_primitive(HostTestTwice, "HostTestTwice");
Value* HostTestTwice_cf(Value** arg_list, int count) {
    check_arg_count(HostTestTwice, 1, count);
    return Integer::intern(2 * arg_list[0]->to_int());
}

TEST_F(HostServices, ScriptPrimitivesAndValues) {
    ASSERT_NE(GetPrimitiveRegistry().Find(L"HostTestTwice"), nullptr);
    EXPECT_EQ(CallPrimitive(L"HostTestTwice", {Integer::intern(21)})->to_int(), 42);
    try {
        CallPrimitive(L"HostTestTwice", {Integer::intern(1), Integer::intern(2)});
        FAIL() << "no argument-count error";
    } catch (const ArgCountError& e) {
        EXPECT_EQ(e.function, MSTR(L"HostTestTwice"));
        EXPECT_EQ(e.wanted, 1);
        EXPECT_EQ(e.got, 2);
        EXPECT_EQ(e.Message(), MSTR(L"Wrong number of arguments in call to HostTestTwice: got 2, expected 1"));
    }
    EXPECT_THROW(CallPrimitive(L"NoSuchFunction", {}), MAXScriptException);

    INode* node = scene.Node("Box01");
    Value* v = MAXNode::intern(node);
    EXPECT_EQ(v->to_node(), node);
    EXPECT_EQ(v->to_reftarg(), node);
    EXPECT_EQ(v->describe(), MSTR(L"$Box01"));
    EXPECT_EQ(undefined.to_node(), nullptr);
    EXPECT_EQ(MAXMaterial::intern(nullptr), &undefined);
    EXPECT_THROW(Integer::intern(3)->to_node(), ConversionError);
    EXPECT_EQ(String(L"abc").to_string(), MSTR(L"abc"));
    EXPECT_GT(LiveScriptValues(), 0u);
    CollectScriptGarbage();
    EXPECT_EQ(LiveScriptValues(), 0u);
}

struct PluginDesc : ClassDesc2 {
    int IsPublic() override { return 1; }
    void* Create(BOOL) override { return NewDefaultFloatController(); }
    const MCHAR* ClassName() override { return L"Plug-in Float"; }
    SClass_ID SuperClassID() override { return CTRL_FLOAT_CLASS_ID; }
    Class_ID ClassID() override { return Class_ID(0x1b0625f8, 0x361664d0); }
    const MCHAR* Category() override { return L""; }
    const MCHAR* InternalName() override { return L"ArgBased Float"; }
};

TEST_F(HostServices, PluginClassesJoinTheDirectory) {
    ClassDirectory& dir = host.GetClassDirectory();
    PluginDesc desc;
    const int before = dir.Count();
    ASSERT_TRUE(dir.AddClass(&desc));
    EXPECT_FALSE(dir.AddClass(&desc));
    EXPECT_EQ(dir.Count(), before + 1);
    EXPECT_EQ(dir.FindClassByName(L"ArgBased Float"), &desc);
    auto* c = static_cast<Control*>(CreateInstance(CTRL_FLOAT_CLASS_ID, Class_ID(0x1b0625f8, 0x361664d0)));
    ASSERT_NE(c, nullptr);
    c->DeleteMe();
    dir.RemoveClass(&desc);
    EXPECT_EQ(CreateInstance(CTRL_FLOAT_CLASS_ID, Class_ID(0x1b0625f8, 0x361664d0)), nullptr);
}

TEST_F(HostServices, DirectoriesAndFilePath) {
    host.SetDir(APP_PLUGCFG_DIR, L"/opt/zy/plugcfg");
    EXPECT_EQ(MSTR(host.GetDir(APP_PLUGCFG_DIR)), MSTR(L"/opt/zy/plugcfg"));
    EXPECT_EQ(MSTR(host.GetDir(APP_HELP_DIR)), MSTR());
    host.SetCurFilePath(L"C:\\Work\\Plane.max");
    EXPECT_EQ(host.GetCurFileName(), MSTR(L"Plane.max"));
    EXPECT_EQ(GetTicksPerFrame(), 160);
    EXPECT_EQ(TIME_TICKSPERSEC, 4800);
}

} // namespace

namespace {

struct RecordingExporter : SceneExport {
    static inline MSTR lastName;
    static inline int deleted = 0;
    int ExtCount() override { return 1; }
    const MCHAR* Ext(int) override { return L"zym"; }
    const MCHAR* LongDesc() override { return L""; }
    const MCHAR* ShortDesc() override { return L""; }
    const MCHAR* AuthorName() override { return L""; }
    const MCHAR* CopyrightMessage() override { return L""; }
    const MCHAR* OtherMessage1() override { return L""; }
    const MCHAR* OtherMessage2() override { return L""; }
    unsigned int Version() override { return 1; }
    void ShowAbout(HWND) override {}
    int DoExport(const MCHAR* name, ExpInterface*, Interface* ip, BOOL, DWORD) override {
        lastName = name;
        return ip == GetCOREInterface() ? 1 : 0;
    }
    void DeleteThis() override {
        ++deleted;
        delete this;
    }
};

struct ExporterDesc : ClassDesc2 {
    int IsPublic() override { return 1; }
    void* Create(BOOL) override { return new RecordingExporter(); }
    const MCHAR* ClassName() override { return L"Recorder"; }
    SClass_ID SuperClassID() override { return SCENE_EXPORT_CLASS_ID; }
    Class_ID ClassID() override { return Class_ID(0x11, 0x22); }
    const MCHAR* Category() override { return L""; }
};

struct KeptUtility : GUP {
    DWORD Start() override {
        ++starts;
        return GUPRESULT_KEEP;
    }
    void Stop() override { ++stops; }
    void DeleteThis() override {} // the library's single instance
    int starts = 0, stops = 0;
};

struct UtilityDesc : ClassDesc2 {
    int IsPublic() override { return 1; }
    void* Create(BOOL) override { return &utility; }
    const MCHAR* ClassName() override { return L"Kept"; }
    SClass_ID SuperClassID() override { return GUP_CLASS_ID; }
    Class_ID ClassID() override { return Class_ID(0x33, 0x44); }
    const MCHAR* Category() override { return L""; }
    KeptUtility utility;
};

TEST(PluginKinds, ExportersRunByExtensionAndUtilitiesStart) {
    MemInterface& host = TheMemInterface();
    ExporterDesc exporter;
    UtilityDesc utility;
    host.GetClassDirectory().AddClass(&exporter);
    host.GetClassDirectory().AddClass(&utility);

    EXPECT_EQ(host.ExportFile(L"/tmp/Plane.ZYM"), 1);
    EXPECT_EQ(RecordingExporter::lastName, MSTR(L"/tmp/Plane.ZYM"));
    EXPECT_EQ(RecordingExporter::deleted, 1);
    EXPECT_EQ(host.ExportFile(L"/tmp/Plane.obj"), -1);

    host.StartGlobalUtilityPlugins();
    EXPECT_EQ(utility.utility.starts, 1);
    host.StopGlobalUtilityPlugins();
    EXPECT_EQ(utility.utility.stops, 1);
    host.GetClassDirectory().RemoveClass(&exporter);
    host.GetClassDirectory().RemoveClass(&utility);
}

} // namespace
