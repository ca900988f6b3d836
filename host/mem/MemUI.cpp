// Recorded user interface of the in-memory host.
#include "mem/MemUI.h"

#include <cwctype>
#include <iostream>
#include <unistd.h>

#include "maxsdk/Reference.h"

namespace {

bool EqualNoCase(const MSTR& a, const MSTR& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::towlower(wint_t(a[i])) != std::towlower(wint_t(b[i]))) return false;
    return true;
}

} // namespace

// ---- MemDialogItem ----

MSTR MemDialogItem::GetText() {
    // A drop-down list shows its selected entry.
    if (spec_.kind == ControlKind::ComboBox && sel_ >= 0) return items_[std::size_t(sel_)];
    return text_;
}

int MemDialogItem::AddString(const MSTR& text) {
    items_.push_back(text);
    return int(items_.size()) - 1;
}

void MemDialogItem::ResetContent() {
    items_.clear();
    sel_ = -1;
}

MSTR MemDialogItem::GetItemText(int index) {
    return index >= 0 && index < GetCount() ? items_[std::size_t(index)] : MSTR();
}

int MemDialogItem::FindStringExact(const MSTR& text) {
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (EqualNoCase(items_[i], text)) return int(i);
    return -1;
}

// ---- MemSpinner ----

void MemSpinner::SetLimits(int min, int max, BOOL limitCurValue) {
    min_ = min;
    max_ = max;
    limit_ = limitCurValue != 0;
    if (limit_) value_ = value_ < min_ ? min_ : (value_ > max_ ? max_ : value_);
}

void MemSpinner::SetValue(int value, BOOL notify) {
    value_ = value < min_ ? min_ : (value > max_ ? max_ : value);
    if (notify && notify_) notify_();
}

// ---- MemDialog ----

MemDialog::MemDialog(HWND hwnd, const DialogTemplate& tmpl, DialogHandler* handler, bool modal)
    : hwnd_(hwnd), tmpl_(tmpl), handler_(handler), modal_(modal), title_(tmpl.caption), clientWidth_(tmpl.width) {
    for (const ControlSpec& c : tmpl_.controls) {
        if (c.kind == ControlKind::Spinner) {
            int id = c.id;
            spinners_[id] = std::make_unique<MemSpinner>([this, id] {
                if (handler_ && !destroyed_) handler_->OnSpinnerChange(*this, id);
            });
        } else {
            items_[c.id] = std::make_unique<MemDialogItem>(c);
        }
    }
}

IDialogItem* MemDialog::GetItem(int id) {
    auto it = items_.find(id);
    return it == items_.end() ? nullptr : it->second.get();
}

ISpinnerControl* MemDialog::GetISpinner(int id) {
    auto it = spinners_.find(id);
    return it == spinners_.end() ? nullptr : it->second.get();
}

void MemDialog::Init(LPARAM param) {
    if (handler_) handler_->OnInit(*this, param);
}

void MemDialog::Destroy() {
    if (destroyed_) return;
    destroyed_ = true;
    if (handler_) handler_->OnDestroy(*this);
}

void MemDialog::End(INT_PTR result) {
    if (ended_) return;
    ended_ = true;
    result_ = result;
}

void MemDialog::PostClose() {
    if (handler_ && !ended_) handler_->OnClose(*this);
}

void MemDialog::Press(int id) {
    if (ended_ || destroyed_) return;
    if (IDialogItem* item = GetItem(id); item && item->Kind() == ControlKind::CheckBox)
        item->SetCheck(!item->IsChecked());
    if (handler_) handler_->OnCommand(*this, id, BN_CLICKED);
}

void MemDialog::Check(int id, bool on) {
    if (ended_ || destroyed_) return;
    if (IDialogItem* item = GetItem(id)) item->SetCheck(on);
    if (handler_) handler_->OnCommand(*this, id, BN_CLICKED);
}

void MemDialog::Select(int id, int index) {
    if (ended_ || destroyed_) return;
    if (IDialogItem* item = GetItem(id)) item->SetCurSel(index);
    if (handler_) handler_->OnCommand(*this, id, LBN_SELCHANGE);
}

void MemDialog::DoubleClick(int id, int index) {
    if (ended_ || destroyed_) return;
    if (IDialogItem* item = GetItem(id)) item->SetCurSel(index);
    if (handler_) handler_->OnCommand(*this, id, LBN_DBLCLK);
}

void MemDialog::Type(int id, const MSTR& text) {
    if (ended_ || destroyed_) return;
    if (IDialogItem* item = GetItem(id)) item->SetText(text);
    if (handler_) handler_->OnCommand(*this, id, EN_CHANGE);
}

void MemDialog::Enter(int id, const MSTR& text) {
    if (ended_ || destroyed_) return;
    if (IDialogItem* item = GetItem(id)) item->SetText(text);
    if (handler_) handler_->OnCommand(*this, id, EN_CUSTEDIT_ENTER);
}

void MemDialog::Spin(int id, int value) {
    if (ended_ || destroyed_) return;
    auto it = spinners_.find(id);
    if (it == spinners_.end()) return;
    it->second->SetValue(value, FALSE);
    if (IDialogItem* edit = GetItem(it->second->LinkedEdit())) edit->SetText(std::to_wstring(it->second->GetIVal()));
    if (handler_) handler_->OnSpinnerChange(*this, id);
}

std::vector<std::pair<int, MSTR>> MemDialog::Snapshot() {
    std::vector<std::pair<int, MSTR>> out;
    for (auto& [id, item] : items_) out.emplace_back(id, item->GetText());
    return out;
}

// ---- toolbars and frames ----

void MemToolbar::LinkToCUIFrame(HWND, CUIFrameMsgHandler* handler) {
    if (frame_) frame_->SetHandler(handler);
}

void MemToolbar::AddTool(const ToolItem& item) {
    tools_.push_back(item);
    if (item.windowClass == _M("SpinnerControl")) {
        int id = item.id;
        spinners_[id] = std::make_unique<MemSpinner>([this, id] {
            if (frame_) frame_->Send(CC_SPINNER_CHANGE, UINT_PTR(id));
        });
    } else {
        ControlSpec spec;
        spec.id = item.id;
        spec.kind = item.windowClass == _M("CustEdit") ? ControlKind::CustEdit
                    : item.type == CTB_STATUS          ? ControlKind::Static
                                                       : ControlKind::Button;
        spec.text = item.label;
        spec.width = item.width;
        items_[item.id] = std::make_unique<MemDialogItem>(spec);
    }
}

IDialogItem* MemToolbar::GetItem(int id) {
    auto it = items_.find(id);
    return it == items_.end() ? nullptr : it->second.get();
}

ISpinnerControl* MemToolbar::GetISpinner(int id) {
    auto it = spinners_.find(id);
    return it == spinners_.end() ? nullptr : it->second.get();
}

void MemToolbar::Spin(int id, int value) {
    auto it = spinners_.find(id);
    if (it == spinners_.end()) return;
    it->second->SetValue(value, FALSE);
    if (frame_) frame_->Send(CC_SPINNER_CHANGE, UINT_PTR(id));
}

void MemToolbar::Press(int id) {
    if (frame_) frame_->Send(WM_COMMAND, UINT_PTR(id) & 0xffff);
}

// ---- MemUI ----

MemUI::MemUI() : echo_(isatty(1) != 0) {}
MemUI::~MemUI() { Reset(); }

HWND MemUI::NewHandle() { return reinterpret_cast<HWND>(nextHandle_++); }

void MemUI::Record(UiEvent e) {
    if (echo_) {
        std::string caption = ToUTF8(e.caption), text = ToUTF8(e.text);
        switch (e.kind) {
        case UiEvent::MessageBoxShown: std::cout << "[message] " << caption << ": " << text << "\n"; break;
        case UiEvent::DialogClosed:
            std::cout << "[dialog] " << caption << "\n";
            for (const auto& [id, t] : e.controls)
                if (!t.empty()) std::cout << "  " << id << ": " << ToUTF8(t) << "\n";
            break;
        case UiEvent::RollupAdded: std::cout << "[rollup] " << caption << "\n"; break;
        case UiEvent::RollupRemoved: std::cout << "[rollup closed] " << caption << "\n"; break;
        case UiEvent::ShellExecuted: std::cout << "[shell] " << caption << " " << text << "\n"; break;
        case UiEvent::PickShown: std::cout << "[pick] " << text << "\n"; break;
        case UiEvent::FrameCreated: std::cout << "[frame] " << caption << "\n"; break;
        }
        std::cout.flush();
    }
    events_.push_back(std::move(e));
}

int MemUI::MessageBox(HWND, const MSTR& text, const MSTR& caption, UINT type) {
    int answer = (type & 0xf) == MB_YESNO ? IDYES : ((type & 0xf) == MB_ABORTRETRYIGNORE ? IDIGNORE : IDOK);
    if (!answers_.empty()) {
        answer = answers_.front();
        answers_.pop_front();
    }
    Record(UiEvent{UiEvent::MessageBoxShown, caption, text, type, answer, {}});
    return answer;
}

INT_PTR MemUI::DialogBox(HINSTANCE, const DialogTemplate& tmpl, HWND, DialogHandler& handler, LPARAM param) {
    MemDialog dlg(NewHandle(), tmpl, &handler, true);
    modalStack_.push_back(&dlg);
    dlg.Init(param);
    if (!dlg.Ended()) {
        if (!scripts_.empty()) {
            auto script = std::move(scripts_.front());
            scripts_.pop_front();
            script(dlg);
        }
        if (!dlg.Ended()) dlg.PostClose();
        if (!dlg.Ended()) dlg.End(IDCANCEL);
    }
    UiEvent e{UiEvent::DialogClosed, dlg.GetTitle(), MSTR(), 0, dlg.Result(), dlg.Snapshot()};
    dlg.Destroy();
    modalStack_.pop_back();
    Record(std::move(e));
    return dlg.Result();
}

HWND MemUI::CreateDialog(HINSTANCE, const DialogTemplate& tmpl, HWND, DialogHandler& handler, LPARAM param) {
    modeless_.push_back(std::make_unique<MemDialog>(NewHandle(), tmpl, &handler, false));
    MemDialog* dlg = modeless_.back().get();
    dlg->Init(param);
    return dlg->GetHWND();
}

void MemUI::DestroyWindow(HWND wnd) {
    for (auto it = modeless_.begin(); it != modeless_.end(); ++it) {
        if ((*it)->GetHWND() == wnd) {
            std::unique_ptr<MemDialog> dlg = std::move(*it);
            modeless_.erase(it);
            Record(UiEvent{UiEvent::DialogClosed, dlg->GetTitle(), MSTR(), 0, dlg->Result(), dlg->Snapshot()});
            dlg->Destroy();
            return;
        }
    }
    DeleteRollupPage(wnd);
}

HWND MemUI::AddRollupPage(RollupPanel panel, const DialogTemplate& tmpl, const MSTR& title, DialogHandler& handler,
                          LPARAM param, DWORD, int) {
    rollups_.push_back(Rollup{panel, std::make_unique<MemDialog>(NewHandle(), tmpl, &handler, false)});
    MemDialog* dlg = rollups_.back().dialog.get();
    dlg->SetTitle(title);
    Record(UiEvent{UiEvent::RollupAdded, title, MSTR(), 0, 0, {}});
    dlg->Init(param);
    return dlg->GetHWND();
}

void MemUI::DeleteRollupPage(HWND page) {
    for (auto it = rollups_.begin(); it != rollups_.end(); ++it) {
        if (it->dialog->GetHWND() == page) {
            std::unique_ptr<MemDialog> dlg = std::move(it->dialog);
            rollups_.erase(it);
            Record(UiEvent{UiEvent::RollupRemoved, dlg->GetTitle(), MSTR(), 0, 0, dlg->Snapshot()});
            dlg->Destroy();
            return;
        }
    }
}

MemDialog* MemUI::FindDialog(HWND wnd) {
    for (MemDialog* d : modalStack_)
        if (d->GetHWND() == wnd) return d;
    for (auto& d : modeless_)
        if (d->GetHWND() == wnd) return d.get();
    for (auto& r : rollups_)
        if (r.dialog->GetHWND() == wnd) return r.dialog.get();
    return nullptr;
}

IDialog* MemUI::GetDialog(HWND wnd) { return FindDialog(wnd); }

MemDialog* MemUI::FindRollup(const MSTR& title) {
    for (auto& r : rollups_)
        if (r.dialog->GetTitle() == title) return r.dialog.get();
    return nullptr;
}

std::vector<MemDialog*> MemUI::Rollups(RollupPanel panel) {
    std::vector<MemDialog*> out;
    for (auto& r : rollups_)
        if (r.panel == panel) out.push_back(r.dialog.get());
    return out;
}

HWND MemUI::CreateCUIFrameWindow(HWND, const MSTR& title, int, int, int, int) {
    frames_.push_back(std::make_unique<MemFrame>(NewHandle(), title));
    Record(UiEvent{UiEvent::FrameCreated, title, MSTR(), 0, 0, {}});
    return frames_.back()->GetHWND();
}

ICUIFrame* MemUI::GetICUIFrame(HWND frame) {
    for (auto& f : frames_)
        if (f->GetHWND() == frame) return f.get();
    return nullptr;
}

ICustToolbar* MemUI::CreateCustToolbar(HWND frame, int, int) {
    toolbars_.push_back(std::make_unique<MemToolbar>(NewHandle(), static_cast<MemFrame*>(GetICUIFrame(frame))));
    return toolbars_.back().get();
}

MemToolbar* MemUI::FindToolbar(const MSTR& frameTitle) {
    for (auto& t : toolbars_)
        if (t->Frame() && t->Frame()->GetName() == frameTitle) return t.get();
    return nullptr;
}

void MemUI::DockCUIWindow(HWND frame, int panel) {
    if (auto* f = static_cast<MemFrame*>(GetICUIFrame(frame))) f->SetDocked(panel);
}

void MemUI::RecalcLayout() { LayoutFrames(); }

void MemUI::LayoutFrames() {
    if (inLayout_) return; // a handler that recalculates the layout itself
    inLayout_ = true;
    for (std::size_t i = 0; i < frames_.size(); ++i) frames_[i]->Send(WM_WINDOWPOSCHANGING);
    inLayout_ = false;
}

INT_PTR MemUI::ShellExecute(HWND, const MSTR& verb, const MSTR& file, const MSTR& params, const MSTR& dir, int) {
    MSTR text = file;
    if (!params.empty()) text += _M(" ") + params;
    UiEvent e{UiEvent::ShellExecuted, verb, text, 0, shellResult_, {}};
    if (!dir.empty()) e.controls.emplace_back(0, dir);
    Record(std::move(e));
    return shellResult_;
}

BOOL MemUI::TrackViewPickMultiDlg(HWND, std::vector<TrackViewPick>* picks, TrackViewFilter* filter) {
    std::vector<TrackViewPick> candidates;
    if (candidates_)
        for (const TrackViewPick& p : candidates_())
            if (!filter || filter->proc(p.anim, p.client, p.subNum)) candidates.push_back(p);
    std::vector<TrackViewPick> chosen;
    if (chooser_) chosen = chooser_(candidates);
    Record(UiEvent{UiEvent::PickShown, MSTR(_M("Pick")),
                   std::to_wstring(chosen.size()) + _M(" of ") + std::to_wstring(candidates.size()), 0,
                   chosen.empty() ? 0 : 1, {}});
    if (chosen.empty()) return FALSE;
    if (picks) *picks = chosen;
    return TRUE;
}

void MemUI::Reset() {
    while (!rollups_.empty()) DeleteRollupPage(rollups_.back().dialog->GetHWND());
    while (!modeless_.empty()) DestroyWindow(modeless_.back()->GetHWND());
    toolbars_.clear();
    frames_.clear();
}
