// The setting model against the simulated projector, wired as the main window wires it:
// the connection's receiving handlers feed the model. Shared by the model's test programs.
#pragma once
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "connection.h"
#include "setting_model.h"
#include "packets.h"
#include "projector_simulator.h"
#include "pseudo_terminal.h"
#include "queue_link_host.h"
#include "quiet_connection_ui.h"
#include "test_clock.h"

struct SShown {
    ESettingPage page;
    uint16_t item;
    int32_t value;
};

class CRecordingView : public ISettingView {
public:
    void ShowValue(ESettingPage page, uint16_t item, int32_t value) override { shown.push_back({page, item, value}); }
    void RefreshPages() override { events.push_back("refresh"); }
    void ShowReadingDialog() override { events.push_back("reading"); }
    void DestroyReadingDialog() override { events.push_back("done"); }
    void RequeryLater() override { events.push_back("requery later"); }

    std::vector<SShown> shown;
    std::vector<std::string> events;
};

// A frame the projector received from the computer, decoded.
struct SSeen {
    int attr = 0;
    bool apply = false, refused = false, stack = false;
    int to = 0;
    uint16_t item = 0;
    std::vector<uint8_t> param;
};

class SettingModelFixture : public ::testing::Test {
protected:
    SettingModelFixture() : m_Connection(m_Link, m_Ui, m_Clock), m_Model(m_Connection)
    {
        m_Clock.AddPeer([this] { return !m_pSim || m_pSim->IsIdle(); });
        m_Host.m_pReceiver = &m_Connection.Receiver();
        m_Link.Attach(&m_Host, &m_Connection.Receiver());
        m_Model.SetView(&m_View);
    }
    ~SettingModelFixture() override
    {
        if (m_Link.IsOpen())
            m_Link.Close();
    }
    // Connects to a fresh simulated projector and forgets what connecting sent.
    void Connect(const char* model = "KT-C310")
    {
        SSimulatorOptions options;
        options.strModel = model;
        ConnectWith(options);
    }
    void ConnectWith(const SSimulatorOptions& options)
    {
        ASSERT_TRUE(m_Pty.IsOpen());
        if (m_Link.IsOpen())
            m_Link.Close();
        m_pSim.reset(new CProjectorSimulator(options));
        ASSERT_TRUE(m_pSim->Start(m_Pty.MasterFd())) << m_pSim->Error();
        m_Host.m_Ports = {m_Pty.SlavePath()};
        ASSERT_EQ(m_Connection.Connect(), 1);
        m_pSim->Log().Clear();
        m_View.shown.clear();
    }
    // The parameter of the last frame the projector wrote for an item.
    std::vector<uint8_t> Written(uint16_t item) const
    {
        std::vector<uint8_t> param;
        for (const SLogEntry& e : m_pSim->Log().Entries()) {
            if (e.eKind != ELogKind::Tx || e.bytes.size() < 6)
                continue;
            SSeen seen = Decode(e.bytes);
            if (seen.item == item)
                param = seen.param;
        }
        return param;
    }
    static SSeen Decode(const std::vector<uint8_t>& frame)
    {
        CDataInformation bytes(frame.data(), static_cast<unsigned int>(frame.size()));
        CZelqLevel5Packet packet(static_cast<unsigned long>(frame.size() + 16));
        packet = bytes;
        SSeen seen;
        seen.attr = packet.GetAttr();
        seen.apply = packet.IsApply() != 0;
        seen.refused = packet.IsOK() != 0;
        seen.stack = packet.IsStack() != 0;
        seen.to = packet.GetTo();
        seen.item = static_cast<uint16_t>(packet.GetGroupID() << 8 | packet.GetItemID());
        const CDataInformation* p = packet.GetParameter();
        seen.param.assign(p->Bytes(), p->Bytes() + p->GetSize());
        return seen;
    }
    std::vector<SSeen> Received() const
    {
        std::vector<SSeen> frames;
        for (const SLogEntry& e : m_pSim->Log().Entries()) {
            if (e.eKind == ELogKind::RxFrame)
                frames.push_back(Decode(e.bytes));
        }
        return frames;
    }
    // Items of the commands with one attribute (1 set, 2 get, 3 reset), in order.
    std::vector<uint16_t> Commands(int attr) const
    {
        std::vector<uint16_t> items;
        for (const SSeen& s : Received())
            if (!s.apply && s.attr == attr)
                items.push_back(s.item);
        return items;
    }
    static bool Has(const std::vector<uint16_t>& items, uint16_t item)
    {
        for (uint16_t i : items)
            if (i == item)
                return true;
        return false;
    }
    // A frame the projector sends by itself; returns once the computer has answered it.
    void Report(uint16_t item, std::vector<uint8_t> value, bool stack = false, uint8_t from = 1)
    {
        auto answers = [](const std::vector<SLogEntry>& entries) {
            size_t n = 0;
            for (const SLogEntry& e : entries)
                n += e.eKind == ELogKind::RxFrame && e.strText.find("(answer") != std::string::npos;
            return n;
        };
        size_t before = answers(m_pSim->Log().Entries());
        m_pSim->SendFrame(SUnsolicitedFrame{stack, from, 0, 0x02, item, std::move(value)});
        auto start = std::chrono::steady_clock::now();
        while (answers(m_pSim->Log().Entries()) == before &&
               std::chrono::steady_clock::now() - start < std::chrono::seconds(2))
            m_Link.WaitPumping(5);
    }
    int Apply(int projector, uint16_t item, std::vector<uint8_t> bytes)
    {
        return m_Model.ApplyNotifiedValue(projector, item, bytes.data(), static_cast<uint32_t>(bytes.size()));
    }

    CPseudoTerminal m_Pty;
    std::unique_ptr<CProjectorSimulator> m_pSim;
    CQueueLinkHost m_Host;
    CTestClock m_Clock;
    CProjectorLink m_Link;
    CQuietUi m_Ui;
    CConnection m_Connection;
    CSettingModel m_Model;
    CRecordingView m_View;
};
