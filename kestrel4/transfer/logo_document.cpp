#include "logo_document.h"

#include <new>

#include <sys/stat.h>

#include "logo_transfer.h"
#include "text_case.h"

int ZoomRateOfIndex(int index)
{
    return kZoomRates[index >= 0 && index < 5 ? index : 0];
}

int ZoomIndexOfRate(int rate)
{
    for (int i = 0; i < 5; ++i)
        if (kZoomRates[i] == rate)
            return i;
    return -1;
}

bool IsDefaultLogoFailureReported(ELogoResult result, const std::string& path)
{
    struct stat status;
    return result != ELogoResult::Ok && stat(path.c_str(), &status) == 0;
}

ELogoResult CLogoDocument::MakeCopies(const CDIBLogo& source, const SArea& area, CDIBLogo& working,
                                      CDIBLogo& transfer)
{
    if (!LogoSizeAcceptable(source.Width(), source.Height()))
        return ELogoResult::TooSmall;
    if (!area.IsEmpty() &&
        (area.left < 0 || area.top < 0 || area.right >= source.Width() || area.bottom >= source.Height()))
        return ELogoResult::TooSmall;
    const int depth = source.BitCount();
    if (depth != 1 && depth != 4 && depth != 8 && depth != 24)
        return ELogoResult::UnknownDepth;
    // The working copy is read out of the source, never copied whole first: a picture at the
    // size limit would otherwise be held two or three times over.
    CDIBLogo fitted;
    fitted.SetColour(source.GetColour());
    fitted.SetZoom(source.GetZoom());
    fitted.SetArea(area);
    if (!fitted.FitFrom(source, area))
        return ELogoResult::NoMemory;
    try {
        transfer = fitted;
    } catch (const std::bad_alloc&) {
        return ELogoResult::NoMemory;
    }
    working = std::move(fitted);
    return ELogoResult::Ok;
}

ELogoResult CLogoDocument::Replace(CDIBLogo source)
{
    CDIBLogo working, transfer;
    const ELogoResult result = MakeCopies(source, source.GetArea(), working, transfer);
    if (result != ELogoResult::Ok)
        return result;
    m_Source = std::move(source);
    m_Working = std::move(working);
    m_Transfer = std::move(transfer);
    return ELogoResult::Ok;
}

ELogoResult CLogoDocument::Load(const std::string& path, int defaultZoom, bool named)
{
    CDIBLogo loaded;
    bool logoFile = false;
    switch (LoadLogoFile(path, defaultZoom, loaded, &logoFile)) {
    case ELogoLoad::ReadFailed:
        return ELogoResult::ReadFailed;
    case ELogoLoad::NotAvailable:
        return ELogoResult::NotAvailable;
    case ELogoLoad::TooLarge:
        return ELogoResult::TooLarge;
    case ELogoLoad::NoMemory:
        return ELogoResult::NoMemory;
    case ELogoLoad::Ok:
        break;
    }
    loaded.SetColour(SRgbQuad());
    const ELogoResult result = Replace(std::move(loaded));
    if (result != ELogoResult::Ok)
        return result;
    m_strPath = named ? path : std::string();
    m_bLogoFile = logoFile;
    m_bModified = false;
    return ELogoResult::Ok;
}

ELogoResult CLogoDocument::Open(const std::string& path, int defaultZoom)
{
    return Load(path, defaultZoom, true);
}

ELogoResult CLogoDocument::OpenDefault(const std::string& path, int defaultZoom)
{
    return Load(path, defaultZoom, false);
}

ELogoResult CLogoDocument::SetArea(const SArea& area)
{
    if (!HasSource())
        return ELogoResult::TooSmall;
    if (!LogoAreaAcceptable(area) || area.left < 0 || area.top < 0 || area.right >= m_Source.Width() ||
        area.bottom >= m_Source.Height())
        return ELogoResult::TooSmall;
    if (area == m_Source.GetArea())
        return ELogoResult::Ok;
    CDIBLogo working, transfer;
    const ELogoResult result = MakeCopies(m_Source, area, working, transfer);
    if (result != ELogoResult::Ok)
        return result;
    m_Source.SetArea(area);
    m_Working = std::move(working);
    m_Transfer = std::move(transfer);
    m_bModified = true;
    return ELogoResult::Ok;
}

bool CLogoDocument::SetZoom(int rate, bool byUser)
{
    if (rate == m_Source.GetZoom())
        return false;
    m_Source.SetZoom(rate);
    m_Working.SetZoom(rate);
    m_Transfer.SetZoom(rate);
    m_bModified = m_bModified || byUser;
    return true;
}

ELogoResult CLogoDocument::Save(const std::string& path)
{
    if (m_Source.WriteFile(path) != DIB_OK)
        return ELogoResult::WriteFailed;
    m_strPath = path;
    m_bLogoFile = true;
    m_bModified = false;
    return ELogoResult::Ok;
}

bool CLogoDocument::NeedsSaveName() const
{
    // Only a logo file is saved under its own name: a picture of any kind must never be
    // written over with a logo, whatever its name says (a bitmap renamed to .lgo).
    if (!m_bLogoFile || m_strPath.size() < 4)
        return true;
    return LowerCase(m_strPath.substr(m_strPath.size() - 4)) != ".lgo";
}

std::vector<uint8_t> CLogoDocument::TransferImage() const
{
    try {
        return BuildTransferImage(m_Transfer, m_Source.GetZoom());
    } catch (const std::bad_alloc&) {
        return {};
    }
}
