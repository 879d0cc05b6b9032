// The binding table: one row per 32-bit key value (the folded value of the
// four key bytes), with the command it runs and a short name.
#pragma once

#include <span>

#include "editor/editor.h"

namespace lumo {

using Command = Redraw (*)(Editor&);

struct Binding {
    KeyEvent key;
    Command command;
    const char* name;
};

// The row for `key`, or nullptr when the key is not bound (it goes to Typing).
const Binding* FindBinding(KeyEvent key);
// Every row, sorted by key value.
std::span<const Binding> BindingTable();

}  // namespace lumo
