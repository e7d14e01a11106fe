// What the projector does beyond storing values: the power sequence, reset all with its busy
// state, re-synchronising after a resolution change, presets, gamma points, remote-control
// keys, and the reports it sends about all of these by itself.
#include "projector_simulator.h"
#include "zelq_items.h"

namespace {

const int POWER_STANDBY = 0x00, POWER_ON = 0x01, POWER_WARMING = 0x10, POWER_COOLING = 0x11;
const int INPUT_COMPUTER = 16, INPUT_VIDEO1 = 33, INPUT_VIDEO2 = 34;
const int SIGNAL_COMPUTER = 1;
const int kPresetBase = 128;
const size_t kPresetSize = 15;

uint16_t Word16(const std::vector<uint8_t>& bytes, size_t at)
{
    return static_cast<uint16_t>(bytes[at] << 8 | bytes[at + 1]);
}

void PutWord16(std::vector<uint8_t>& bytes, size_t at, long long value)
{
    bytes[at] = static_cast<uint8_t>(value >> 8);
    bytes[at + 1] = static_cast<uint8_t>(value);
}
} // namespace

// ---- reports ----

void CProjectorSimulator::Report(int address, uint16_t code)
{
    SUnsolicitedFrame frame;
    // A stacked projector, or any but the first, reports in the stack form.
    frame.bStack = m_bStackEstablished || address != 1;
    frame.nFrom = static_cast<uint8_t>(address);
    frame.wItem = code;
    m_Store.Get(address, code, frame.value);
    m_Consequences.push_back(frame);
}

void CProjectorSimulator::QueueConsequences(long long dueUs)
{
    for (const SUnsolicitedFrame& frame : m_Consequences) {
        SOutput out = MakeFrameOutput(frame, dueUs);
        Queue(std::move(out.bytes), out.nDueUs, std::move(out.strLabel));
    }
    m_Consequences.clear();
}

// ---- timed states ----

void CProjectorSimulator::StartTimer(int address, int timer, long long dueUs)
{
    m_nTimerUs[address - 1][timer] = dueUs;
}

long long CProjectorSimulator::NextTimerUs() const
{
    long long next = -1;
    for (const auto& timers : m_nTimerUs)
        for (long long due : timers)
            if (due >= 0 && (next < 0 || due < next))
                next = due;
    return next;
}

void CProjectorSimulator::RunTimers(long long nowUs)
{
    for (int address = 1; address <= CItemStore::kAddresses; ++address) {
        long long* timers = m_nTimerUs[address - 1];
        if (timers[TIMER_POWER] >= 0 && timers[TIMER_POWER] <= nowUs) {
            timers[TIMER_POWER] = -1;
            long long state = 0;
            m_Store.GetValue(address, kItemPower, state);
            if (state == POWER_WARMING || state == POWER_COOLING) {
                m_Store.PokeValue(address, kItemPower, state == POWER_WARMING ? POWER_ON : POWER_STANDBY);
                Report(address, kItemPower);
            }
        }
        if (timers[TIMER_BUSY] >= 0 && timers[TIMER_BUSY] <= nowUs) {
            timers[TIMER_BUSY] = -1;
            m_Store.PokeValue(address, kItemResetAll, 1);
            Report(address, kItemResetAll);
        }
        if (timers[TIMER_SYNC] >= 0 && timers[TIMER_SYNC] <= nowUs) {
            timers[TIMER_SYNC] = -1;
            Report(address, kItemSignal);
        }
    }
    QueueConsequences(nowUs);
}

// A warming or cooling state, however it came about, ends after its time.
void CProjectorSimulator::ScheduleStartPower(long long nowUs)
{
    for (int address = 1; address <= CItemStore::kAddresses && address <= m_Options.nProjectors; ++address)
        StartPowerTimer(address, nowUs);
}

void CProjectorSimulator::StartPowerTimer(int address, long long nowUs)
{
    long long state = 0;
    m_Store.GetValue(address, kItemPower, state);
    long long due = -1;
    if (m_Timing.bTimed && state == POWER_WARMING)
        due = nowUs + m_Timing.nWarmMs * 1000LL;
    else if (m_Timing.bTimed && state == POWER_COOLING)
        due = nowUs + m_Timing.nCoolMs * 1000LL;
    StartTimer(address, TIMER_POWER, due);
}

// ---- commands ----

EStoreResult CProjectorSimulator::GetSpecial(int address, const SCommand& command, std::vector<uint8_t>& out) const
{
    // A get of one gamma point names its index.
    if (command.wItem == kItemGammaParameter3 && command.param.size() == 1 && m_Store.Def(kItemGammaParameter3)) {
        if (address < 1 || address > CItemStore::kAddresses)
            return EStoreResult::BadAddress;
        if (command.param[0] > 2)
            return EStoreResult::OutOfRange;
        out = {command.param[0], static_cast<uint8_t>(m_GammaPoints[address - 1][command.param[0]])};
        return EStoreResult::Ok;
    }
    return m_Store.Get(address, command.wItem, out);
}

EStoreResult CProjectorSimulator::SetSpecial(int address, const SCommand& command, bool& handled, long long nowUs)
{
    const SItemDef* def = m_Store.Def(command.wItem);
    if (!def || address < 1 || address > CItemStore::kAddresses || command.param.size() != def->nWidth)
        return EStoreResult::Ok; // the store refuses it
    handled = true;
    long long value = def->nWidth <= 4 ? def->Decode(command.param) : 0;
    if (def->nWidth <= 4 && !def->Accepts(value))
        return EStoreResult::OutOfRange;

    switch (command.wItem) {
    case kItemPower: {
        if (!m_Timing.bTimed) {
            handled = false;
            return EStoreResult::Ok;
        }
        long long state = 0;
        m_Store.GetValue(address, kItemPower, state);
        if ((value == 1 && state == POWER_COOLING) || (value == 0 && state == POWER_WARMING))
            return EStoreResult::WrongState;
        if (value == 1 && state == POWER_STANDBY) {
            m_Store.PokeValue(address, kItemPower, POWER_WARMING);
            StartTimer(address, TIMER_POWER, nowUs + m_Timing.nWarmMs * 1000LL);
            Report(address, kItemPower);
        } else if (value == 0 && state == POWER_ON) {
            m_Store.PokeValue(address, kItemPower, POWER_COOLING);
            StartTimer(address, TIMER_POWER, nowUs + m_Timing.nCoolMs * 1000LL);
            Report(address, kItemPower);
        } else if (state != POWER_ON && state != POWER_STANDBY && state != POWER_WARMING && state != POWER_COOLING) {
            m_Store.PokeValue(address, kItemPower, value);
        }
        return EStoreResult::Ok;
    }
    case kItemResetAll:
        m_Store.ResetAll(address);
        for (int& point : m_GammaPoints[address - 1])
            point = 0;
        if (!m_Timing.bTimed) {
            m_Store.PokeValue(address, kItemResetAll, 1); // done at once: idle again
            return EStoreResult::Ok;
        }
        m_Store.PokeValue(address, kItemResetAll, 0);
        Report(address, kItemResetAll);
        StartTimer(address, TIMER_BUSY, nowUs + m_Timing.nBusyMs * 1000LL);
        return EStoreResult::Ok;
    case kItemRegisterPreset: {
        EStoreResult result = RegisterPreset(address, static_cast<int>(value));
        if (result == EStoreResult::Ok)
            m_Store.Set(address, command.wItem, command.param);
        return result;
    }
    case kItemResolution: {
        if (value >= kPresetBase) {
            EStoreResult result = RecallPreset(address, static_cast<int>(value - kPresetBase));
            if (result != EStoreResult::Ok)
                return result;
        }
        m_Store.Set(address, command.wItem, command.param);
        AfterReset(address, command.wItem, nowUs);
        return EStoreResult::Ok;
    }
    case kItemGammaParameter3:
        m_GammaPoints[address - 1][command.param[0]] = command.param[1];
        return m_Store.Set(address, command.wItem, command.param);
    case kItemRemoteKey:
        m_Store.Set(address, command.wItem, command.param);
        PressKeys(address, command.param, nowUs);
        return EStoreResult::Ok;
    }
    handled = false;
    return EStoreResult::Ok;
}

// Also after a set of the resolution: the projector locks onto the signal anew and reports it.
void CProjectorSimulator::AfterReset(int address, uint16_t code, long long nowUs)
{
    if (code == kItemGammaParameter3) {
        for (int& point : m_GammaPoints[address - 1])
            point = 0;
    } else if (code == kItemResolution && m_Timing.bTimed) {
        StartTimer(address, TIMER_SYNC, nowUs + m_Timing.nSyncMs * 1000LL);
    }
}

// A preset remembers the computer signal and the adjustment made for it, 15 bytes:
// width, height (16 bits each), horizontal frequency (32 bits, 0.01 kHz), vertical
// frequency (16 bits, 0.01 Hz), Tracking, horizontal Position (16 bits each), Sync. (8 bits).
// A width of 0xFFFF marks an empty preset.
EStoreResult CProjectorSimulator::RegisterPreset(int address, int preset)
{
    long long input = 0, signal = 0, tracking = 0, position = 0, sync = 0;
    m_Store.GetValue(address, kItemInput, input);
    m_Store.GetValue(address, kItemSignal, signal);
    if (input != INPUT_COMPUTER || signal != SIGNAL_COMPUTER)
        return EStoreResult::WrongState;
    std::vector<uint8_t> frequencies, resolution, table;
    m_Store.Get(address, kItemFrequencies, frequencies);
    m_Store.Get(address, kItemResolutionInfo, resolution);
    m_Store.Get(address, kItemPresets, table);
    m_Store.GetValue(address, kItemTracking, tracking);
    m_Store.GetValue(address, kItemPositionH, position);
    m_Store.GetValue(address, kItemSync, sync);
    if (frequencies.size() != 8 || resolution.size() != 8 || table.size() != 5 * kPresetSize)
        return EStoreResult::UnknownItem;

    std::vector<uint8_t> record(kPresetSize);
    PutWord16(record, 0, Word16(resolution, 2));
    PutWord16(record, 2, Word16(resolution, 6));
    std::copy(frequencies.begin(), frequencies.begin() + 4, record.begin() + 4);
    PutWord16(record, 8, Word16(frequencies, 6));
    PutWord16(record, 10, tracking);
    PutWord16(record, 12, position);
    record[14] = static_cast<uint8_t>(sync);
    if (Word16(record, 0) == 0xFFFF)
        return EStoreResult::WrongState; // a width that would read as an empty preset
    std::copy(record.begin(), record.end(), table.begin() + preset * kPresetSize);
    m_Store.Poke(address, kItemPresets, table);
    Note("address " + std::to_string(address) + ": preset " + std::to_string(preset + 1) + " registered");
    return EStoreResult::Ok;
}

EStoreResult CProjectorSimulator::RecallPreset(int address, int preset)
{
    std::vector<uint8_t> table;
    m_Store.Get(address, kItemPresets, table);
    if (table.size() != 5 * kPresetSize)
        return EStoreResult::UnknownItem;
    size_t at = preset * kPresetSize;
    if (Word16(table, at) == 0xFFFF)
        return EStoreResult::WrongState;
    m_Store.PokeValue(address, kItemTracking, static_cast<int16_t>(Word16(table, at + 10)));
    m_Store.PokeValue(address, kItemPositionH, static_cast<int16_t>(Word16(table, at + 12)));
    m_Store.PokeValue(address, kItemSync, table[at + 14]);
    return EStoreResult::Ok;
}

// The Computer key selects the computer input; the Video key a video input, the other one
// when a video input is already selected.
void CProjectorSimulator::PressKeys(int address, const std::vector<uint8_t>& keys, long long)
{
    long long input = 0, next = -1;
    m_Store.GetValue(address, kItemInput, input);
    if (keys.size() > 2 && (keys[2] & 0x10))
        next = INPUT_COMPUTER;
    else if (keys.size() > 2 && (keys[2] & 0x20))
        next = input == INPUT_VIDEO1 ? INPUT_VIDEO2 : INPUT_VIDEO1;
    if (next < 0 || next == input)
        return;
    m_Store.PokeValue(address, kItemInput, next);
    if (m_Timing.bTimed)
        Report(address, kItemInput);
}

bool CProjectorSimulator::ChangeLocked(int address, uint16_t code, const std::vector<uint8_t>& bytes, long long nowUs)
{
    if (m_Store.Poke(address, code, bytes) != EStoreResult::Ok)
        return false;
    if (code == kItemPower) {
        StartPowerTimer(address, nowUs);
    } else if (code == kItemResetAll) {
        long long busy = 1;
        m_Store.GetValue(address, kItemResetAll, busy);
        StartTimer(address, TIMER_BUSY, m_Timing.bTimed && busy == 0 ? nowUs + m_Timing.nBusyMs * 1000LL : -1);
    }
    Report(address, code);
    return true;
}

// ---- the interface ----

bool CProjectorSimulator::ChangeValue(int address, uint16_t code, long long value)
{
    bool done;
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        const SItemDef* def = m_Store.Def(code);
        done = def && def->nWidth <= 4 && ChangeLocked(address, code, CItemStore::Encode(value, def->nWidth), NowUs());
        QueueConsequences(NowUs());
    }
    Wake();
    return done;
}

void CProjectorSimulator::SetTimingLocked(const SStateTiming& timing, long long nowUs)
{
    m_Timing = timing;
    ScheduleStartPower(nowUs);
    for (int address = 1; address <= CItemStore::kAddresses && !timing.bTimed; ++address) {
        // Untimed, a reset that is still running is over at once.
        if (m_nTimerUs[address - 1][TIMER_BUSY] >= 0)
            m_Store.PokeValue(address, kItemResetAll, 1);
        m_nTimerUs[address - 1][TIMER_BUSY] = m_nTimerUs[address - 1][TIMER_SYNC] = -1;
    }
}

void CProjectorSimulator::SetTiming(const SStateTiming& timing)
{
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        SetTimingLocked(timing, NowUs());
    }
    Wake();
}

SStateTiming CProjectorSimulator::Timing() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Timing;
}

bool CProjectorSimulator::SetBytes(int address, uint16_t code, const std::vector<uint8_t>& bytes)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Store.Poke(address, code, bytes) == EStoreResult::Ok;
}

bool CProjectorSimulator::GetBytes(int address, uint16_t code, std::vector<uint8_t>& bytes) const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_Store.Get(address, code, bytes) == EStoreResult::Ok;
}

bool CProjectorSimulator::GetGammaPoint(int address, int index, int& value) const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (address < 1 || address > CItemStore::kAddresses || index < 0 || index > 2)
        return false;
    value = m_GammaPoints[address - 1][index];
    return true;
}
