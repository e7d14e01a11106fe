#include "port_menu.h"

#include "resource.h"

static_assert(ID_PORT_NETWORK == ID_PORT_ANY + kNetworkPort, "the network port's item follows the COM ports");

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

void FillPortMenu(HMENU menuBar, const std::vector<SPortChoice>& choices)
{
    HMENU ports = FindPortMenu(menuBar);
    if (!ports)
        return;
    while (GetMenuItemCount(ports) > 4)
        DeleteMenu(ports, 4, MF_BYPOSITION);
    for (const SPortChoice& choice : choices) {
        if (choice.nPort == kNetworkPort)
            AppendMenuA(ports, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(ports, MF_STRING, CommandOfPort(choice.nPort), choice.strText.c_str());
    }
}

void CheckPortItem(HMENU menuBar, unsigned int port)
{
    HMENU ports = FindPortMenu(menuBar);
    if (!ports)
        return;
    const UINT checked = CommandOfPort(port);
    for (int i = 0, n = GetMenuItemCount(ports); i < n; ++i) {
        // A separator given the string type would become an empty item.
        if (GetMenuItemID(ports, i) == 0)
            continue;
        MENUITEMINFOA info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE;
        info.fType = MFT_STRING | MFT_RADIOCHECK;
        info.fState = GetMenuItemID(ports, i) == checked ? MFS_CHECKED : MFS_UNCHECKED;
        SetMenuItemInfoA(ports, static_cast<UINT>(i), TRUE, &info);
    }
}
