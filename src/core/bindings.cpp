#include "core/bindings.h"

namespace lumo {

const Binding* FindBinding(KeyEvent) { return nullptr; }
std::span<const Binding> BindingTable() { return {}; }

}  // namespace lumo
