#pragma once
// Runtime settings shared by the runtime services. Each is process-wide (per
// copy of the runtime), may be read and changed from any thread, and starts
// with the value given below.
#include "zy/String.h"

namespace zy::settings {

// The three sandbox roots of script states: "./", "./" and "./Temp/".
zy::string currentDirectory();
void setCurrentDirectory(const zy::string& path);
zy::string writeDirectory();
void setWriteDirectory(const zy::string& path);
zy::string tempDirectory();
void setTempDirectory(const zy::string& path);

// Directory of the diagnostic log's files; empty (the default) means the write directory.
zy::string logDirectory();
void setLogDirectory(const zy::string& path);

// Version of the host executable as "major.minor.build.revision", used in the
// script global _ZY_VERSION. Linux executables carry no version resource, so
// an executable that wants its version reported sets it here before the first
// script state opens its libraries. Default "0.0.0.0".
zy::string hostVersion();
void setHostVersion(const zy::string& version);

} // namespace zy::settings
