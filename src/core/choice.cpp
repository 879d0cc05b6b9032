#include "core/choice.h"

namespace lumo {

void ShowChoice(Editor& ed, const std::string&, const std::string&, ChoiceColours)
{
    ed.ChoiceResult = 0;
}

}  // namespace lumo
