#pragma once

// Fontconfig keeps its pattern caches for the life of the process and never frees them; the
// leak checker would report them after every program that drew text (a PDF, a signature's
// date). Included by each source that draws text, so the program that links it has the list;
// weak, so several copies are one, and a program with its own list keeps it.
#if defined(__SANITIZE_ADDRESS__)
extern "C" __attribute__((weak, visibility("default"))) const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
#endif
