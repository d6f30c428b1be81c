#pragma once

#include "app/user_interface.h"

#include <memory>

namespace driftscope {

class TMainModel;

// The interactive face: built from ui/ with the GUI, from app/no_gui.cpp without it.
// The user interface is created first, so that start-up questions can be asked in it.
std::unique_ptr<IUserInterface> CreateInteractiveUserInterface(int& argc, char** argv);
// Runs the main window until it closes; returns the exit code.
int RunInteractive(IUserInterface& ui, TMainModel& model);

} // namespace driftscope
