#pragma once

#include "app/user_interface.h"

#include <string>
#include <string_view>

namespace driftscope {

class TMessageDialog {
public:
    // Asks or tells the user; returns the button's result. In command-line mode, and for a
    // prompt the user switched off, the default result comes back at once. Choosing the
    // default of a numbered prompt stores whether it is shown next time.
    static int ShowMessageDialog(std::string_view text, TMsgKind kind, int buttons,
                                 int defaultResult, int promptNumber = 0,
                                 std::string_view helpTopic = {});
    // The stored "show this prompt" choice (true when absent or unreadable).
    static bool PromptEnabled(int promptNumber);
    static void SetPromptEnabled(int promptNumber, bool enabled);
};

} // namespace driftscope
