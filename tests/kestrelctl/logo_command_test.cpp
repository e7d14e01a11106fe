// kestrelctl logo against the simulated projector: what arrives, the zoom it takes, files that
// are refused before anything is sent, and Ctrl+C.
#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <memory>
#include <thread>

#include "../transfer/bmp_builder.h"
#include "../transfer/magick.h"
#include "logo_command.h"
#include "projector_simulator.h"
#include "pseudo_terminal.h"
#include "test_clock.h"
#include "zelq_items.h"

namespace {

// How long the link's engine waits for the answer to a command.
const uint32_t kSilentBlockWaitMs = 10000;

class LogoCommand : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_Pty.IsOpen());
        SSimulatorOptions options;
        options.strModel = "KT-C310";
        m_pSim.reset(new CProjectorSimulator(options));
        ASSERT_TRUE(m_pSim->Start(m_Pty.MasterFd())) << m_pSim->Error();
        m_Options.device = m_Pty.SlavePath();
    }
    std::string WriteFile(const std::string& name, const std::vector<uint8_t>& bytes)
    {
        const std::string path = testing::TempDir() + name;
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        m_Files.push_back(path);
        return path;
    }
    void TearDown() override
    {
        m_pSim.reset();
        for (const std::string& f : m_Files)
            std::remove(f.c_str());
    }
    size_t FramesFor(uint16_t item) const
    {
        size_t count = 0;
        for (const SLogEntry& e : m_pSim->Log().Entries())
            if (e.eKind == ELogKind::RxFrame && BigEndianUnsigned(&e.bytes[e.bytes[0] == 0x1D ? 5 : 3], 2) == item)
                ++count;
        return count;
    }

    CPseudoTerminal m_Pty;
    std::unique_ptr<CProjectorSimulator> m_pSim;
    SLogoOptions m_Options;
    std::vector<std::string> m_Files;
};

SBmpSpec Bmp(int32_t w, int32_t h, uint16_t bits = 24)
{
    SBmpSpec s;
    s.width = w;
    s.height = h;
    s.bits = bits;
    return s;
}

TEST_F(LogoCommand, ABitmapArrivesAsTheProgramWouldSendIt)
{
    m_Options.file = WriteFile("ctl_logo.bmp", MakeBmp(Bmp(40, 30)));
    std::string message;
    ASSERT_EQ(SendLogoCommand(m_Options, message), 0) << message;
    CLogoDocument expected;
    ASSERT_EQ(expected.Open(m_Options.file, 100), ELogoResult::Ok);
    std::vector<uint8_t> image = m_pSim->ReceivedImage();
    ASSERT_EQ(image.size(), 14u + 2 * 40 * 30);
    // The model's default zoom, from its identification: index 2 for this model.
    const int zoom = image[12] << 8 | image[13];
    EXPECT_EQ(zoom, 200);
    expected.SetZoom(zoom);
    EXPECT_EQ(image, expected.TransferImage());
}

// A PNG of convert's cut in half.
std::vector<uint8_t> CutPng()
{
    const std::string path = testing::TempDir() + "ctl_whole.png";
    EXPECT_TRUE(MakePicture(path, 30, 20));
    std::vector<uint8_t> bytes = FileBytes(path);
    std::remove(path.c_str());
    bytes.resize(bytes.size() / 2);
    return bytes;
}

// The transfer image's pixels (16-bit 5-6-5, most significant byte first) of 8-bit RGB.
std::vector<uint8_t> As565(const std::vector<uint8_t>& rgb)
{
    std::vector<uint8_t> out;
    for (size_t i = 0; i + 2 < rgb.size(); i += 3) {
        const unsigned int v = (rgb[i] >> 3) << 11 | (rgb[i + 1] >> 2) << 5 | rgb[i + 2] >> 3;
        out.insert(out.end(), {uint8_t(v >> 8), uint8_t(v)});
    }
    return out;
}

TEST_F(LogoCommand, PngAndJpegArriveAsTheirEncoderDecodesThem)
{
    // Named without their kinds: the tool goes by the content.
    const struct {
        const char* name;
        const char* made;
        int tolerance;
    } cases[] = {{"ctl_picture_a", ".png", 0}, {"ctl_picture_b", ".jpg", 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.made);
        const std::string path = testing::TempDir() + c.name;
        ASSERT_TRUE(MakePicture(path + c.made, 40, 30, "-quality 90"));
        const std::vector<uint8_t> decoded = DecodedByConvert(path + c.made);
        ASSERT_EQ(decoded.size(), 40u * 30 * 3);
        ASSERT_EQ(std::rename((path + c.made).c_str(), path.c_str()), 0);
        m_Files.push_back(path);

        // The pixels the tool sends from, within the tolerance of convert's own decoding.
        CLogoDocument logo;
        ASSERT_EQ(logo.Open(path, 100), ELogoResult::Ok);
        ASSERT_EQ(logo.Working().Width(), 40);
        ASSERT_EQ(logo.Working().Height(), 30);
        for (int32_t y = 0; y < 30; ++y) {
            for (int32_t x = 0; x < 40; ++x) {
                const SRgbQuad got = logo.Working().Pixel(x, y);
                const uint8_t* want = &decoded[(size_t(y) * 40 + x) * 3];
                ASSERT_LE(std::abs(got.red - want[0]), c.tolerance) << x << ", " << y;
                ASSERT_LE(std::abs(got.green - want[1]), c.tolerance) << x << ", " << y;
                ASSERT_LE(std::abs(got.blue - want[2]), c.tolerance) << x << ", " << y;
            }
        }

        m_Options.file = path;
        m_Options.zoom = 100;
        std::string message;
        ASSERT_EQ(SendLogoCommand(m_Options, message), 0) << message;
        const std::vector<uint8_t> image = m_pSim->ReceivedImage();
        ASSERT_EQ(image.size(), 14u + 2 * 40 * 30);
        logo.SetZoom(100);
        EXPECT_EQ(image, logo.TransferImage());
        // A lossless picture arrives exactly as its encoder decodes it.
        if (c.tolerance == 0) {
            EXPECT_EQ(std::vector<uint8_t>(image.begin() + 14, image.end()), As565(decoded));
        }
    }
}

TEST_F(LogoCommand, ALogoFileIsKnownByItsContentAndItsZoomChecked)
{
    CDIB picture;
    ASSERT_EQ(picture.Read(MakeBmp(Bmp(40, 30))), DIB_OK);
    auto logoFile = [&](const char* name, int zoom) {
        CDIBLogo logo;
        logo.FromDIB(picture, zoom);
        std::vector<uint8_t> bytes;
        EXPECT_EQ(logo.Write(bytes), DIB_OK);
        return WriteFile(name, bytes);
    };
    // Named like a bitmap, a logo file keeps its own zoom, not the model's (200).
    m_Options.file = logoFile("ctl_logo_named.bmp", 150);
    std::string message;
    ASSERT_EQ(SendLogoCommand(m_Options, message), 0) << message;
    std::vector<uint8_t> image = m_pSim->ReceivedImage();
    ASSERT_GE(image.size(), 14u);
    EXPECT_EQ(image[12] << 8 | image[13], 150);

    // A zoom outside the five rates is a damaged file: nothing is sent.
    m_pSim->Log().Clear();
    for (int zoom : {0, 120, 301, 65535}) {
        m_Options.file = logoFile("ctl_bad_zoom.lgo", zoom);
        EXPECT_EQ(SendLogoCommand(m_Options, message), LOGO_BAD_FILE) << zoom;
    }
    EXPECT_TRUE(m_pSim->Log().Entries().empty()) << "nothing reached the projector";
}

TEST_F(LogoCommand, ZoomAndAreaFromTheCommandLine)
{
    m_Options.file = WriteFile("ctl_area.bmp", MakeBmp(Bmp(40, 30)));
    m_Options.zoom = 250;
    m_Options.bArea = true;
    m_Options.area = {5, 5, 24, 14};
    std::string message;
    ASSERT_EQ(SendLogoCommand(m_Options, message), 0) << message;
    std::vector<uint8_t> image = m_pSim->ReceivedImage();
    ASSERT_EQ(image.size(), 14u + 2 * 20 * 10);
    EXPECT_EQ(image[13], 250);
    EXPECT_EQ(FramesFor(kItemIdentify), 0u) << "a given zoom needs no identification";
}

TEST_F(LogoCommand, UnusableFilesSendNothing)
{
    struct SCase {
        const char* name;
        std::string path;
    } cases[] = {
        {"missing", testing::TempDir() + "ctl-no-such.bmp"},
        {"text", WriteFile("ctl_text.bmp", std::vector<uint8_t>(300, 'x'))},
        {"PNG cut short", WriteFile("ctl_cut.png", CutPng())},
        {"over 16384 pixels wide", WriteFile("ctl_wide.bmp", MakeBmp(Bmp(16385, 2)))},
        {"too small", WriteFile("ctl_small.bmp", MakeBmp(Bmp(8, 8)))},
    };
    for (const SCase& c : cases) {
        m_Options.file = c.path;
        std::string message;
        EXPECT_EQ(SendLogoCommand(m_Options, message), LOGO_BAD_FILE) << c.name;
        EXPECT_NE(message.find(c.path), std::string::npos) << c.name;
    }
    m_Options.file = WriteFile("ctl_outside.bmp", MakeBmp(Bmp(20, 20)));
    m_Options.bArea = true;
    m_Options.area = {0, 0, 30, 30};
    std::string message;
    EXPECT_EQ(SendLogoCommand(m_Options, message), LOGO_BAD_FILE);
    EXPECT_TRUE(m_pSim->Log().Entries().empty()) << "nothing reached the projector";
}

TEST_F(LogoCommand, CtrlCCancelsCleanly)
{
    m_Options.file = WriteFile("ctl_big.bmp", MakeBmp(Bmp(400, 300)));
    m_Options.zoom = 100;
    int status = -1;
    std::string message;
    std::thread sender([&] { status = SendLogoCommand(m_Options, message); });
    EXPECT_TRUE(m_pSim->Log().WaitFor(
        [](const std::vector<SLogEntry>& entries) {
            for (const SLogEntry& e : entries)
                if (e.strText.find("0x0902") != std::string::npos)
                    return true;
            return false;
        },
        20000));
    std::raise(SIGINT);
    sender.join();
    EXPECT_EQ(status, LOGO_CANCELLED) << message;
    EXPECT_EQ(m_pSim->TransfersAborted(), 1u);
    EXPECT_EQ(m_pSim->GetBaud(), 9600u);
    long long mode = -1;
    m_pSim->GetValue(1, kItemLinkMode, mode);
    EXPECT_EQ(mode, 0);
}

TEST_F(LogoCommand, ABlockNotTakenIsAFailedTransfer)
{
    // Taken but never answered: the end would be accepted, yet the tool must not say so. The
    // engine's waits for the answer pass on a clock the test moves.
    CTestClock clock;
    clock.AddPeer([this] { return m_pSim->IsIdle(); });
    m_Options.pClock = &clock;
    m_pSim->SetBlockFault(1, EBlockFault::Silent);
    m_Options.file = WriteFile("ctl_silent.bmp", MakeBmp(Bmp(40, 30)));
    m_Options.zoom = 100;
    std::string message;
    EXPECT_EQ(SendLogoCommand(m_Options, message), 5);
    EXPECT_EQ(m_pSim->TransfersEnded(), 0u);
    EXPECT_EQ(m_pSim->TransfersAborted(), 1u);
    EXPECT_GE(clock.TickCount(), kSilentBlockWaitMs) << "the silent block was waited out on the tool's clock";
}

TEST_F(LogoCommand, AProjectorThatRefusesTheTransferModeGetsNothing)
{
    ASSERT_EQ(m_pSim->Execute("range 0x0000 0 1"), "");
    m_Options.file = WriteFile("ctl_refused.bmp", MakeBmp(Bmp(20, 20)));
    m_Options.zoom = 100;
    std::string message;
    EXPECT_EQ(SendLogoCommand(m_Options, message), 5);
    EXPECT_EQ(FramesFor(kItemBlockData), 0u);
}

} // namespace
