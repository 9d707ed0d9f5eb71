// noentry.cpp -- a library that loads but has no plug-in entry.
extern "C" __attribute__((visibility("default"))) int NotThePlugInEntry() { return 0; }
