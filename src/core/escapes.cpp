// Names made safe to print, for every client alike.
#include "common/name_escape.h"
#include "api/api.h"

namespace tonalyx {

std::string escapeControls(std::string_view text)
{
    return escapeName(text, NameStyle::plain);
}

}  // namespace tonalyx
