#include "port_menu.h"

#include <string>

#include "port_names.h"
#include "resource.h"

namespace {
UINT CommandOfPort(unsigned int port)
{
    return port <= 4 ? ID_PORT_COM1 + port - 1 : ID_PORT_ANY + port;
}

// The popup whose first item is COM1, anywhere in the menu bar.
HMENU FindPortMenu(HMENU menu)
{
    for (int i = 0, n = GetMenuItemCount(menu); i < n; ++i) {
        HMENU sub = GetSubMenu(menu, i);
        if (!sub)
            continue;
        if (GetMenuItemID(sub, 0) == ID_PORT_COM1)
            return sub;
        if (HMENU found = FindPortMenu(sub))
            return found;
    }
    return nullptr;
}
} // namespace

bool PortOfCommand(UINT id, unsigned int& port)
{
    if (id >= ID_PORT_COM1 && id <= ID_PORT_COM4) {
        port = id - ID_PORT_COM1 + 1;
        return true;
    }
    if (id > ID_PORT_ANY + 4 && id <= ID_PORT_ANY + kMaxComPort) {
        port = id - ID_PORT_ANY;
        return true;
    }
    return false;
}

void FillPortMenu(HMENU menuBar, const std::vector<unsigned int>& extra)
{
    HMENU ports = FindPortMenu(menuBar);
    if (!ports)
        return;
    while (GetMenuItemCount(ports) > 4)
        DeleteMenu(ports, 4, MF_BYPOSITION);
    for (unsigned int port : extra) {
        if (port <= 4 || port > kMaxComPort)
            continue;
        std::string text = "COM" + std::to_string(port);
        AppendMenuA(ports, MF_STRING, CommandOfPort(port), text.c_str());
    }
}

void CheckPortItem(HMENU menuBar, unsigned int port)
{
    HMENU ports = FindPortMenu(menuBar);
    if (!ports)
        return;
    const UINT checked = CommandOfPort(port);
    for (int i = 0, n = GetMenuItemCount(ports); i < n; ++i) {
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE;
        info.fType = MFT_STRING | MFT_RADIOCHECK;
        info.fState = GetMenuItemID(ports, i) == checked ? MFS_CHECKED : MFS_UNCHECKED;
        SetMenuItemInfoA(ports, static_cast<UINT>(i), TRUE, &info);
    }
}
