// Registers the help menu and F1, the help of the window that has the focus.
#pragma once

class MainActions;
class CMyGlobal;

void RegisterHelpActions(MainActions& actions, CMyGlobal& global);
