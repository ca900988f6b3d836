#pragma once
// The host's user interface on a terminal: the progress bar on standard error (a
// bar on a terminal, plain lines otherwise), Ctrl-C as the progress bar's cancel
// button, and message boxes and dialogs printed to standard error.
#include <ostream>

#include "mem/MemInterface.h"

namespace zyhost {

class Console {
public:
    // Takes over SIGINT until destroyed.
    Console(MemInterface& host, std::ostream& err, bool terminal);
    ~Console();
    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;

    // Installs the progress display; call again after a scene reset (which drops it).
    void Attach();
    // Prints what the host showed since the last call (and ends a drawn bar).
    void Flush();
    // True once a message box with caption "Error" (or an error icon) or an "Errors"
    // dialog was shown.
    bool ErrorShown() const { return errorShown_; }

private:
    void Progress(int percent);
    MemInterface& host_;
    std::ostream& err_;
    bool terminal_;
    bool barDrawn_ = false;
    int lastPercent_ = -1;
    bool errorShown_ = false;
};

} // namespace zyhost
