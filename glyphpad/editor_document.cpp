#include "editor_document.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "item_library.h"

namespace {

constexpr size_t kSetFrameColorBits = 126; // directory, header, sixteen colours
constexpr size_t kLargestSetFile = 8 << 20;

std::string Upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// An item name stays inside its folder and has its library's extension.
bool ItemNameAllowed(const std::string& name, EEditorMode mode)
{
    const char* extension = mode == MODE_CURSOR ? ".CRS" : ".STP";
    return name.size() > 4 && name.find_first_of("/\\:") == std::string::npos && name.find("..") == std::string::npos &&
           Upper(name.substr(name.size() - 4)) == extension;
}

EItemKind KindOf(EEditorMode mode)
{
    return mode == MODE_STAMP ? ITEM_STAMP : ITEM_CURSOR;
}

// A frame the editor can rewrite in place: 32 x 32 at 4 bits with the usual 40-byte header
// right after its directory, so that its colour bits begin 126 bytes in.
long FindProjectorFrame(const std::vector<uint8_t>& bytes, int slot, CCursorInfo& frame)
{
    long offset = FindSetFrame(bytes, slot);
    CByteView view(bytes.data(), bytes.size());
    size_t consumed = 0;
    if (offset < 0 || frame.Read(view, static_cast<size_t>(offset), consumed) != CURSOR_FILE_OK ||
        frame.GetWidth() != 32 || frame.GetHeight() != 32 || frame.GetBitCount() != 4 ||
        view.U32(static_cast<size_t>(offset) + 18) != kCursorDirectorySize ||
        view.U32(static_cast<size_t>(offset) + kCursorDirectorySize) != kBitmapHeaderSize)
        return -1;
    return offset;
}

// Every drawn pixel as the nearest table colour; transparent pixels stay transparent.
CPixelPicture ReducedToTable(const CPixelPicture& picture, const CPalette& palette)
{
    CPixelPicture reduced = picture;
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x)
            if (!IsTransparentColor(picture.Get(x, y)))
                reduced.Set(x, y, NearestTableColor(palette, picture.Get(x, y), false));
    return reduced;
}

} // namespace

bool ParseEditorCommandLine(const std::string& line, SEditorStart& start)
{
    std::istringstream words(line);
    std::string command;
    std::vector<std::string> args;
    words >> command;
    for (std::string word; words >> word;)
        args.push_back(word);
    command = Upper(command.substr(0, 3));
    SEditorStart parsed;
    if (command == "/CN" || command == "/SN") {
        parsed.eMode = command == "/CN" ? MODE_CURSOR : MODE_STAMP;
        parsed.bNew = true;
        if (args.size() > 1 || (args.size() == 1 && !ItemNameAllowed(args[0], parsed.eMode)))
            return false;
        parsed.strLast = args.empty() ? std::string() : args[0];
    } else if (command == "/CE" || command == "/SE") {
        parsed.eMode = command == "/CE" ? MODE_CURSOR : MODE_STAMP;
        if (args.size() != 2 || !ItemNameAllowed(args[0], parsed.eMode) || !ItemNameAllowed(args[1], parsed.eMode))
            return false;
        parsed.strCurrent = args[0];
        parsed.strLast = args[1];
    } else if (command == "/CS") {
        parsed.eMode = MODE_SET;
        if (args.size() != 2 || args[0].size() != 1 || args[0][0] < '0' || args[0][0] > '7' ||
            Upper(args[1]) != "TEMP.CSP")
            return false;
        parsed.nSlot = args[0][0] - '0';
        parsed.strSetFile = args[1];
    } else {
        return false;
    }
    start = parsed;
    return true;
}

int EditorImageSize(EEditorMode mode)
{
    return mode == MODE_STAMP ? 48 : 32;
}

const char* EditorTitle(EEditorMode mode)
{
    switch (mode) {
    case MODE_CURSOR:
        return "Cursor Edit";
    case MODE_STAMP:
        return "Stamp Edit";
    default:
        return "Cursor/Stamp Edit";
    }
}

long FindSetFrame(const std::vector<uint8_t>& file, int slot)
{
    // Walking the chunks, rather than searching for their tags, cannot be misled by pixel
    // bytes that happen to spell a tag.
    CByteView view(file.data(), file.size());
    if (file.size() < 68 || std::memcmp(file.data(), "RIFF", 4) != 0 || std::memcmp(file.data() + 8, "ACON", 4) != 0)
        return -1;
    size_t position = 68;
    for (int index = 0; view.Has(position, 8) && std::memcmp(view.At(position), "icon", 4) == 0; ++index) {
        CCursorInfo frame;
        size_t consumed = 0;
        if (frame.Read(view, position + 8, consumed) != CURSOR_FILE_OK)
            return -1;
        if (index == slot)
            return static_cast<long>(position + 8);
        position += 8 + consumed;
    }
    return -1;
}

CCursorInfo ItemFromPicture(const CPixelPicture& picture, const CPalette& palette, EEditorMode mode)
{
    CCursorInfo item;
    item.CreateNew(picture.Width(), picture.Height(), 4);
    for (int i = 0; i < 16; ++i)
        item.SetColor(i, palette[static_cast<size_t>(i)]);
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x) {
            ColorRef color = picture.Get(x, y);
            item.SetPixel(x, y, MatchColorIndex(palette, color, mode));
            item.SetTransparent(x, y, IsTransparentColor(color));
        }
    return item;
}

CPixelPicture PictureFromItem(const CCursorInfo& item)
{
    CPixelPicture picture(item.GetWidth(), item.GetHeight(), kTransparentColor);
    for (int y = 0; y < item.GetHeight(); ++y)
        for (int x = 0; x < item.GetWidth(); ++x)
            if (!item.IsTransparent(x, y))
                picture.Set(x, y, item.GetColor(item.GetPixel(x, y)));
    return picture;
}

CEditorDocument::CEditorDocument(const SEditorStart& start, const std::string& programDirectory)
    : m_Start(start), m_strDirectory(programDirectory), m_Palette(VgaPalette()),
      m_Picture(EditorImageSize(start.eMode), EditorImageSize(start.eMode), kTransparentColor)
{
    if (!m_strDirectory.empty() && m_strDirectory.back() != '/' && m_strDirectory.back() != '\\')
        m_strDirectory += '/';
}

std::string CEditorDocument::ItemPath(const std::string& name) const
{
    return m_strDirectory + (m_Start.eMode == MODE_STAMP ? "stamp/" : "cursor/") + name;
}

std::string CEditorDocument::SetPath() const
{
    return m_strDirectory + "Temp.csp";
}

int CEditorDocument::Load()
{
    if (m_Start.eMode != MODE_SET) {
        if (m_Start.bNew)
            return CURSOR_FILE_OK;
        CCursorInfo item;
        int result = ReadCursorFile(ItemPath(m_Start.strCurrent).c_str(), item);
        if (result != CURSOR_FILE_OK)
            return result;
        if (item.GetWidth() != EditorImageSize(m_Start.eMode) || item.GetHeight() != item.GetWidth())
            return CURSOR_FILE_NOT_KIND;
        m_Picture = PictureFromItem(item);
        // A sixteen-colour item keeps its own table: saved in the fixed one, every colour that
        // table lacks (the shipped items' orange, a projector's greys) would become black.
        // Other depths cannot keep theirs, so they are shown in the colours a save will write.
        if (item.GetColorCount() == 16)
            for (size_t i = 0; i < 16; ++i)
                m_Palette[i] = item.GetColor(static_cast<int>(i));
        else
            m_Picture = ReducedToTable(m_Picture, m_Palette);
        return CURSOR_FILE_OK;
    }
    std::vector<uint8_t> bytes;
    int result = ReadWholeFile(SetPath().c_str(), kLargestSetFile, bytes);
    if (result != CURSOR_FILE_OK)
        return result;
    CCursorInfo frame;
    if (FindProjectorFrame(bytes, m_Start.nSlot, frame) < 0)
        return CURSOR_FILE_NOT_KIND;
    CPalette fromFile;
    for (size_t i = 0; i < 16; ++i)
        fromFile[i] = frame.GetColor(static_cast<int>(i));
    m_Palette = AdjustSetPalette(fromFile);
    // A frame shows every pixel in its table colour; the mask is only written back.
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            m_Picture.Set(x, y, m_Palette[static_cast<size_t>(frame.GetPixel(x, y))]);
    return CURSOR_FILE_OK;
}

bool CEditorDocument::CanSaveAsNew() const
{
    return m_Start.strLast.size() < 2 || m_Start.strLast.compare(0, 2, "99") != 0;
}

int CEditorDocument::WriteItem(const std::string& name, const CPixelPicture& picture)
{
    CCursorInfo item = ItemFromPicture(picture, m_Palette, m_Start.eMode);
    return WriteCursorFile(ItemPath(name).c_str(), item) == CURSOR_FILE_OK;
}

bool CEditorDocument::IsLibraryFull() const
{
    std::FILE* taken = std::fopen(ItemPath(NextItemName(m_Start.strLast, KindOf(m_Start.eMode))).c_str(), "rb");
    if (taken)
        std::fclose(taken);
    return taken != nullptr;
}

int CEditorDocument::AddItem(const CPixelPicture& picture)
{
    std::string name = NextItemName(m_Start.strLast, KindOf(m_Start.eMode));
    if (IsLibraryFull() || !WriteItem(name, picture))
        return 0;
    m_Start.bNew = false;
    m_Start.strCurrent = m_Start.strLast = name;
    return 1;
}

int CEditorDocument::SaveItem(const CPixelPicture& picture, ESaveChoice choice)
{
    if (choice == SAVE_AS_NEW)
        return CanSaveAsNew() && AddItem(picture);
    return WriteItem(m_Start.strCurrent, picture);
}

int CEditorDocument::RenewFrame(const CPixelPicture& picture)
{
    std::vector<uint8_t> bytes;
    if (ReadWholeFile(SetPath().c_str(), kLargestSetFile, bytes) != CURSOR_FILE_OK)
        return 0;
    CCursorInfo old;
    long offset = FindProjectorFrame(bytes, m_Start.nSlot, old);
    if (offset < 0)
        return 0;
    // Only the colour and mask bits change; directory, header and table stay as they were.
    CCursorInfo frame = ItemFromPicture(picture, m_Palette, MODE_SET);
    std::FILE* file = std::fopen(SetPath().c_str(), "r+b");
    if (!file)
        return 0;
    const std::vector<uint8_t>& colors = frame.GetColorBits();
    const std::vector<uint8_t>& mask = frame.GetMaskBits();
    bool ok = std::fseek(file, offset + static_cast<long>(kSetFrameColorBits), SEEK_SET) == 0 &&
              std::fwrite(colors.data(), 1, colors.size(), file) == colors.size() &&
              std::fwrite(mask.data(), 1, mask.size(), file) == mask.size();
    ok = std::fclose(file) == 0 && ok;
    return ok;
}
