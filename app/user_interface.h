#pragma once

#include <string>

namespace driftscope {

enum class TMsgKind { Warning = 0, Error = 1, Information = 2, Confirmation = 3 };

// Button flags and the results of pressing them.
enum TMsgButtons : int { mbYes = 1, mbNo = 2, mbOK = 4, mbCancel = 8 };
enum TMsgResult : int { mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7 };

struct TMessageRequest {
    std::string text;
    TMsgKind kind = TMsgKind::Information;
    int buttons = mbOK;
    int defaultResult = mrOk;
    int promptNumber = 0; // > 0: the window offers "Do not show this message again"
    std::string helpTopic;
};

struct TMessageAnswer {
    int result = mrOk;
    bool doNotShowAgain = false;
};

struct TErrorReport {
    std::string message;
    std::string className;
    std::string address;
};

// What the engine needs from whoever shows windows: the Qt windows in the GUI, nothing in
// command-line mode, preset answers in tests.
class IUserInterface {
public:
    virtual ~IUserInterface() = default;
    // Shows the message window modally and returns what the user chose.
    virtual TMessageAnswer ShowMessage(const TMessageRequest& request) = 0;
    // Shows the error window modally.
    virtual void ShowError(const TErrorReport& report) = 0;
    // Lets pending window events run (repaint, Cancel); called from progress steps.
    virtual void ProcessEvents() = 0;
    // The primary screen's size in pixels; false when there is no screen.
    virtual bool ScreenSize(int& width, int& height) const = 0;
};

// Command-line mode: nothing is shown; questions take their default answer.
class THeadlessUserInterface final : public IUserInterface {
public:
    TMessageAnswer ShowMessage(const TMessageRequest& request) override {
        return {request.defaultResult, false};
    }
    void ShowError(const TErrorReport&) override {}
    void ProcessEvents() override {}
    bool ScreenSize(int&, int&) const override { return false; }
};

} // namespace driftscope
