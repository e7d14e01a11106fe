// The "Select port and reconnect" menu: COM1-COM4 as the template has them, then one item for
// every other serial port present (a USB adapter is COM5 and up), and the check mark.
#pragma once
#include <windows.h>

#include <vector>

// The port a menu command selects; false for other commands.
bool PortOfCommand(UINT id, unsigned int& port);
// Rebuilds the items after COM4 of the menu bar's port menu: one per port of extra.
void FillPortMenu(HMENU menuBar, const std::vector<unsigned int>& extra);
// Checks the item of port (radio style), unchecks the others.
void CheckPortItem(HMENU menuBar, unsigned int port);
