#include "console/partialfile.h"

#include <unistd.h>

#include <atomic>
#include <cstring>

namespace lumo {

namespace {

// A signal may come on any thread while the main thread marks another file:
// each path goes into the buffer the last one did not use and is shown only
// once written, so a handler never reads one half written.
constexpr size_t PathBytes = 4096;
char g_paths[2][PathBytes];
std::atomic<int> g_shown{-1};  // index of the buffer on show, or -1
int g_lastWritten = 1;         // main thread only

}  // namespace

void MarkPartialFile(const char* path)
{
    g_shown.store(-1);
    const size_t length = std::strlen(path);
    if (length >= PathBytes) return;
    g_lastWritten = 1 - g_lastWritten;
    std::memcpy(g_paths[g_lastWritten], path, length + 1);
    g_shown.store(g_lastWritten);
}

void UnmarkPartialFile() { g_shown.store(-1); }

void RemovePartialFile()
{
    const int shown = g_shown.exchange(-1);
    if (shown >= 0) unlink(g_paths[shown]);
}

}  // namespace lumo
