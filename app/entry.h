#pragma once

namespace driftscope {

class TItemManager;
class TdmMain;

// Runs the desktop interface until its main window closes; returns the exit code.
// Built from ui/ with the GUI, from app/no_gui.cpp without it.
int RunInteractive(int argc, char** argv, TItemManager& catalogue, TdmMain& data);

} // namespace driftscope
