// Bringing the link from closed to working: the identification request, the model table,
// the power state, PC link mode; and the reactions to the power, busy and warning reports
// the projector sends while the program runs. Everything runs on the main window's thread.
#pragma once
#include <cstdint>
#include <string>

#include "clock.h"
#include "connection_ui.h"
#include "item_store.h"
#include "link_receiver.h"
#include "projector_link.h"
#include "projector_model.h"

class CConnection : private IReceiverEvents {
public:
    // The link runs on the connection's clock from here on.
    CConnection(CProjectorLink& link, IConnectionUi& ui, IClock& clock);

    // The handlers of the engine messages; the window dispatches to them.
    CLinkReceiver& Receiver() { return m_Receiver; }
    const CLinkReceiver& Receiver() const { return m_Receiver; }
    CProjectorLink& Link() { return m_Link; }

    // Where received values are kept (the setting model), and who hears of other changes.
    void SetItemStore(IItemStore* store) { m_pStore = store; }
    void SetItemListener(IItemListener* listener) { m_pListener = listener; }

    int Connect();
    // Connect at start-up: when the kept port does not answer, the other present ports are
    // tried with the identification request before the user is asked.
    int ConnectAtStartup();
    int Reconnect();
    // The port menu: COM1-COM4 and every other present port.
    void SelectPort(unsigned int port);
    int IdentifyProjector();
    void MatchModel();
    void WaitWhileWarming(bool fromReport);
    void WaitCoolingThenPowerOn();

    // The projector buttons: 1040 Power, 1041-1045 remote-control keys.
    void PressProjectorButton(unsigned int button);
    // PC link mode 0 to every projector, when the program ends.
    void ReleaseLinkMode();

    // The connected model; the unrecognised one until a projector was identified.
    const SProjectorModel& Model() const { return m_Model; }
    const std::string& ModelName() const { return m_strModelName; }
    // Addressing: the projector the pages show (0 = none), how many are known, stack mode.
    int CurrentProjector() const { return m_nCurrentProjector; }
    int ProjectorCount() const { return m_nProjectorCount; }
    int IsStackMode() const { return m_bStackMode; }
    // Projector 1..4 becomes the one the pages show; 0 = none.
    void SelectProjector(int projector);
    // The stack as the stack query found it or the installer-only mode built it: projectors
    // 1..count are known, and in stack mode commands go to each of them as stack frames.
    void SetStack(int projectorCount, int stackMode);

    // Counts the identifications: what was read from a projector before the last one may
    // belong to another projector.
    unsigned int Identifications() const { return m_nIdentifications; }

    int IsPowerOn() const { return m_bPowerOn; }
    int IsWaitingActive() const { return m_bWaitingActive; }
    int IsWaitingCooling() const { return m_bWaitingCooling; }

private:
    // IReceiverEvents: everything goes to the store; power, busy and warnings are also ours.
    void OnSentValue(uint16_t item, int32_t value, int projector) override;
    bool OnNotifiedValue(uint16_t item, const unsigned char* bytes, uint32_t count, int projector) override;
    void OnMultiByte(const SReceivedFrame& reply, int projector) override;
    void OnLockEntries(const unsigned char* bytes, uint32_t count) override;
    // The answer to the stack query decides the stack mode, the count and the positions.
    void OnStackState(const unsigned char* bytes, uint32_t count);
    void OnItemChanged(uint16_t item, bool fromProjector, int projector) override;

    int32_t ItemValue(uint16_t item, int projector) const;
    // One-byte commands to projector 1..4 of the connection's own items.
    int QueryItem(int stack, int projector, uint16_t item);
    int SetItem(int stack, int projector, uint16_t item, unsigned char value);
    void DispatchPending() { m_Link.PumpAll(); }

    // Identification steps before the projector counts as connected; false = not connected.
    bool RunIdentification();
    // The Level 4 identification request on the open link; 0 = acknowledged and answered.
    int SendIdentification();
    // Tries the present ports other than the link's port; true with the link's port set to
    // the first that answers, false with it unchanged. Searches once per start.
    bool FindAnsweringPort();
    void Unconnected();
    bool SwitchToLevel5();
    void OnPowerAtConnection(int32_t state);
    void OnPowerReport(int32_t state);
    void OnBusy(int projector);
    void OnWarnings(int projector);
    // PC link mode 1 to every projector; outside stack mode to projector 1 only.
    void SetLinkMode(bool stackMode, unsigned char mode);
    void PressPower();
    void SwitchOnAndQuery();

    CProjectorLink& m_Link;
    IConnectionUi& m_Ui;
    IClock& m_Clock;
    IItemStore* m_pStore = nullptr;
    IItemListener* m_pListener = nullptr;
    CLinkReceiver m_Receiver;

    SProjectorModel m_Model;
    std::string m_strModelName;
    int m_bPowerOn = 0;
    int m_bPowerOff = 0;
    int m_bWaitingActive = 0;
    int m_bWaitingCooling = 0;
    int m_bWaitShown = 0;
    unsigned int m_nTurnedOffText; // string 509 until the first cooling-down report, then 506
    int m_nCurrentProjector = 0;
    int m_nProjectorCount = 0;
    int m_bStackMode = 0;
    unsigned int m_nIdentifications = 0;
    bool m_bSearchPorts = false;
};
