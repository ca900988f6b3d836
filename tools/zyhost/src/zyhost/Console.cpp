#include "zyhost/Console.h"

#include <csignal>
#include <string>

namespace zyhost {

namespace {

// Set by Ctrl-C; read on the next progress update, which raises the host's cancel.
volatile std::sig_atomic_t interrupted = 0;

extern "C" void OnInterrupt(int) {
    interrupted = 1;
    // A second Ctrl-C ends the program the usual way.
    std::signal(SIGINT, SIG_DFL);
}

constexpr int kBarWidth = 30;

} // namespace

Console::Console(MemInterface& host, std::ostream& err, bool terminal) : host_(host), err_(err), terminal_(terminal) {
    interrupted = 0;
    host_.UI().SetEcho(false);
    std::signal(SIGINT, OnInterrupt);
    Attach();
}

Console::~Console() {
    std::signal(SIGINT, SIG_DFL);
    host_.SetProgressHook(nullptr);
}

void Console::Attach() {
    host_.SetProgressHook([this](int percent) { Progress(percent); });
}

void Console::Progress(int percent) {
    if (interrupted) host_.SetCancel(TRUE);
    if (percent < 0) percent = 0;
    if (percent > 100) percent = 100;
    const auto& titles = host_.ProgressTitles();
    std::string title = titles.empty() ? std::string("Working") : ToUTF8(titles.back());
    if (terminal_) {
        int filled = percent * kBarWidth / 100;
        err_ << '\r' << title << " [" << std::string(std::size_t(filled), '#')
             << std::string(std::size_t(kBarWidth - filled), '.') << "] " << percent << "%" << std::flush;
        barDrawn_ = true;
    } else if (percent != lastPercent_) {
        err_ << title << ": " << percent << "%\n";
    }
    lastPercent_ = percent;
}

void Console::Flush() {
    if (barDrawn_) {
        err_ << '\n';
        barDrawn_ = false;
    }
    lastPercent_ = -1;
    for (const UiEvent& e : host_.UI().Events()) {
        switch (e.kind) {
        case UiEvent::MessageBoxShown: {
            bool error = e.caption == _M("Error") || (e.flags & 0xf0) == MB_ICONERROR;
            errorShown_ = errorShown_ || error;
            err_ << "[" << ToUTF8(e.caption) << "] " << ToUTF8(e.text) << '\n';
            break;
        }
        case UiEvent::DialogClosed: {
            bool error = e.caption == _M("Errors") || e.caption == _M("Error");
            errorShown_ = errorShown_ || error;
            err_ << "[dialog " << ToUTF8(e.caption) << "]\n";
            for (const auto& [id, text] : e.controls)
                if (!text.empty()) err_ << "  " << ToUTF8(text) << '\n';
            break;
        }
        case UiEvent::ShellExecuted:
            err_ << "[run] " << ToUTF8(e.caption) << ' ' << ToUTF8(e.text) << '\n';
            break;
        default:
            break;
        }
    }
    host_.UI().ClearEvents();
    err_.flush();
}

} // namespace zyhost
