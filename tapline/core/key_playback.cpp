#include "key_playback.h"

#include <cstring>

namespace tapline {

namespace {

constexpr int kVkShift = 16;
constexpr int kVkControl = 17;
constexpr int kVkAlt = 18;

} // namespace

bool NextKeyEvent(SPlaybackState& state, const int* sequence, uint32_t length, uint32_t& position, SKeyEvent& event)
{
    // The flag, not the pending code, says a key-up is due: code 0 is a code like any other.
    if (state.bKeyUpDue) {
        event = {state.nPendingKey, 0, state.bAlt && !state.bCtrl};
        state.nPendingKey = 0;
        state.bKeyUpDue = 0;
        return true;
    }
    if (position >= length)
        return false;
    int nCode = sequence[position++];
    switch (nCode) {
    case kVkShift:
        state.bShift = !state.bShift;
        event = {nCode, state.bShift, state.bAlt && !state.bCtrl};
        break;
    case kVkControl:
        state.bCtrl = !state.bCtrl;
        event = {nCode, state.bCtrl, state.bAlt && !state.bCtrl};
        break;
    case kVkAlt:
        state.bAlt = !state.bAlt;
        if (state.bAlt) {
            state.bKeyUnderAlt = 0;
            event = {nCode, 1, !state.bCtrl};
        } else {
            event = {nCode, 0, !state.bKeyUnderAlt && !state.bCtrl};
        }
        break;
    default:
        event = {nCode, 1, state.bAlt && !state.bCtrl};
        state.nPendingKey = nCode;
        state.bKeyUpDue = 1;
        if (state.bAlt)
            state.bKeyUnderAlt = 1;
        break;
    }
    return true;
}

bool CKeyPlayback::Load(const int* codes, int count)
{
    if (count < 0 || count > kPlaybackCapacity || (count > 0 && !codes))
        return false;
    if (count > 0)
        std::memcpy(m_anCodes, codes, sizeof(int) * static_cast<size_t>(count));
    m_state = {};
    m_current = {};
    m_block.bSequence = 1;
    m_block.nLength = static_cast<uint32_t>(count);
    m_block.nPosition = 0;
    m_block.bFirstFetch = 1;
    return true;
}

void CKeyPlayback::FetchFirst()
{
    if (m_block.bFirstFetch) {
        m_block.bFirstFetch = 0;
        NextKeyEvent(m_state, m_anCodes, m_block.nLength, m_block.nPosition, m_current);
    }
}

const SKeyEvent& CKeyPlayback::Current()
{
    FetchFirst();
    return m_current;
}

bool CKeyPlayback::Skip()
{
    FetchFirst();
    if (!m_block.bSequence)
        return true;
    if (NextKeyEvent(m_state, m_anCodes, m_block.nLength, m_block.nPosition, m_current))
        return false;
    Clear();
    return true;
}

void CKeyPlayback::Clear()
{
    m_block.bSequence = 0;
    m_block.nLength = 0;
    m_block.nPosition = 0;
}

} // namespace tapline
