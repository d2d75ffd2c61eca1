// Registers the help menu.
#pragma once

class MainActions;
class CMyGlobal;

void RegisterHelpActions(MainActions& actions, CMyGlobal& global);
