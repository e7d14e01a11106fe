// A projector on the far end of a serial line: it acknowledges and answers the computer's
// frames from an item store, identifies itself as one of the known models, misbehaves on
// request (a fault plan), sends frames of its own when asked, and logs all it sees.
// It serves one file descriptor (a pseudo-terminal's master) from a thread of its own.
#pragma once
#include <atomic>
#include <chrono>
#include <map>
#include <cstdint>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "received_blocks.h"
#include "fault_plan.h"
#include "frame_reader.h"
#include "sim_item_store.h"
#include "sim_log.h"
#include "sim_model.h"

// How long the projector's own state changes take. Untimed, a set of the power state or of
// reset all takes effect at once and nothing is reported, which is how the computer's
// plainer tests want their projector; timed, the projector warms up, cools down, is busy
// and re-synchronises for these times and reports each change by itself.
struct SStateTiming {
    bool bTimed = false;
    unsigned int nWarmMs = 30000;
    unsigned int nCoolMs = 60000;
    unsigned int nBusyMs = 3000; // reset all
    unsigned int nSyncMs = 1000; // after a resolution change
};

// "WARM:COOL[:BUSY[:SYNC]]" in ms makes the timing timed, "off" untimed; false leaves it.
bool ParseStateTiming(const std::string& text, SStateTiming& timing);

struct SSimulatorOptions {
    std::string strModel = "KT-C310"; // a name of SimModelNames()
    bool bAsic = false;               // the line carries ASIC frames
    unsigned int nBaud = 9600;        // line rate for pacing
    bool bPace = false;               // write no faster than nBaud (10 bits a byte)
    int nProjectors = 4;              // stack addresses 1..n answer
    int nPower = 0x01;                // item 0x0003 at start
    SStateTiming timing;
    long long nIdent = -1;        // identification bytes instead of the model's
    unsigned int nIdentBytes = 4; // length of the identification answer (its first bytes)
    bool bRefuseIdent = false;    // a Level 5 request for the identification is refused
    int nStallLimitMs = 1000;     // a frame from the computer that stops this long is dropped
    std::string strLogFile;
    std::vector<SFault> faults; // the fault plan at start
    std::string strImageFile;   // each completed bulk transfer is written here
    bool bRandomFaults = false;
    uint32_t nRandomSeed = 0;
    unsigned int nRandomPercent = 0;
};

// A frame the projector sends on its own, such as a report of a changed value.
struct SUnsolicitedFrame {
    bool bStack = false;
    uint8_t nFrom = 1; // the sending projector (stack form)
    uint8_t nTo = 0;
    uint8_t nFlags = 0x02; // Level 5 flag byte (attribute 2, Apply clear); ASIC: the attribute
    uint16_t wItem = 0;
    std::vector<uint8_t> value;
};

// A block of a bulk transfer that the projector mishandles on purpose (counted from 0 per
// transfer): refused; dropped unheard; taken but never answered (Silent); or this block and
// every later one of the transfer dropped, as a pulled cable would (DropRest).
enum class EBlockFault { None, Refuse, Drop, Silent, DropRest };

struct SSimCounters {
    unsigned int nFrames = 0;    // command frames with a right checksum, control frames excepted
    unsigned int nBadFrames = 0; // checksum, length or stalled
    unsigned int nAcks = 0;      // ACK bytes received, except those for control answers
    unsigned int nNaks = 0;
};

class CProjectorSimulator {
public:
    explicit CProjectorSimulator(const SSimulatorOptions& options = SSimulatorOptions());
    ~CProjectorSimulator();
    CProjectorSimulator(const CProjectorSimulator&) = delete;
    CProjectorSimulator& operator=(const CProjectorSimulator&) = delete;

    // Serves fd until Stop; fd is switched to non-blocking and stays the caller's to close.
    // False, with Error(), for an unknown model, an unwritable log file or a second start.
    bool Start(int fd);
    void Stop();
    // Nothing to do until the computer sends something: no byte unread, nothing to write, no
    // timer or partial frame running. A stopped projector is idle too. Tests run a clock that
    // jumps over silences only while this holds.
    bool IsIdle() const;
    bool IsRunning() const { return m_Thread.joinable(); }
    const std::string& Error() const { return m_strError; }

    void PushFault(const SFault& fault);
    void PushFaults(const std::vector<SFault>& faults);
    void ClearFaults(); // also ends random faults
    // The next count answers of the computer to our own frames are refused with a NAK.
    void RefuseAnswers(unsigned int count);
    void SetRandomFaults(uint32_t seed, unsigned int percent);
    size_t PendingFaults() const;

    void SetReplyDelay(unsigned int ms); // every later reply waits that long after its ACK
    void SetPacing(unsigned int baud);   // 0 = write at once
    unsigned int GetBaud() const;

    void SendFrame(const SUnsolicitedFrame& frame, unsigned int delayMs = 0);
    void SendRaw(const std::vector<uint8_t>& bytes, unsigned int delayMs = 0);

    // The store of projector address 1-4, without range checks.
    bool SetValue(int address, uint16_t code, long long value);
    bool GetValue(int address, uint16_t code, long long& value) const;
    // Whole values of any width, blocks such as 0x030A or 0x0311 too.
    bool SetBytes(int address, uint16_t code, const std::vector<uint8_t>& bytes);
    bool GetBytes(int address, uint16_t code, std::vector<uint8_t>& bytes) const;
    // Gamma point 0-2 as last set through 0x060E.
    bool GetGammaPoint(int address, int index, int& value) const;
    // A change the projector makes itself (input, signal, warnings, power): stored without
    // range checks, with its consequences (a warming or cooling state runs its time when
    // timed), and reported by the projector.
    bool ChangeValue(int address, uint16_t code, long long value);
    void SetTiming(const SStateTiming& timing);
    SStateTiming Timing() const;
    bool IsStackEstablished() const;
    // What bulk transfers have delivered so far.
    CReceivedBlocks BulkTransfer() const;

    // Bulk transfers: the bytes of the last one that ended with 0x0905 = 0 (from its first
    // prepared address), how many ended and how many were aborted.
    std::vector<uint8_t> ReceivedImage() const;
    unsigned int TransfersEnded() const;
    unsigned int TransfersAborted() const;
    void SetImageFile(const std::string& path);
    void SetBlockFault(unsigned int block, EBlockFault fault);
    static uint32_t Digest(const std::vector<uint8_t>& bytes); // FNV-1a, as the log shows it
    // The installer password (up to 16 characters) and the lock entries of projector 1..4
    // (-1 for another address); how often "setting complete" arrived.
    void SetPassword(const std::string& text);
    std::string Password() const;
    int GetLock(int address, uint16_t code, int sub) const;
    unsigned int SettingCompletes() const;

    // One line of the control FIFO's language; "" when done, else what was wrong.
    std::string Execute(const std::string& line);

    CSimLog& Log() { return m_Log; }
    const CSimLog& Log() const { return m_Log; }
    SSimCounters Counters() const;

    static std::vector<uint8_t> BuildFrame(const SUnsolicitedFrame& frame, bool bAsic);

private:
    // A frame from the computer, decoded.
    struct SCommand {
        EFrameKind eKind = EFrameKind::Short;
        uint8_t nFlags = 0; // the whole flag byte (Level 5) or attribute byte (ASIC)
        uint8_t nAttr = 0;  // low nibble
        bool bApply = false, bOK = false, bCheck = false;
        uint8_t nTo = 0, nFrom = 0;
        uint16_t wItem = 0;
        std::vector<uint8_t> param;
        std::vector<uint8_t> bytes;
    };
    // A frame the projector is about to send.
    struct SReply {
        EFrameKind eKind = EFrameKind::Short;
        uint8_t nFlags = 0;
        uint8_t nTo = 0, nFrom = 0;
        uint16_t wItem = 0;
        std::vector<uint8_t> param;
        std::string strLabel;
        unsigned int nNewBaud = 0; // the line changes speed once this is written
    };
    struct SOutput {
        long long nDueUs = 0;
        uint64_t nSeq = 0;
        std::vector<uint8_t> bytes;
        std::string strLabel;
        bool bControlAnswer = false;
        unsigned int nNewBaud = 0;
        size_t nSent = 0;
        bool bStarted = false;
    };

    void Run();
    void Wake();
    long long NowUs() const;
    long long NextWakeUs(long long nowUs) const;
    void Flush(long long nowUs);
    long long ByteTimeUs() const; // 0 when not pacing
    void Queue(std::vector<uint8_t> bytes, long long dueUs, std::string label, bool bControlAnswer = false,
               unsigned int newBaud = 0);
    void QueueReply(const SReply& reply, long long dueUs, bool bControlAnswer = false);
    void Note(const std::string& text);

    void Handle(const SRxEvent& event, long long nowUs);
    void HandleFrame(const SRxEvent& event, long long nowUs);
    void HandleControl(const SCommand& command, long long nowUs);
    std::string RunControl(const SCommand& command, long long nowUs, std::vector<uint8_t>& answer,
                           std::vector<SOutput>& after);
    std::vector<SReply> Execute(const SCommand& command, long long nowUs);
    SReply Answer(const SCommand& command, int address, bool bBroadcast, long long nowUs);
    SReply AsicAnswer(const SCommand& command);
    // The projector's own behaviour behind a get, a set or a reset; Ok lets the store do it.
    // Password, lock entries and setting complete; false for other items.
    bool InstallerAnswer(const SCommand& command, int first, int last, std::vector<uint8_t>& param,
                         EStoreResult& result);
    EStoreResult GetSpecial(int address, const SCommand& command, std::vector<uint8_t>& out) const;
    EStoreResult SetSpecial(int address, const SCommand& command, bool& handled, long long nowUs);
    void AfterReset(int address, uint16_t code, long long nowUs);
    EStoreResult RegisterPreset(int address, int preset);
    EStoreResult RecallPreset(int address, int preset);
    EStoreResult TransferSet(int address, const SCommand& command, bool& handled);
    // The fault a block of the transfer meets on the line (Normal for any other command).
    EFault BlockLineFault(const SCommand& command);
    bool TransferComplete() const;
    void EndTransfer(bool bComplete);
    void PressKeys(int address, const std::vector<uint8_t>& keys, long long nowUs);
    bool ChangeLocked(int address, uint16_t code, const std::vector<uint8_t>& bytes, long long nowUs);
    void Report(int address, uint16_t code);
    void QueueConsequences(long long dueUs);
    void StartTimer(int address, int timer, long long dueUs);
    void RunTimers(long long nowUs);
    long long NextTimerUs() const;
    void ScheduleStartPower(long long nowUs);
    // The end of a warming or cooling state of one projector, from its power value now.
    void StartPowerTimer(int address, long long nowUs);
    void SetTimingLocked(const SStateTiming& timing, long long nowUs);
    std::vector<uint8_t> StackState() const;
    std::vector<uint8_t> IdentBytes() const;
    std::vector<uint8_t> ShortLengthHead(EFrameKind kind) const;
    SOutput MakeFrameOutput(const SUnsolicitedFrame& frame, long long dueUs) const;
    std::string ExecuteLocked(const std::string& line);

    SSimulatorOptions m_Options;
    const SSimModel* m_pModel;
    std::string m_strError;

    mutable std::mutex m_Mutex; // everything below; never held while waiting for the line
    CItemStore m_Store;
    CFaultPlan m_Plan;
    unsigned int m_nRefusedAnswers = 0;
    unsigned int m_nReplyDelayMs = 0;
    unsigned int m_nBaud;
    bool m_bPace;
    bool m_bStackEstablished = false;
    bool m_bStackCancelled = false; // projector 1 reports its former head role as 0x11
    std::vector<uint8_t> m_Password = std::vector<uint8_t>(16, 0);
    std::map<uint32_t, uint8_t> m_Locks[CItemStore::kAddresses]; // GroupID, ItemID, sub -> lock
    unsigned int m_nSettingCompletes = 0;
    SStateTiming m_Timing;
    // Per address: when the power, busy and re-sync states end (-1: not running).
    enum { TIMER_POWER, TIMER_BUSY, TIMER_SYNC, TIMER_COUNT };
    long long m_nTimerUs[CItemStore::kAddresses][TIMER_COUNT];
    int m_GammaPoints[CItemStore::kAddresses][3] = {};
    // Reports that a command causes; they go out after its answer.
    std::vector<SUnsolicitedFrame> m_Consequences;
    CReceivedBlocks m_Bulk;
    SSimCounters m_Counters;
    bool m_bControlAnswerLast = false; // the last frame written answered a control command
    std::unique_ptr<CFrameReader> m_pReader;
    std::vector<SOutput> m_Output; // by due time; the front one may be part written
    uint64_t m_nOutputSeq = 0;
    long long m_nNextByteUs = 0; // pacing: when the line takes the next byte
    long long m_nRxLineUs = 0;   // pacing: when the last byte from the computer has arrived
    bool m_bWriteBlocked = false;
    bool m_bAsleep = false; // the line thread waits for the line alone, without a limit
    long long m_nHangupUntilUs = 0;

    // Bulk transfer state.
    struct STransfer {
        bool bOpen = false;
        uint32_t nBase = 0, nEnd = 0; // prepared area
        std::vector<uint8_t> bytes;
        std::vector<bool> written;
        unsigned int nBlocks = 0;
    } m_Transfer;
    std::vector<uint8_t> m_LastImage;
    unsigned int m_nTransfersEnded = 0, m_nTransfersAborted = 0;
    std::string m_strImageFile;
    unsigned int m_nFaultBlock = 0;
    EBlockFault m_eBlockFault = EBlockFault::None;
    // Items every get, set and reset of which is refused ("refuse ITEM").
    std::set<uint16_t> m_RefusedItems;

    CSimLog m_Log;
    std::chrono::steady_clock::time_point m_Start;
    int m_nFd = -1;
    int m_WakePipe[2] = {-1, -1};
    std::atomic<bool> m_bStop{false};
    std::thread m_Thread;
};
