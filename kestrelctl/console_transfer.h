// A bulk transfer from the console: the link opened on the device, Ctrl+C asking the transfer
// to stop (the projector is then told to abort), and a percent bar on standard error.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "bulk_transfer.h"
#include "clock.h"

class CProjectorLink;

// PortLost: the port went away during the transfer, which is not the projector refusing it.
enum class EConsoleTransfer { Sent, NoPort, PortLost, Failed, Interrupted };

// send runs the transfer on the open link with the console's progress; it answers whether the
// projector took it all. Every wait of the link reads clock.
EConsoleTransfer RunConsoleTransfer(const std::string& device, bool progressBar,
                                    const std::function<bool(CProjectorLink&, ITransferProgress&)>& send,
                                    IClock& clock = SystemClock());
