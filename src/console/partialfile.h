// The one file the editor is making that is not whole yet: a temporary file
// before it replaces its target, an emergency save before its last byte is
// synced. A process ended outright by a signal removes it on the way out,
// so nothing half written is left behind to be taken for a whole file.
#pragma once

namespace lumo {

// Marks `path` (copied; a path longer than the editor keeps is not marked)
// as the file being made, in place of any marked before.
void MarkPartialFile(const char* path);
// The marked file is whole (or gone): nothing to remove any more.
void UnmarkPartialFile();
// Removes the marked file, if any. Async-signal-safe.
void RemovePartialFile();

}  // namespace lumo
