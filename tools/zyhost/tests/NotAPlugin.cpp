// A shared library without the plug-in entry points: the loader must refuse it.
extern "C" __attribute__((visibility("default"))) int SomethingElse() { return 1; }
