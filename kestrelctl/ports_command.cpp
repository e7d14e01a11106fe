#include "ports_command.h"

#include <cstdio>
#include <thread>

#include "json_line.h"
#include "projector_session.h"
#include "serial_ports.h"

namespace {
struct SProbe {
    ESessionStatus status = SESSION_OK;
    std::string model;
    std::string message;
};

SProbe Probe(const std::string& port, unsigned long baud)
{
    SProbe probe;
    CProjectorSession session(port, baud);
    const SProjectorModel* model = nullptr;
    probe.status = session.Identify(model, probe.message);
    if (model)
        probe.model = model->szTypeCode;
    return probe;
}

void Print(const std::string& port, const SProbe* probe, bool json)
{
    if (json) {
        CJsonLine object;
        object.Text("port", port);
        if (probe && probe->status == SESSION_OK)
            object.Text("model", probe->model);
        else if (probe)
            object.Number("status", probe->status).Text("error", probe->message);
        object.Print();
    } else if (!probe) {
        std::printf("%s\n", port.c_str());
    } else if (probe->status == SESSION_OK) {
        std::printf("%s %s\n", port.c_str(), probe->model.c_str());
    } else {
        std::printf("%s - %s\n", port.c_str(), probe->message.c_str());
    }
}
} // namespace

int RunPorts(const std::vector<std::string>& extra, bool probe, bool json, unsigned long baud)
{
    std::vector<std::string> ports = PresentSerialPorts();
    ports.insert(ports.end(), extra.begin(), extra.end());
    std::vector<SProbe> probes(ports.size());
    if (probe) {
        // Each identification waits out its own time limit; side by side the whole probe takes
        // about as long as the slowest port.
        std::vector<std::thread> threads;
        for (size_t i = 0; i < ports.size(); ++i)
            threads.emplace_back([&, i] { probes[i] = Probe(ports[i], baud); });
        for (std::thread& t : threads)
            t.join();
    }
    for (size_t i = 0; i < ports.size(); ++i)
        Print(ports[i], probe ? &probes[i] : nullptr, json);
    std::fflush(stdout);
    return 0;
}
