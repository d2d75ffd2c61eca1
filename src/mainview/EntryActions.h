// Registers the commands that open the input form (popup items and tool
// buttons; the sheet's Enter, Insert and double click call them too).
#pragma once

class MainActions;
class EntryCommands;

void RegisterEntryActions(MainActions& actions, EntryCommands& commands);
