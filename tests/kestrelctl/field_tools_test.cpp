// The field tools' pieces that need no projector: the command line, batch and item parsing,
// JSON text, port names and order, report meanings, and reading a line record for replay.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "command_line.h"
#include "item_command.h"
#include "json_line.h"
#include "line_record.h"
#include "line_replay.h"
#include "serial_ports.h"
#include "tcp_port.h"
#include "watch_command.h"
#include "zelq_items.h"

namespace {

EParse Parse(std::vector<std::string> words, SOptions& o, std::string& error)
{
    words.insert(words.begin(), "kestrelctl");
    std::vector<char*> argv;
    for (std::string& w : words)
        argv.push_back(&w[0]);
    return ParseOptions(static_cast<int>(argv.size()), argv.data(), o, error);
}

TEST(CommandLine, HelpVersionAndUnknownWords)
{
    struct {
        std::vector<std::string> words;
        EParse expected;
        const char* error; // part of the message for Bad
    } cases[] = {
        {{"--help"}, EParse::Help, ""},
        {{"help"}, EParse::Help, ""},
        {{"--port", "COM1", "help"}, EParse::Help, ""},
        {{"--version"}, EParse::Version, ""},
        {{"--port", "COM1", "--frob", "identify"}, EParse::Bad, "unknown option \"--frob\""},
        {{"--port", "COM1", "--to", "9", "get", "0x0300"}, EParse::Bad, "bad value \"9\" for --to"},
        {{"--port", "COM1", "--seconds"}, EParse::Bad, "--seconds needs a value"},
        {{"identify"}, EParse::Bad, "no --port for \"identify\""},
        {{"--port", "COM1"}, EParse::Bad, "no command"},
        {{"ports", "--probe", "--json"}, EParse::Run, ""},
        {{"--port", "tcp://h:1", "--json", "--stop-on-error", "batch", "f"}, EParse::Run, ""},
    };
    for (const auto& c : cases) {
        SOptions o;
        std::string error;
        EXPECT_EQ(Parse(c.words, o, error), c.expected) << c.words.back();
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
    }
    SOptions o;
    std::string error;
    ASSERT_EQ(Parse({"--port", "P", "--json", "--seconds", "5", "--record", "r.rec", "watch"}, o, error), EParse::Run);
    EXPECT_TRUE(o.bJson);
    EXPECT_EQ(o.seconds, 5);
    EXPECT_EQ(o.record, "r.rec");
    EXPECT_EQ(o.command, std::vector<std::string>{"watch"});
}

TEST(ItemCommand, ParsesWhatABatchLineHolds)
{
    struct {
        std::vector<std::string> words;
        bool ok;
        const char* error;
        unsigned int width;
    } cases[] = {
        {{"identify"}, true, "", 0},
        {{"get", "0x0300"}, true, "", 0},
        {{"set", "0x0300", "-10"}, true, "", 1},
        {{"set", "0x0500", "300"}, true, "", 2},
        {{"reset", "0x0300"}, true, "", 0},
        {{"set", "0x0300", "300"}, false, "does not fit in 1 byte", 0},
        // A known item is read back signed: these would arrive as -1 and -25536.
        {{"set", "0x0300", "255"}, false, "does not fit in 1 byte", 0},
        {{"set", "0x0500", "40000"}, false, "does not fit in 2 bytes", 0},
        {{"set", "0x0300", "-128"}, true, "", 1},
        // Resolution is an unsigned choice: 130 is itself, -5 would arrive as 251.
        {{"set", "0x030E", "130"}, true, "", 1},
        {{"set", "0x030E", "-5"}, false, "does not fit in 1 byte", 0},
        {{"get"}, false, "get takes ITEM", 0},
        {{"identify", "x"}, false, "identify takes no argument", 0},
        {{"get", "0x10000"}, false, "bad item \"0x10000\"", 0},
        {{"set", "0x0300", "ten"}, false, "bad value \"ten\"", 0},
        {{"frobnicate"}, false, "unknown command \"frobnicate\"", 0},
    };
    for (const auto& c : cases) {
        SItemCommand command;
        std::string error;
        EXPECT_EQ(ParseItemCommand(c.words, command, error), c.ok) << c.words[0];
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
        if (c.ok) {
            EXPECT_EQ(command.width, c.width) << c.words[0];
        }
    }
}

TEST(JsonLine, EscapesAndOrdersFields)
{
    EXPECT_EQ(JsonQuoted("a\"b\\c\n\x01"), "\"a\\\"b\\\\c\\u000a\\u0001\"");
    EXPECT_EQ(CJsonLine().Text("type", "KT-C310").Number("value", -10).Str(), "{\"type\":\"KT-C310\",\"value\":-10}");
    EXPECT_EQ(CJsonLine().Str(), "{}");
}

TEST(SerialPorts, NumbersSortAsNumbersAndEachPortIsListedOnce)
{
    std::vector<std::string> names = {"COM10", "COM2",       "/dev/ttyUSB0", "/dev/ttyS10", "/dev/ttyS2",
                                      "COM1",  "/dev/ttyS", "COM2",         "/dev/ttyS2"};
    EXPECT_EQ(SortedPortNames(names), (std::vector<std::string>{"/dev/ttyS", "/dev/ttyS2", "/dev/ttyS10", "/dev/ttyUSB0",
                                                                "COM1", "COM2", "COM10"}));
}

TEST(Watch, ReportsReadAsTheirMeaning)
{
    struct {
        uint16_t item;
        int32_t value;
        const char* name;
        const char* meaning;
    } cases[] = {
        {kItemPower, 0x00, "power", "standby"},
        {kItemPower, 0x01, "power", "on"},
        {kItemPower, 0x10, "power", "warming up"},
        {kItemPower, 0x11, "power", "cooling down"},
        {kItemPower, 0x02, "power", "unknown"},
        {kItemResetAll, 0, "busy", "busy"},
        {kItemResetAll, 1, "busy", "ready"},
        {kItemWarnings, 0, "warnings", "no warning"},
        {kItemWarnings, 0x05, "warnings", "cooling fan problem, too hot"},
        {kItemWarnings, 0x80, "warnings", "internal problem"},
        {kItemLampHours, 1200, "lamp hours", "1200 hours"},
        {kItemInput, 16, "input", "computer"},
        {kItemInput, 34, "input", "video"},
        {kItemSignal, 1, "signal", "valid signal"},
        {kItemSignal, 233, "signal", "valid signal"},
        {kItemSignal, 234, "signal", "no valid signal"},
        {kItemSignal, 0, "signal", "no valid signal"},
        {kItemBrightness, 5, "Brightness", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ReportItemName(c.item), c.name) << c.item;
        EXPECT_EQ(ReportMeaning(c.item, c.value), c.meaning) << c.item << " " << c.value;
    }
}

TEST(TcpPortName, SplitsHostAndPort)
{
    struct {
        const char* name;
        bool ok;
        const char* host;
        const char* port;
    } cases[] = {
        {"tcp://127.0.0.1:4001", true, "127.0.0.1", "4001"},
        {"tcp://server.local:1", true, "server.local", "1"},
        {"tcp://[::1]:65535", true, "::1", "65535"},
        {"tcp://host:0", false, "", ""},
        {"tcp://host:65536", false, "", ""},
        {"tcp://host:", false, "", ""},
        {"tcp://:4001", false, "", ""},
        {"tcp://host:40x", false, "", ""},
        {"COM1", false, "", ""},
        {"/dev/ttyUSB0", false, "", ""},
    };
    for (const auto& c : cases) {
        std::string host, port;
        EXPECT_EQ(ParseTcpPortName(c.name, host, port), c.ok) << c.name;
        if (c.ok) {
            EXPECT_EQ(host, c.host);
            EXPECT_EQ(port, c.port);
        }
    }
    EXPECT_EQ(ConnectTcp("tcp://host:0"), -1);
}

TEST(LineRecord, StepsPairWhatWasSentWithWhatCameBack)
{
    const char* text = "# kestrel line record 1\n"
                       "0.000100 = /dev/pts/3\n"
                       "0.000200 < 1B 06 00 00 03 01\n"   // a report before anything was sent
                       "0.001000 > 1B 06 02 00 04\n"
                       "0.001500 > F4\n"                  // one frame in two writes
                       "0.011500 < 06\n"
                       "0.031500 < 1B 0A 02\n"
                       "0.032000 > 06\n"                  // the client's ACK opens the next step
                       "0.040000 > 1B 06 02 03 00 F5\n";
    std::vector<SReplayStep> steps;
    std::string error;
    ASSERT_TRUE(ParseLineRecord(text, steps, error)) << error;
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_TRUE(steps[0].expect.empty());
    ASSERT_EQ(steps[0].replies.size(), 1u);
    EXPECT_EQ(steps[1].expect, (std::vector<uint8_t>{0x1B, 0x06, 0x02, 0x00, 0x04, 0xF4}));
    ASSERT_EQ(steps[1].replies.size(), 2u);
    EXPECT_EQ(steps[1].replies[0].nDelayUs, 10000);
    EXPECT_EQ(steps[1].replies[1].nDelayUs, 20000);
    EXPECT_EQ(steps[2].expect, (std::vector<uint8_t>{0x06, 0x1B, 0x06, 0x02, 0x03, 0x00, 0xF5}));
    EXPECT_TRUE(steps[2].replies.empty());

    for (const char* bad : {"0.1 ? 06\n", "0.1 > 6\n", "0.1 > 1G\n", "0.1 < 100\n"}) {
        EXPECT_FALSE(ParseLineRecord(bad, steps, error)) << bad;
        EXPECT_NE(error.find("line 1"), std::string::npos) << error;
    }
}

std::string Contents(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(LineRecord, ReplacesAKeptRecordOnlyOnceWholeAndNeverAReadOnlyOne)
{
    const std::string path = testing::TempDir() + "kept.rec";
    std::ofstream(path) << "an earlier record\n";
    ASSERT_TRUE(SeriloxRecordLine(path.c_str()));
    const unsigned char bytes[] = {0x1B, 0x06};
    NoteLineBytes('>', bytes, sizeof bytes);
    // While it runs the kept record stands; the new one grows beside it.
    EXPECT_EQ(Contents(path), "an earlier record\n");
    EXPECT_NE(Contents(path + ".new").find("> 1B 06"), std::string::npos);
    ASSERT_TRUE(SeriloxStopLineRecord());
    EXPECT_NE(Contents(path).find("> 1B 06"), std::string::npos);
    EXPECT_FALSE(std::ifstream(path + ".new").good());

    // A record its owner made read-only is refused and left alone.
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    const std::string before = Contents(path);
    EXPECT_FALSE(SeriloxRecordLine(path.c_str()));
    EXPECT_FALSE(SeriloxStopLineRecord()) << "nothing was recorded, so nothing was saved";
    EXPECT_EQ(Contents(path), before);
    chmod(path.c_str(), 0644);
    std::remove(path.c_str());
}

TEST(LineRecord, AnAnswerReadDuringAWriteIsNotedAfterWhatWasWritten)
{
    const std::string path = testing::TempDir() + "order.rec";
    ASSERT_TRUE(SeriloxRecordLine(path.c_str()));
    const unsigned char command[] = {0x1B, 0x06, 0x02, 0x03, 0x01, 0xF4};
    const unsigned char ack[] = {0x06};
    std::atomic<bool> noted{false};
    std::thread reader;
    {
        CLineSendNote note;
        // The projector's ACK arrives while the command is still being written.
        reader = std::thread([&] {
            NoteLineBytes('<', ack, sizeof ack);
            noted = true;
        });
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
        while (!noted && std::chrono::steady_clock::now() < until)
            std::this_thread::yield();
        EXPECT_FALSE(noted) << "the answer was noted while the write was under way";
        note.Sent(command, sizeof command);
    }
    reader.join();
    ASSERT_TRUE(SeriloxStopLineRecord());

    std::vector<SReplayStep> steps;
    std::string error;
    ASSERT_TRUE(ParseLineRecord(Contents(path), steps, error)) << error;
    // One exchange: the command, then its ACK; nothing is answered before the command came.
    ASSERT_EQ(steps.size(), 1u) << Contents(path);
    EXPECT_EQ(steps[0].expect, std::vector<uint8_t>(command, command + sizeof command));
    ASSERT_EQ(steps[0].replies.size(), 1u);
    EXPECT_EQ(steps[0].replies[0].bytes, std::vector<uint8_t>{0x06});
    std::remove(path.c_str());
}

} // namespace
