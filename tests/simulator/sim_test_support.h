// A simulator on a real pseudo-terminal and the computer's end of the line, for tests that
// speak raw bytes. Frames are built here by hand, not with the simulator's own code.
#pragma once
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <poll.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "projector_simulator.h"
#include "pseudo_terminal.h"

using Bytes = std::vector<uint8_t>;

inline Bytes Hex(const std::string& text)
{
    Bytes bytes;
    std::string digits;
    for (char c : text)
        if (c != ' ')
            digits += c;
    for (size_t i = 0; i + 1 < digits.size(); i += 2)
        bytes.push_back(static_cast<uint8_t>(std::stoul(digits.substr(i, 2), nullptr, 16)));
    return bytes;
}

inline uint8_t Checksum(const Bytes& frameWithoutChecksum)
{
    uint8_t sum = 0;
    for (size_t i = 1; i < frameWithoutChecksum.size(); ++i)
        sum = static_cast<uint8_t>(sum + frameWithoutChecksum[i]);
    return static_cast<uint8_t>(-sum);
}

// Start byte, length and header, then the parameter and the checksum.
inline Bytes Framed(Bytes head, const Bytes& param)
{
    head.insert(head.end(), param.begin(), param.end());
    head.push_back(Checksum(head));
    return head;
}

inline Bytes ShortFrame(uint8_t flags, uint16_t item, const Bytes& param = {})
{
    return Framed({0x1B, uint8_t(param.size() + 6), flags, uint8_t(item >> 8), uint8_t(item)}, param);
}

inline Bytes StackFrame(uint8_t flags, uint8_t to, uint8_t from, uint16_t item, const Bytes& param = {})
{
    size_t total = param.size() + 8;
    return Framed(
        {0x1D, uint8_t(total >> 8), uint8_t(total), flags, uint8_t(to | from << 4), uint8_t(item >> 8), uint8_t(item)},
        param);
}

inline Bytes AsicFrame(uint8_t attr, uint16_t item, const Bytes& param = {})
{
    size_t total = param.size() + 7;
    return Framed({0x1B, uint8_t(total >> 8), uint8_t(total), attr, uint8_t(item >> 8), uint8_t(item)}, param);
}

inline Bytes Join(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

inline long long MonotonicMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// The computer's end: a raw descriptor on the slave side.
class CLine {
public:
    explicit CLine(int fd) : m_nFd(fd) {}
    ~CLine()
    {
        if (m_nFd >= 0)
            close(m_nFd);
    }
    int Fd() const { return m_nFd; }

    void Write(const Bytes& bytes) { ASSERT_EQ(write(m_nFd, bytes.data(), bytes.size()), ssize_t(bytes.size())); }

    // Reads until count bytes have come or the time is up.
    Bytes Read(size_t count, int timeoutMs)
    {
        Bytes bytes;
        long long end = MonotonicMs() + timeoutMs;
        while (bytes.size() < count) {
            long long left = end - MonotonicMs();
            if (left <= 0)
                break;
            pollfd fd = {m_nFd, POLLIN, 0};
            if (poll(&fd, 1, static_cast<int>(left)) <= 0)
                break;
            uint8_t buffer[512];
            ssize_t n = read(m_nFd, buffer, std::min(sizeof buffer, count - bytes.size()));
            if (n <= 0)
                break;
            bytes.insert(bytes.end(), buffer, buffer + n);
        }
        return bytes;
    }

    // Whatever has arrived as soon as anything has, or nothing after timeoutMs.
    Bytes ReadSome(int timeoutMs)
    {
        pollfd fd = {m_nFd, POLLIN, 0};
        if (poll(&fd, 1, timeoutMs) <= 0)
            return {};
        uint8_t buffer[512];
        ssize_t n = read(m_nFd, buffer, sizeof buffer);
        return n > 0 ? Bytes(buffer, buffer + n) : Bytes();
    }

    // Everything that arrives until the line has been quiet for quietMs.
    Bytes ReadUntilQuiet(int quietMs)
    {
        Bytes bytes;
        for (;;) {
            Bytes more = Read(4096, quietMs);
            if (more.empty())
                return bytes;
            bytes.insert(bytes.end(), more.begin(), more.end());
        }
    }

    // One ACK/NAK byte or one frame, judged by its start byte and length field.
    Bytes ReadUnit(int timeoutMs, bool asic = false)
    {
        Bytes first = Read(1, timeoutMs);
        if (first.empty() || (first[0] != 0x1B && first[0] != 0x1D))
            return first;
        size_t head = asic ? 6 : first[0] == 0x1D ? 7 : 5;
        Bytes rest = Read(head - 1, 500);
        first.insert(first.end(), rest.begin(), rest.end());
        if (first.size() < head)
            return first;
        size_t length = (asic || first[0] == 0x1D) ? (first[1] << 8 | first[2]) : first[1];
        if (length > head) {
            rest = Read(length - head, 500);
            first.insert(first.end(), rest.begin(), rest.end());
        }
        return first;
    }

    // The ACK and the answer frame of one command.
    Bytes Transact(const Bytes& command, bool asic = false)
    {
        Write(command);
        Bytes ack = ReadUnit(1000, asic);
        if (ack != Bytes{0x06})
            return ack;
        return Join({ack, ReadUnit(1000, asic)});
    }

private:
    int m_nFd;
};

inline SSimulatorOptions ModelOptions(const std::string& model)
{
    SSimulatorOptions options;
    options.strModel = model;
    return options;
}

// A started simulator with the computer's end of its line.
struct SBench {
    explicit SBench(const SSimulatorOptions& options = SSimulatorOptions()) : simulator(options)
    {
        EXPECT_TRUE(terminal.IsOpen()) << terminal.Error();
        EXPECT_TRUE(simulator.Start(terminal.MasterFd())) << simulator.Error();
        line.reset(new CLine(terminal.OpenSlave()));
        EXPECT_GE(line->Fd(), 0);
    }
    CPseudoTerminal terminal;
    CProjectorSimulator simulator;
    std::unique_ptr<CLine> line;
};

class SimulatorTest : public ::testing::Test {
protected:
    void StartSimulator(const SSimulatorOptions& options = SSimulatorOptions()) { m_pBench.reset(new SBench(options)); }
    void StartModel(const std::string& model) { StartSimulator(ModelOptions(model)); }

    CProjectorSimulator& Sim() { return m_pBench->simulator; }
    CLine& Line() { return *m_pBench->line; }

    std::unique_ptr<SBench> m_pBench;
};

// What a projector's answer to a command should be, built by hand.
inline Bytes ShortAnswer(uint8_t flags, uint16_t item, const Bytes& param = {})
{
    return Join({{0x06}, ShortFrame(flags, item, param)});
}
