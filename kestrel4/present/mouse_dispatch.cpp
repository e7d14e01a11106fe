#include "mouse_dispatch.h"
#include "core/tapline_messages.h"

EMouseAction ClassifyMouseMessage(unsigned int msg)
{
    switch (msg) {
    case 0x200:
    case 0xA0:
        return MOUSE_MOVE;
    case 0x201:
    case 0xA1:
        return MOUSE_LBUTTON_DOWN;
    case 0x202:
    case 0xA2:
        return MOUSE_LBUTTON_UP;
    case 0x204:
    case 0xA4:
        return MOUSE_RBUTTON_DOWN;
    case 0x205:
    case 0xA5:
        return MOUSE_RBUTTON_UP;
    default:
        return MOUSE_IGNORED;
    }
}

EMouseAction CButtonLatch::Filter(EMouseAction action)
{
    if (action == MOUSE_LBUTTON_DOWN) {
        if (m_bDown) {
            m_bDown = false;
            return MOUSE_IGNORED;
        }
        m_bDown = true;
    } else if (action == MOUSE_LBUTTON_UP || action == MOUSE_RBUTTON_UP) {
        m_bDown = false;
    }
    return action;
}

SPoint UnpackHookPoint(unsigned long long lParam)
{
    return {tapline::UnpackMouseX(lParam), tapline::UnpackMouseY(lParam)};
}
