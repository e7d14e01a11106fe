// The projector's vocabulary: every item code the program, its tools and the simulated
// projector use, each named once, and the byte order of values on the wire.
// An item code is GroupID x 256 + ItemID; numbers stand as literals only here and in tables.
#pragma once
#include <cstdint>

// Link, power and identity (group 0x00).
constexpr uint16_t kItemLinkMode = 0x0000; // PC link (transfer) mode: 0 off, 1 on, 2 bulk
constexpr uint16_t kItemPower = 0x0003;    // power state
constexpr uint16_t kItemIdentify = 0x0004; // model identification
constexpr uint16_t kItemSpeed = 0x0006;    // line speed index into 9600..57600
constexpr uint16_t kItemResetAll = 0x0007; // reset all; reported back as the busy state
constexpr uint16_t kItemLampHours = 0x0009;
constexpr uint16_t kItemRemoteKey = 0x000A;  // a remote-control key
constexpr uint16_t kItemCursorSets = 0x000D; // cursor/stamp set information, 48 bytes
constexpr uint16_t kItemCursorSpeed = 0x0010;
constexpr uint16_t kItemPasswordChange = 0x0011; // the projector-held password, 16 bytes
constexpr uint16_t kItemWarnings = 0x0012;       // warning bits
constexpr uint16_t kItemPassword = 0x0013;       // password check of the installer-only mode
constexpr uint16_t kItemSettingComplete = 0x0014;

// Input and signal.
constexpr uint16_t kItemInput = 0x0100;
constexpr uint16_t kItemSignal = 0x0101; // detected signal

// Audio.
constexpr uint16_t kItemVolume = 0x0200;
constexpr uint16_t kItemSound3D = 0x0205;
constexpr uint16_t kItemBass = 0x0206;
constexpr uint16_t kItemTreble = 0x0207;
constexpr uint16_t kItemSrsSpace = 0x0208;
constexpr uint16_t kItemSrsCenter = 0x0209;

// Picture of the computer input.
constexpr uint16_t kItemBrightness = 0x0300;
constexpr uint16_t kItemContrast = 0x0301;
constexpr uint16_t kItemSync = 0x0302;
constexpr uint16_t kItemTracking = 0x0303;
constexpr uint16_t kItemTrackingBase = 0x0304;
constexpr uint16_t kItemStoredValue = 0x0305; // re-read when it changes
constexpr uint16_t kItemRed = 0x0306;
constexpr uint16_t kItemGreen = 0x0307;
constexpr uint16_t kItemBlue = 0x0308;
constexpr uint16_t kItemFrequencies = 0x030A;    // query only: H and V frequency
constexpr uint16_t kItemResolutionInfo = 0x030B; // query only: H and V resolution
constexpr uint16_t kItemSharpness = 0x030D;
constexpr uint16_t kItemResolution = 0x030E; // the Resolution choice
constexpr uint16_t kItemRegisterPreset = 0x030F;
constexpr uint16_t kItemSyncInfo = 0x0310; // read only: polarities and sync mode
constexpr uint16_t kItemPresets = 0x0311;  // query only: the five preset records

// Picture of the video inputs.
constexpr uint16_t kItemVideoBrightness = 0x0400;
constexpr uint16_t kItemVideoContrast = 0x0401;
constexpr uint16_t kItemVideoSharpness = 0x0402;
constexpr uint16_t kItemSaturation = 0x0403;
constexpr uint16_t kItemTint = 0x0404;
constexpr uint16_t kItemVideoSignal = 0x0405;

// Geometry and colour.
constexpr uint16_t kItemPositionH = 0x0500;
constexpr uint16_t kItemPositionV = 0x0501;
constexpr uint16_t kItemRearProjection = 0x0502;
constexpr uint16_t kItemCeiling = 0x0503;
constexpr uint16_t kItemColorTemp = 0x0504;
constexpr uint16_t kItemBlackLevel = 0x0508;
constexpr uint16_t kItemWhiteLevel = 0x0509;
constexpr uint16_t kItemColorSetting = 0x050A;

// Set-up.
constexpr uint16_t kItemPrompt = 0x0603;
constexpr uint16_t kItemAvMute = 0x0604;
constexpr uint16_t kItemGamma = 0x0608;
constexpr uint16_t kItemBnc = 0x0609;
constexpr uint16_t kItemGammaParameter1 = 0x060C;
constexpr uint16_t kItemGammaParameter2 = 0x060D;
constexpr uint16_t kItemGammaParameter3 = 0x060E; // index byte, value byte
constexpr uint16_t kItemKeystone = 0x060F;
constexpr uint16_t kItemStartupScreen = 0x0610;
constexpr uint16_t kItemMessage = 0x0611;
constexpr uint16_t kItemDpms = 0x0612;

// Presentation support and picture in picture.
constexpr uint16_t kItemPresentation = 0x0700;     // reported: run the effect of a slot
constexpr uint16_t kItemPresentationLock = 0x0705; // five lock sub-entries
constexpr uint16_t kItemPictureInPicture = 0x0708;

// Bulk transfers.
constexpr uint16_t kItemBlockAddress = 0x0900; // PrepareBlocks
constexpr uint16_t kItemBlockData = 0x0902;    // one block behind its 24-bit address
constexpr uint16_t kItemBlockEnd = 0x0905;     // 0 = end and check, 1 = abort

// Installer-only mode and stacks.
constexpr uint16_t kItemStackQuery = 0x1000;
constexpr uint16_t kItemStackEstablish = 0x1001;
constexpr uint16_t kItemLock = 0x1004; // lock entry: GroupID, ItemID, sub-entry, lock
constexpr uint16_t kItemSourceSwitching = 0x1006;
constexpr uint16_t kItemStackPosition = 0x1E00; // per projector, from the stack query

// Pseudo-codes of the lock entries for whole functions: tested against the lock word of group 0.
constexpr uint16_t kLockResetVideo = 0xFF00;
constexpr uint16_t kLockResetAudio = 0xFF01;
constexpr uint16_t kLockResetEffect = 0xFF02;
constexpr uint16_t kLockResetSetting = 0xFF03;
constexpr uint16_t kLockResetAdvanced = 0xFF04;
constexpr uint16_t kLockUserLogo = 0xFE00;
constexpr uint16_t kLockAbout = 0xFE01;

constexpr unsigned char ItemGroup(uint16_t code)
{
    return static_cast<unsigned char>(code >> 8);
}
constexpr unsigned char ItemId(uint16_t code)
{
    return static_cast<unsigned char>(code & 0xFF);
}
constexpr uint16_t ItemCode(unsigned char group, unsigned char id)
{
    return static_cast<uint16_t>(group << 8 | id);
}

// Values on the wire are big-endian, 1 to 4 bytes; other lengths give 0. Signed reading
// extends one and two bytes from their sign bit and takes three and four as they stand.
inline uint32_t BigEndianUnsigned(const unsigned char* bytes, unsigned int count)
{
    if (count < 1 || count > 4)
        return 0;
    uint32_t value = 0;
    for (unsigned int i = 0; i < count; ++i)
        value = value << 8 | bytes[i];
    return value;
}

inline int32_t BigEndianSigned(const unsigned char* bytes, unsigned int count)
{
    uint32_t value = BigEndianUnsigned(bytes, count);
    if (count == 1)
        return static_cast<int8_t>(value);
    if (count == 2)
        return static_cast<int16_t>(value);
    return static_cast<int32_t>(value);
}

// The last `width` (1..4) bytes of value, most significant first; returns width.
inline unsigned int PutBigEndian(uint32_t value, unsigned int width, unsigned char* out)
{
    for (unsigned int i = 0; i < width; ++i)
        out[i] = static_cast<unsigned char>(value >> (8 * (width - 1 - i)));
    return width;
}
