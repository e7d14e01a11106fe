// What the editor edits and where it goes: the command line, loading the picture from an
// item file or a frame of Temp.csp, and writing it back (new item, overwrite, renew frame).
#pragma once
#include <string>
#include <vector>

#include "cursor_info.h"
#include "glyph_palette.h"
#include "pixel_picture.h"

struct SEditorStart {
    EEditorMode eMode = MODE_CURSOR;
    bool bNew = false;
    std::string strCurrent; // the item edited
    std::string strLast;    // the library's last item ("" when it is empty)
    int nSlot = 0;
    std::string strSetFile;
};

// The arguments after the program name; false means end without a window.
bool ParseEditorCommandLine(const std::string& line, SEditorStart& start);
int EditorImageSize(EEditorMode mode);
const char* EditorTitle(EEditorMode mode);

// The offset of slot's frame image in a set file, found by walking its frame chunks; -1 when
// the file has no such frame.
long FindSetFrame(const std::vector<uint8_t>& file, int slot);

// Picture colours to table indexes and the transparent colour to mask bits.
CCursorInfo ItemFromPicture(const CPixelPicture& picture, const CPalette& palette, EEditorMode mode);
CPixelPicture PictureFromItem(const CCursorInfo& item);

enum ESaveChoice { SAVE_AS_NEW, SAVE_OVERWRITE };

class CEditorDocument {
public:
    // programDirectory holds cursor\, stamp\ and Temp.csp.
    CEditorDocument(const SEditorStart& start, const std::string& programDirectory);

    // Reads the item or frame named at start; a CURSOR_FILE_* result. New items start blank.
    int Load();
    const CPixelPicture& GetPicture() const { return m_Picture; }
    const CPalette& GetPalette() const { return m_Palette; }
    EEditorMode GetMode() const { return m_Start.eMode; }
    bool IsNew() const { return m_Start.bNew; }
    const std::string& GetCurrentName() const { return m_Start.strCurrent; }
    const std::string& GetLastName() const { return m_Start.strLast; }
    // Editing an item may be saved as a new one unless the library's last number is 99.
    bool CanSaveAsNew() const;

    // The next name is taken by an item already (the library ends at 99): a new one would
    // overwrite it.
    bool IsLibraryFull() const;
    // A new item (the next name), an item saved as new or overwritten, or the set frame
    // renewed in place. 1 on success; names move on only when the file was written. A new
    // item never replaces an existing file.
    int AddItem(const CPixelPicture& picture);
    int SaveItem(const CPixelPicture& picture, ESaveChoice choice);
    int RenewFrame(const CPixelPicture& picture);

    std::string ItemPath(const std::string& name) const;
    std::string SetPath() const;

private:
    int WriteItem(const std::string& name, const CPixelPicture& picture);

    SEditorStart m_Start;
    std::string m_strDirectory;
    CPalette m_Palette;
    CPixelPicture m_Picture;
};
