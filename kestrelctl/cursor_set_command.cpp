#include "cursor_set_command.h"

#include <cstdio>
#include <vector>

#include "ani_info.h"
#include "console_transfer.h"
#include "projector_session.h"
#include "set_transfer.h"

int SendCursorSetFile(const std::string& device, const std::string& path, bool progressBar)
{
    CAniInfo set;
    int read = set.ReadFile(path.c_str());
    std::vector<uint8_t> image;
    if (read != CURSOR_FILE_OK || !set.PackImage(image)) {
        std::fprintf(stderr, "kestrelctl: %s: %s\n", path.c_str(),
                     read == CURSOR_FILE_OK         ? "the set is not eight 32 x 32 frames of 16 colours"
                     : read == CURSOR_FILE_NOT_KIND ? "not a cursor/stamp set file"
                                                    : "cannot be read");
        return CURSORS_BAD_FILE;
    }

    const EConsoleTransfer result =
        RunConsoleTransfer(device, progressBar, [&image](CProjectorLink& link, ITransferProgress& progress) {
            return SendSetImage(link, image, &progress) == 1;
        });
    switch (result) {
    case EConsoleTransfer::Sent:
        return 0;
    case EConsoleTransfer::NoPort:
        std::fprintf(stderr, "kestrelctl: cannot open %s\n", device.c_str());
        return SESSION_NO_PORT;
    case EConsoleTransfer::PortLost:
        std::fprintf(stderr, "kestrelctl: the port %s is no longer available\n", device.c_str());
        return SESSION_NO_PORT;
    case EConsoleTransfer::Interrupted:
        std::fprintf(stderr, "kestrelctl: interrupted; the projector was told to abort\n");
        return CURSORS_SEND_FAILED;
    default:
        std::fprintf(stderr, "kestrelctl: the projector did not take the set\n");
        return CURSORS_SEND_FAILED;
    }
}
