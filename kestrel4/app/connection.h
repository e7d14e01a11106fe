// Bringing the link from closed to working: the identification request, the model table,
// the power state, PC link mode; and the reactions to the power, busy and warning reports
// the projector sends while the program runs. Everything runs on the main window's thread.
#pragma once
#include <cstdint>
#include <string>

#include "connection_ui.h"
#include "link_receiver.h"
#include "projector_link.h"
#include "projector_model.h"
#include "setting_model.h"
#include "setting_table.h"

// Items whose answers later parts of the program handle (adjustment pages, installer mode).
class IItemHooks {
public:
    virtual ~IItemHooks() {}
    virtual void ApplyMultiByte(const SReceivedFrame& reply, int projector) = 0;
    virtual void SetLockEntries(const unsigned char* bytes, uint32_t count) = 0;
    virtual void OnOtherItemChanged(uint16_t item, bool fromProjector, int projector) = 0;
};

class CConnection : public IReceiverEvents {
public:
    CConnection(CProjectorLink& link, IConnectionUi& ui, CSettingTable& table);

    // The handlers of the engine messages; the window dispatches to them.
    CLinkReceiver& Receiver() { return m_Receiver; }
    // The setting model the pages, presets, files and installer mode work through.
    CSettingModel& Settings() { return m_Settings; }

    void SetItemHooks(IItemHooks* hooks) { m_pHooks = hooks; }

    int Connect();
    int Reconnect();
    // The COM1-COM4 menu.
    void SelectPort(unsigned int port);
    int IdentifyProjector();
    void MatchModel();
    void WaitWhileWarming(bool fromReport);
    void WaitCoolingThenPowerOn();

    // The projector buttons: 1040 Power, 1041-1045 remote-control keys.
    void PressProjectorButton(unsigned int button);
    // PC link mode 0 to every projector, when the program ends.
    void ReleaseLinkMode();

    int QueryItem(int stack, int projector, uint16_t item);
    int SetItem(int stack, int projector, uint16_t item, int32_t value);

    // IReceiverEvents
    void PutItemValue(uint16_t item, int32_t value, int projector) override;
    bool ApplyNotifiedValue(uint16_t item, const unsigned char* bytes, uint32_t count, int projector) override;
    void ApplyMultiByte(const SReceivedFrame& reply, int projector) override;
    void SetLockEntries(const unsigned char* bytes, uint32_t count) override;
    void OnItemChanged(uint16_t item, bool fromProjector, int projector) override;

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
    int m_bSettingsRead = 0;
    int m_bCursorRefresh = 0;

private:
    void ShowNoResponseThenChoose(bool& retry);
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
    CSettingTable& m_Table;
    IItemHooks* m_pHooks = nullptr;
    CLinkReceiver m_Receiver;
    CSettingModel m_Settings;
};
