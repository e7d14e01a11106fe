// zelqsim --replay: a projector played back from a line record (kestrelctl --record). The
// client's bytes are matched in order against what was sent in the record; each match is
// answered with what came back, at the recorded delays. Bytes the record does not hold at
// that point get no answer.
#pragma once
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

struct SReplayStep {
    std::vector<uint8_t> expect; // what the client sends
    struct SReply {
        long long nDelayUs; // after the previous reply, or after expect for the first
        std::vector<uint8_t> bytes;
    };
    std::vector<SReply> replies;
};

// Reads a record into steps; false with a message naming the bad line.
bool ParseLineRecord(const std::string& text, std::vector<SReplayStep>& steps, std::string& error);

class CLineReplay {
public:
    explicit CLineReplay(std::vector<SReplayStep> steps) : m_Steps(std::move(steps)) {}
    ~CLineReplay();
    CLineReplay(const CLineReplay&) = delete;
    CLineReplay& operator=(const CLineReplay&) = delete;

    // Serves the line on fd (the pseudo-terminal's master) on a thread of its own.
    bool Start(int fd);

private:
    void Serve();
    // Matches what the client sent so far; schedules replies from nowUs.
    void Match(long long nowUs);

    struct SOutput {
        long long nDueUs;
        std::vector<uint8_t> bytes;
    };
    std::vector<SReplayStep> m_Steps;
    size_t m_nStep = 0;
    std::vector<uint8_t> m_Pending;
    std::vector<SOutput> m_Outputs; // in due order
    int m_nFd = -1;
    int m_Stop[2] = {-1, -1};
    std::thread m_Thread;
};
