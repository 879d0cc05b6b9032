// The saved-state file: the input line's search history and the search
// case setting, kept from one run to the next.
#pragma once

#include "editor/editor.h"

namespace lumo {

// The saved-state file (ed.SavedStateFile): 16 history lines starting at the
// current entry and going backwards, then the search case setting; CR LF.
// Reading a missing file changes nothing; the current entry becomes the
// search text. Writing a file that cannot be created writes nothing and
// returns false.
void ReadHistory(Editor& ed);
bool WriteHistory(Editor& ed);

}  // namespace lumo
