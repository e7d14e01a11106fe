// The "Select port and reconnect" menu: COM1-COM4 as the template has them, then one item for
// every other serial port present (a USB adapter is COM5 and up), "Network port..." and the
// check mark.
#pragma once
#include <windows.h>

#include <vector>

#include "network_port.h"

// The COM port a menu command selects; false for other commands ("Network port..." asks
// for its address first).
bool PortOfCommand(UINT id, unsigned int& port);
// Rebuilds the items after COM4 of the menu bar's port menu from choices.
void FillPortMenu(HMENU menuBar, const std::vector<SPortChoice>& choices);
// Checks the item of port (radio style), unchecks the others.
void CheckPortItem(HMENU menuBar, unsigned int port);
