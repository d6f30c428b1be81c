#pragma once

#include "model/data_table.h"

#include <chrono>
#include <memory>
#include <string_view>
#include <vector>

namespace driftscope {

class TProgress;

// One row of a progress window: maximum 0 is indeterminate, >= 1 counts steps, -1 is done.
class TProgressAction {
public:
    unsigned Id() const { return id_; }
    int Position() const { return position_; }
    int Maximum() const { return maximum_; }
    bool MovingRight() const { return movingRight_; }

    void SetText(std::string_view text);
    // A count of 0 or less marks the row finished at 100%.
    void SetMaximum(int count);
    void Step();
    void SetPosition(int value);

private:
    friend class TProgress;
    TProgressAction(TProgress& owner, unsigned id) : owner_(owner), id_(id) {}
    void Update();

    TProgress& owner_;
    unsigned id_;
    int position_ = 0;
    int maximum_ = 0;
    int shownPercent_ = -1;
    bool movingRight_ = true;
};

// The state behind a progress window: its rows, the Cancel protocol and the pacing of
// event processing. The window that shows it comes with the user interface.
class TProgress {
public:
    TProgress();
    TProgress(const TProgress&) = delete;
    TProgress& operator=(const TProgress&) = delete;

    void ShowCancel(bool visible) { cancelVisible_ = visible; }
    bool CancelVisible() const { return cancelVisible_; }
    TProgressAction& AddAction();
    // A new row with its text and total, or none when the work runs without a window.
    static TProgressAction* AddRow(TProgress* progress, std::string_view text, int total);

    // True exactly once per confirmed cancellation: the first poll after Cancel asks
    // "Cancel operation?"; No lets the work go on.
    bool CancelRequested();
    bool IsCancelled() const { return cancelled_; }
    void SetCancelled(bool cancelled) { cancelled_ = cancelled; }

    TDataTable& Table() { return table_; }
    // How often work lets events run at most (about 30 times a second by default).
    void SetEventInterval(std::chrono::milliseconds interval) { eventInterval_ = interval; }
    // The once-a-second update of the elapsed times of unfinished rows.
    void Tick();

private:
    friend class TProgressAction;
    // Lets the window repaint and take Cancel, at most about 30 times a second.
    void ProcessEvents();
    bool LocateRow(unsigned id);

    TDataTable table_;
    std::vector<std::unique_ptr<TProgressAction>> actions_;
    unsigned lastKey_ = 0;
    bool cancelVisible_ = false;
    bool cancelled_ = false;
    bool confirmed_ = false;
    std::chrono::steady_clock::time_point lastEvents_{};
    std::chrono::milliseconds eventInterval_{33};
};

} // namespace driftscope
