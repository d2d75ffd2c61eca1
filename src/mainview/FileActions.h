// Registers the actions of the file menu over the file commands.
#pragma once

class MainActions;
class FileCommands;
class QWidget;

void RegisterFileActions(MainActions& actions, FileCommands& commands, QWidget& window);
