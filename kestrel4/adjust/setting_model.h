// The setting model: the table of every item's last known value for up to four projectors,
// the commands that set, query and reset items through the link, the bulk walks that push or
// pull whole lists, and the rules by which values from the projector are taken or refused.
// Pages, presets, setting files and the installer-only mode work only through it.
#pragma once
#include <cstdint>
#include <vector>

#include "connection.h"
#include "item_store.h"
#include "setting_items.h"
#include "setting_table.h"

// What the model needs from the pages and the panel.
class ISettingView {
public:
    virtual ~ISettingView() {}
    // A value the model took for the projector the pages show; page is where it is shown.
    virtual void ShowValue(ESettingPage page, uint16_t item, int32_t value) = 0;
    // Every page re-reads the current projector's values from the table; the panel repaints.
    virtual void RefreshPages() = 0;
    // "Reading in the projector setting. Please wait." around a whole-model read.
    virtual void ShowReadingDialog() = 0;
    virtual void DestroyReadingDialog() = 0;
    // A report asked for a re-read while a command waited for its answer: call
    // RunPendingRequery once the message loop runs again.
    virtual void RequeryLater() = 0;
};

class CSettingModel : private IItemStore {
public:
    // The addressing and the connected model belong to the connection; the model reads them
    // on every call, so they may change at any time. The model takes every value the
    // connection receives from now on.
    explicit CSettingModel(CConnection& connection);
    ~CSettingModel() override;
    CSettingModel(const CSettingModel&) = delete;
    CSettingModel& operator=(const CSettingModel&) = delete;

    // A re-read still pending is asked of the new view.
    void SetView(ISettingView* view);

    // Commands. projector: 1..4, 0 = all (address 0xFF), -1 = the current one; other values
    // send nothing. ok chains calls: 0 returns 0 at once without sending. 1 = answered and
    // taken; the table follows the answer, not the command.
    int SetItem(int stack, int projector, uint16_t item, const unsigned char* bytes, unsigned int count, int ok = 1);
    // The value in the item's width, most significant byte first.
    int SetItemValue(int stack, int projector, uint16_t item, int32_t value, int ok = 1);
    // A user's change: a set that has no answer is followed by a query, since the projector
    // may have taken the value all the same. 1 when the projector holds the value: its answer
    // took it, or the query read it back.
    int SetItemValueChecked(int stack, int projector, uint16_t item, int32_t value);
    int QueryItem(int stack, int projector, uint16_t item, int ok = 1);
    int ResetItem(int stack, int projector, uint16_t item, int ok = 1);

    // The table. projector: 1..4, -1 = the current one (slot 0 when there is none), 0 = slot 0
    // for reading and all four for writing. Reading with any other value gives -1; writing
    // stores nothing.
    int32_t GetItemValue(uint16_t item, int projector) const override;
    void PutItemValue(uint16_t item, int32_t value, int projector) override;

    // Values that arrive from the projector (the receiving handlers call these).
    // A 1..4 byte value of a get or reset answer or a report: 1 = taken and stored.
    int ApplyNotifiedValue(int projector, uint16_t item, const unsigned char* bytes, uint32_t count);
    // A longer (or empty) answer. True when the item is one of the model's multi-byte replies,
    // whether or not its length was right.
    bool ApplyMultiByte(int projector, uint16_t item, const unsigned char* bytes, uint32_t count);
    // The answer to a set: the value that was sent, decoded without its sign.
    void PutSentValue(uint16_t item, int32_t value, int projector);
    // Lock entries that a set of 0x1004 carried (GroupID, ItemID, sub-entry, lock), for the
    // projector the last answer came from.
    void SetLockEntries(const unsigned char* bytes, uint32_t count);
    // After the table has changed: re-queries on the projector's input and signal reports. A
    // report that comes while a command waits for its answer is re-queried later, through the
    // view: a command sent inside that wait would take the other's answer as its own.
    void OnItemChanged(uint16_t item, bool fromProjector, int projector) override;
    // The re-read a report asked for during a command, then the pages' refresh; 0 when none
    // was pending. Inside another command's wait it stays pending and is asked for again
    // when a command of the model returns.
    int RunPendingRequery();

    // Bulk walks. They stop at a command without an answer and go on after a refusal.
    // SendAllSettings leaves out values a save could not read (CSettingTable::kUnread) and
    // adds the items the projector refused to refused, those it took to taken.
    int SendAllSettings(int projector, int ok = 1, std::vector<uint16_t>* refused = nullptr,
                        std::vector<uint16_t>* taken = nullptr);
    int QueryAllSettings(int projector, int ok = 1);
    int QueryInputItems(int projector, int ok = 1);
    int QuerySignalItems(int projector, int ok = 1);
    // The lock entries of the installer-only mode, read back from projector 1..4 or -1 (the
    // current one; the masks follow the answers). A complete read puts that projector's
    // locks in force until the next identification.
    int ReadLockSettings(int projector = -1);
    // Until the next complete read the table's masks of projector 1..4 or -1 are not its
    // locks (a walk that changes them on the projector may stop halfway).
    void ForgetLocks(int projector);
    // The lock entries of every projector of a stack, else of the current one.
    int ReadAllLockSettings(int ok = 1);
    // Every lock entry as the table's masks hold it, to projector 1..4 or -1.
    int SendLockSettings(int projector, int ok = 1);
    // The whole model behind the reading dialog: every projector of a stack, else the current one.
    int ReadProjectorSettings();
    // 0x060C, 0x060D and 0x060E x 3 for Gamma choice g (0..2), each only after the previous one.
    int SendGammaParameters(int stack, int projector, unsigned int g, int ok = 1);

    // Input and signal of the current projector.
    int GetInputCode() const;
    int IsComputerInput() const;
    int IsSignalValid() const;
    int IsTintAvailable() const;
    // Whether the gamma parameters and the About page take the input as a computer's.
    int IsComputerGamma() const { return IsComputerInput() && GetInputCode() != 64; }

    // Locks. IsItemLocked: -1 for a projector outside -1..4, 0 while the locks are not in force.
    int IsItemLocked(uint16_t item, unsigned int sub, int projector) const;
    int IsPageLocked(int tab, int projector) const;
    // The model has the installer-only mode, the projector is one the program addresses
    // (a stack member, or the single projector) and its lock masks were read back from it
    // since it was identified: the table's masks are then the projector's own.
    bool LocksInForce(int projector) const;

    // Preset n (0..4) of the projector holds a registered adjustment.
    int IsPresetRegistered(unsigned int n, int projector = -1) const;
    bool IsBulkReadRunning() const { return m_nBulkReads != 0; }
    // Marks a walk in progress for its lifetime, so that input and signal reports do not
    // start another walk inside the wait of one of its commands.
    class CBulkWalk {
    public:
        explicit CBulkWalk(CSettingModel& model) : m_Model(model) { ++m_Model.m_nBulkReads; }
        ~CBulkWalk() { --m_Model.m_nBulkReads; }
        CBulkWalk(const CBulkWalk&) = delete;
        CBulkWalk& operator=(const CBulkWalk&) = delete;

    private:
        CSettingModel& m_Model;
    };

    CConnection& Connection() { return m_Connection; }
    const CConnection& Connection() const { return m_Connection; }
    // The table itself: the projector setting file is its bytes.
    CSettingTable& Table() { return m_SettingTable; }
    const CSettingTable& Table() const { return m_SettingTable; }

private:
    // IItemStore: what the connection hands on from the receiving handlers.
    void OnSentValue(uint16_t item, int32_t value, int projector) override { PutSentValue(item, value, projector); }
    bool OnNotifiedValue(uint16_t item, const unsigned char* bytes, uint32_t count, int projector) override
    {
        return ApplyNotifiedValue(projector, item, bytes, count) != 0;
    }
    void OnMultiByte(const SReceivedFrame& reply, int projector) override
    {
        ApplyMultiByte(projector, reply.wItem, reply.Parameter, reply.nParameterLength);
    }
    void OnLockEntries(const unsigned char* bytes, uint32_t count) override { SetLockEntries(bytes, count); }

    // The address byte of a projector argument; false for a value outside -1..4.
    bool Address(int projector, unsigned char& address) const;
    // The table's projector for an argument: 1..4, or 0 for all slots; -1 when bad.
    int TableProjector(int projector) const;
    int CurrentProjector() const;
    // A command without an answer ends a walk; a refusal does not.
    bool Answered() const;
    int NoCommand();
    // The table's lock bit, whether or not the locks are in force; p is a table projector.
    int IsStoredLocked(uint16_t item, unsigned int sub, int p) const;
    void UpdateLockMask(int projector, uint16_t code, unsigned int sub, bool locked);
    void Show(int projector, ESettingPage page, uint16_t item, int32_t value);
    bool IsOfModel(uint16_t code) const;
    int RequeryAfterReport(uint16_t item, int projector);
    // One command through the link; afterwards a pending re-read is asked for again.
    int Command(int stack, unsigned char attr, unsigned char address, uint16_t item, const unsigned char* bytes,
                unsigned int count);
    void DeferRequery(uint16_t item, int projector);
    void AskForRequery();

    CProjectorLink& m_Link;
    CConnection& m_Connection;
    CSettingTable m_SettingTable;
    ISettingView* m_pView = nullptr;
    int m_nBulkReads = 0;
    int m_nLastAnswerFrom = 1;
    // The re-read a report asked for during a command: the input's (which reads the signal's
    // too) or the signal's, 0 for none; of one projector, or 1 (all of a stack) for several.
    uint16_t m_wPendingRequery = 0;
    int m_nPendingProjector = 1;
    bool m_bRequeryAsked = false;
    // Per projector 1..4: the identification its masks were read back in; 0 = never.
    unsigned int m_nLocksReadIn[4] = {0, 0, 0, 0};
};
