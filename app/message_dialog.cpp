#include "app/message_dialog.h"

#include "app/exception_handler.h"
#include "app/services.h"
#include "platform/registry.h"

namespace driftscope {
namespace {

std::string MessagesPath() {
    return Services().SettingsPath() + "\\messages";
}

} // namespace

bool TMessageDialog::PromptEnabled(int promptNumber) {
    IRegistry* registry = Services().registry;
    if (registry == nullptr) {
        return true;
    }
    const auto value =
        registry->ReadValue(TRootKey::CurrentUser, MessagesPath(), std::to_string(promptNumber));
    if (!value.Ok() || value.value.kind != TRegKind::Dword) {
        return true;
    }
    return value.value.AsDword() != 0;
}

void TMessageDialog::SetPromptEnabled(int promptNumber, bool enabled) {
    if (IRegistry* registry = Services().registry) {
        // A choice that cannot be stored is simply not remembered.
        registry->WriteValue(TRootKey::CurrentUser, MessagesPath(),
                             TRegValue::FromDword(std::to_string(promptNumber), enabled ? 1 : 0));
    }
}

int TMessageDialog::ShowMessageDialog(std::string_view text, TMsgKind kind, int buttons,
                                      int defaultResult, int promptNumber,
                                      std::string_view helpTopic) {
    const TServices& services = Services();
    if (services.CommandLineMode() || services.ui == nullptr) {
        return defaultResult;
    }
    if (promptNumber != 0 && !PromptEnabled(promptNumber)) {
        return defaultResult;
    }
    try {
        TMessageRequest request;
        request.text = std::string(text);
        request.kind = kind;
        request.buttons = buttons == 0 ? mbOK : buttons;
        request.defaultResult = defaultResult;
        request.promptNumber = promptNumber;
        request.helpTopic = std::string(helpTopic);
        const TMessageAnswer answer = services.ui->ShowMessage(request);
        if (promptNumber != 0 && answer.result == defaultResult) {
            SetPromptEnabled(promptNumber, !answer.doNotShowAgain);
        }
        return answer.result;
    } catch (...) {
        TExceptionHandler::HandleCurrent();
        return defaultResult;
    }
}

} // namespace driftscope
