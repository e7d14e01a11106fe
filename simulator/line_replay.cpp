#include "line_replay.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <sstream>
#include <unistd.h>

namespace {
long long NowUs()
{
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

std::string Hex(const std::vector<uint8_t>& bytes)
{
    std::string text;
    char part[4];
    for (uint8_t b : bytes) {
        std::snprintf(part, sizeof part, " %02X", b);
        text += part;
    }
    return text;
}
} // namespace

bool ParseLineRecord(const std::string& text, std::vector<SReplayStep>& steps, std::string& error)
{
    steps.assign(1, SReplayStep{});
    std::istringstream lines(text);
    std::string line;
    double last = 0;
    for (int number = 1; std::getline(lines, line); ++number) {
        line = line.substr(0, line.find('#'));
        std::istringstream in(line);
        double seconds = 0;
        std::string direction;
        if (!(in >> seconds))
            continue; // blank or comment
        if (!(in >> direction) || (direction != ">" && direction != "<" && direction != "=")) {
            error = "line " + std::to_string(number) + ": no direction";
            return false;
        }
        if (direction == "=")
            continue; // the port opened again: the line itself goes on
        std::vector<uint8_t> bytes;
        std::string word;
        while (in >> word) {
            char* end = nullptr;
            unsigned long value = std::strtoul(word.c_str(), &end, 16);
            if (word.size() != 2 || *end || value > 0xFF) {
                error = "line " + std::to_string(number) + ": bad byte \"" + word + "\"";
                return false;
            }
            bytes.push_back(static_cast<uint8_t>(value));
        }
        SReplayStep* step = &steps.back();
        if (direction == ">") {
            // What the client sends after an answer starts the next exchange.
            if (!step->replies.empty()) {
                steps.emplace_back();
                step = &steps.back();
            }
            step->expect.insert(step->expect.end(), bytes.begin(), bytes.end());
        } else {
            step->replies.push_back({static_cast<long long>((seconds - last) * 1e6), bytes});
        }
        last = seconds;
    }
    return true;
}

CLineReplay::~CLineReplay()
{
    if (m_Thread.joinable()) {
        char stop = 1;
        (void)!write(m_Stop[1], &stop, 1);
        m_Thread.join();
    }
    for (int fd : m_Stop)
        if (fd >= 0)
            close(fd);
}

bool CLineReplay::Start(int fd)
{
    if (pipe2(m_Stop, O_CLOEXEC) != 0)
        return false;
    m_nFd = fd;
    m_Thread = std::thread(&CLineReplay::Serve, this);
    return true;
}

void CLineReplay::Match(long long nowUs)
{
    while (m_nStep < m_Steps.size()) {
        const SReplayStep& step = m_Steps[m_nStep];
        size_t common = std::min(step.expect.size(), m_Pending.size());
        if (!std::equal(step.expect.begin(), step.expect.begin() + common, m_Pending.begin()))
            break;
        if (common < step.expect.size())
            return; // the rest is still coming
        m_Pending.erase(m_Pending.begin(), m_Pending.begin() + common);
        long long due = nowUs;
        for (const SReplayStep::SReply& reply : step.replies)
            m_Outputs.push_back({due += reply.nDelayUs, reply.bytes});
        std::stable_sort(m_Outputs.begin(), m_Outputs.end(),
                         [](const SOutput& a, const SOutput& b) { return a.nDueUs < b.nDueUs; });
        ++m_nStep;
        if (m_Pending.empty())
            return;
    }
    // Not what the record holds next: no answer rather than a wrong one.
    std::fprintf(stderr, "zelqsim: not in the record, left unanswered:%s\n", Hex(m_Pending).c_str());
    m_Pending.clear();
}

void CLineReplay::Serve()
{
    Match(NowUs()); // what the projector sent before the client said anything
    for (;;) {
        int wait = -1;
        if (!m_Outputs.empty())
            wait = static_cast<int>(std::max(0LL, (m_Outputs.front().nDueUs - NowUs() + 999) / 1000));
        pollfd fds[2] = {{m_Stop[0], POLLIN, 0}, {m_nFd, POLLIN, 0}};
        if (poll(fds, 2, wait) < 0 && errno != EINTR)
            return;
        if (fds[0].revents)
            return;
        if (fds[1].revents & POLLIN) {
            uint8_t buffer[1024];
            ssize_t n = read(m_nFd, buffer, sizeof buffer);
            if (n > 0) {
                m_Pending.insert(m_Pending.end(), buffer, buffer + n);
                Match(NowUs());
            }
        }
        while (!m_Outputs.empty() && m_Outputs.front().nDueUs <= NowUs()) {
            const std::vector<uint8_t>& bytes = m_Outputs.front().bytes;
            if (write(m_nFd, bytes.data(), bytes.size()) < 0 && errno != EAGAIN)
                return;
            m_Outputs.erase(m_Outputs.begin());
        }
    }
}
