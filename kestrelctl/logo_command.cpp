#include "logo_command.h"

#include "console_transfer.h"
#include "logo_transfer.h"
#include "picture_reader.h"
#include "projector_session.h"

std::string DescribeLogoResult(ELogoResult result, const std::string& file)
{
    switch (result) {
    case ELogoResult::ReadFailed:
        return file + ": cannot be read.";
    case ELogoResult::NotAvailable:
        return file + ": not a picture (BMP, " + PlatformPictureDecoder().Kinds() + ") or user logo file that can be used.";
    case ELogoResult::TooLarge:
        return file + ": the picture is larger than 16384 pixels a side or 256 MB.";
    case ELogoResult::UnknownDepth:
        return file + ": only bitmaps of 1, 4, 8 or 24 bits per pixel can become a logo.";
    case ELogoResult::TooSmall:
        return file + ": the picture or its area is smaller than 9 x 9 pixels, or the area lies outside it.";
    case ELogoResult::NoMemory:
        return file + ": there is not enough memory to make a logo of the picture.";
    default:
        return file + ": cannot be used.";
    }
}

int SendLogoCommand(const SLogoOptions& options, std::string& message)
{
    // The file first: nothing goes to the projector for a file that cannot be sent.
    // No default zoom: a bitmap then has none, while a logo file always holds one of the five
    // rates, so the content tells which it is, not the name.
    CLogoDocument logo;
    ELogoResult opened = logo.Open(options.file, 0);
    if (opened == ELogoResult::Ok && options.bArea)
        opened = logo.SetArea(options.area);
    if (opened != ELogoResult::Ok) {
        message = DescribeLogoResult(opened, options.file);
        return LOGO_BAD_FILE;
    }

    int zoom = options.zoom;
    if (!zoom) {
        CProjectorSession session(options.device, 9600);
        const SProjectorModel* model = nullptr;
        ESessionStatus status = session.Identify(model, message);
        if (status != SESSION_OK)
            return status;
        // A bitmap takes the model's zoom, a logo file keeps its own.
        zoom = logo.Source().GetZoom() ? logo.Source().GetZoom() : ZoomRateOfIndex(model->nLogoZoom);
    }
    logo.SetZoom(zoom);
    const std::vector<uint8_t> image = logo.TransferImage();

    auto send = [&image](CProjectorLink& link, ITransferProgress& progress) {
        return CBulkTransfer(link, progress).Send(image, kLogoAddress, kLogoAreaLength) == ETransferResult::Sent;
    };
    const EConsoleTransfer result = RunConsoleTransfer(options.device, options.bProgress, send, *options.pClock);
    switch (result) {
    case EConsoleTransfer::Sent:
        return SESSION_OK;
    case EConsoleTransfer::NoPort:
        message = "The port " + options.device + " cannot be opened.";
        return SESSION_NO_PORT;
    case EConsoleTransfer::PortLost:
        message = "The port " + options.device + " is no longer available.";
        return SESSION_NO_PORT;
    case EConsoleTransfer::Interrupted:
        message = "Cancelled; the projector shows no user logo until one is sent.";
        return LOGO_CANCELLED;
    default:
        message = "The projector did not take the logo.";
        return SESSION_REFUSED;
    }
}
