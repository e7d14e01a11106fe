// What the user-logo page holds, without its window: the source picture as opened (with its
// area and zoom), the working copy (cut to the area and fitted) and the transfer copy, the
// logo path and the modified flag. kestrelctl uses the same steps to send a logo.
#pragma once
#include <string>
#include <vector>

#include "dib_logo.h"

// The zoom rates of the choice, index 0..4.
constexpr int kZoomRates[5] = {100, 150, 200, 250, 300};
// The zoom rate of a model's default index (out-of-range indexes count as 0).
int ZoomRateOfIndex(int index);
// The index of a zoom rate, or -1.
int ZoomIndexOfRate(int rate);

enum class ELogoResult {
    Ok,
    ReadFailed,   // the file cannot be read
    NotAvailable, // neither a usable picture nor a logo file
    TooLarge,     // a picture beyond kMaxDibSide or kMaxDibBits
    UnknownDepth, // a bit depth other than 1, 4, 8 and 24
    TooSmall,     // under 9 pixels either way, an area beyond the picture, or nothing left after fitting
    WriteFailed,
    NoMemory, // the picture is readable, but there is not the memory to take or fit it
};

// Whether the page start tells of the default logo at path that failed to open: a file that
// is not there leaves the page empty without a word; a damaged one leaves it empty as well,
// with the message File > Open gives for that file.
bool IsDefaultLogoFailureReported(ELogoResult result, const std::string& path);

class CLogoDocument {
public:
    // Opens a picture (taking the default zoom) or a .lgo. Nothing changes unless it succeeds;
    // memory shortage while reading the file counts as a file that cannot be read.
    ELogoResult Open(const std::string& path, int defaultZoom);
    // Opens the shipped default logo without taking its name: a save asks for one, so the
    // shipped file is never written over.
    ELogoResult OpenDefault(const std::string& path, int defaultZoom);
    // A new area (inclusive, normalised); the picture keeps its zoom.
    ELogoResult SetArea(const SArea& area);
    // A new zoom rate; false when it is the same. A user's choice marks the logo modified.
    bool SetZoom(int rate, bool byUser = true);
    // Writes the source as a logo file; a bitmap path is never written over by the caller.
    ELogoResult Save(const std::string& path);

    bool HasSource() const { return !m_Source.IsEmpty(); }
    const CDIBLogo& Source() const { return m_Source; }
    const CDIBLogo& Working() const { return m_Working; }
    const CDIBLogo& Transfer() const { return m_Transfer; }
    const std::string& Path() const { return m_strPath; }
    bool IsModified() const { return m_bModified; }
    // A save must ask for a name: no path yet, a picture opened (whatever its name), or a
    // path not ending in .lgo.
    bool NeedsSaveName() const;
    // What the projector receives; empty when memory is short.
    std::vector<uint8_t> TransferImage() const;

private:
    // Opens path; named takes it as the logo path.
    ELogoResult Load(const std::string& path, int defaultZoom, bool named);
    // A new source with its working and transfer copies, put in place only once all are built.
    ELogoResult Replace(CDIBLogo source);
    // Working and transfer copies of area of source; the document is not touched.
    static ELogoResult MakeCopies(const CDIBLogo& source, const SArea& area, CDIBLogo& working, CDIBLogo& transfer);

    CDIBLogo m_Source, m_Working, m_Transfer;
    std::string m_strPath;
    bool m_bLogoFile = false; // the file at m_strPath holds a logo, not a picture
    bool m_bModified = false;
};
