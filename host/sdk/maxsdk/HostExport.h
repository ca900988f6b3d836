#pragma once
// Marks what the host's libraries export to plug-ins. The project builds with hidden
// visibility by default, so every class and function of the host API carries this mark.
#define ZYHOST_API __attribute__((visibility("default")))

// Marks the entry points a plug-in library exports to the host (LibDescription, ...).
#define ZY_PLUGIN_EXPORT extern "C" __attribute__((visibility("default")))
