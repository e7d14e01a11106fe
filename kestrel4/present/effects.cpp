#include "effects.h"

#include <algorithm>

const char kStampFolder[] = "stamp\\";
const char kCursorFolder[] = "cursor\\";
const char kSoundFolder[] = "sound\\";
const char kDefaultStamp[] = "00.stp";
const char kDefaultCursor[] = "00.crs";
const char kDefaultSound[] = "00.wav";

namespace {

// Colours and flags read as 0, widths, grid and diameter as 1 when their key is missing.
const SShapeLayout kFreeLine = {
    "FreeLineEffect", {{PARAM_COLOR, "Color", 0}, {PARAM_WIDTH, "LineWidth", 1}, {PARAM_TRANSPARENT, "Clear", 0}}, 3};
const SShapeLayout kLine = {"LineEffect",
                            {{PARAM_COLOR, "Color", 0},
                             {PARAM_WIDTH, "LineWidth", 1},
                             {PARAM_GRID, "GridWidth", 1},
                             {PARAM_TRANSPARENT, "Clear", 0}},
                            4};
const SShapeLayout kEllipse = {"EllipseEffect",
                               {{PARAM_COLOR, "Color", 0},
                                {PARAM_WIDTH, "LineWidth", 1},
                                {PARAM_TRANSPARENT, "Clear", 0},
                                {PARAM_FILL, "Fill", 0}},
                               4};
const SShapeLayout kRect = {"RectEffect",
                            {{PARAM_COLOR, "Color", 0},
                             {PARAM_WIDTH, "LineWidth", 1},
                             {PARAM_TRANSPARENT, "Clear", 0},
                             {PARAM_FILL, "Fill", 0},
                             {PARAM_TRACK, "Track", 0}},
                            5};
const SShapeLayout kBar = {"BarEffect",
                           {{PARAM_COLOR, "Color", 0},
                            {PARAM_WIDTH, "LineWidth", 1},
                            {PARAM_TRANSPARENT, "Clear", 0},
                            {PARAM_VERTICAL, "Vertical", 0}},
                           4};
const SShapeLayout kSpotLight = {
    "SpotLightEffect", {{PARAM_COLOR, "Color", 0}, {PARAM_WIDTH, "Diameter", 1}, {PARAM_TRANSPARENT, "Clear", 0}}, 3};

struct SShapeDefaults {
    int nColor, nWidth, nGrid, nTransparent, nFill, nTrack, nVertical;
};

void Apply(CShapeEffect& e, const SShapeDefaults& d)
{
    e.SetParam(PARAM_COLOR, d.nColor);
    e.SetParam(PARAM_WIDTH, d.nWidth);
    if (e.HasParam(PARAM_GRID))
        e.SetParam(PARAM_GRID, d.nGrid);
    e.SetParam(PARAM_TRANSPARENT, d.nTransparent);
    if (e.HasParam(PARAM_FILL))
        e.SetParam(PARAM_FILL, d.nFill);
    if (e.HasParam(PARAM_TRACK))
        e.SetParam(PARAM_TRACK, d.nTrack);
    if (e.HasParam(PARAM_VERTICAL))
        e.SetParam(PARAM_VERTICAL, d.nVertical);
}

template <class T>
std::unique_ptr<CEffect> CopyShape(const T& from)
{
    std::unique_ptr<T> copy(new T);
    const SShapeLayout* layout = GetShapeLayout(from.GetType());
    for (int i = 0; i < layout->nKeys; ++i)
        copy->SetParam(layout->keys[i].param, from.GetParam(layout->keys[i].param));
    return std::unique_ptr<CEffect>(copy.release());
}

} // namespace

const SShapeLayout* GetShapeLayout(int type)
{
    switch (type) {
    case EFFECT_FREE_LINE:
        return &kFreeLine;
    case EFFECT_LINE:
        return &kLine;
    case EFFECT_ELLIPSE:
        return &kEllipse;
    case EFFECT_RECT:
        return &kRect;
    case EFFECT_BAR:
        return &kBar;
    case EFFECT_SPOT_LIGHT:
        return &kSpotLight;
    default:
        return nullptr;
    }
}

bool CShapeEffect::HasParam(EEffectParam param) const
{
    const SShapeLayout* layout = GetShapeLayout(m_nType);
    for (int i = 0; layout && i < layout->nKeys; ++i)
        if (layout->keys[i].param == param)
            return true;
    return false;
}

int CShapeEffect::GetParam(EEffectParam param) const
{
    switch (param) {
    case PARAM_COLOR:
        return m_crColor;
    case PARAM_WIDTH:
        return m_nWidth;
    case PARAM_GRID:
        return m_nGridWidth;
    case PARAM_TRANSPARENT:
        return m_bTransparent;
    case PARAM_FILL:
        return m_bFill;
    case PARAM_TRACK:
        return m_bTrack;
    case PARAM_VERTICAL:
        return m_bVertical;
    }
    return 0;
}

void CShapeEffect::SetParam(EEffectParam param, int value)
{
    switch (param) {
    case PARAM_COLOR:
        m_crColor = value;
        break;
    // Pixel counts are 16-bit, as stored by the drawers' pens.
    case PARAM_WIDTH:
        m_nWidth = static_cast<uint16_t>(value);
        break;
    case PARAM_GRID:
        m_nGridWidth = static_cast<uint16_t>(value);
        break;
    case PARAM_TRANSPARENT:
        m_bTransparent = value;
        break;
    case PARAM_FILL:
        m_bFill = value;
        break;
    case PARAM_TRACK:
        m_bTrack = value;
        break;
    case PARAM_VERTICAL:
        m_bVertical = value;
        break;
    }
}

CFreeLineEffect::CFreeLineEffect() : CShapeEffect(EFFECT_FREE_LINE)
{
    Apply(*this, {0x0000FF, 5, 0, 0, 0, 0, 0});
}
CLineEffect::CLineEffect() : CShapeEffect(EFFECT_LINE)
{
    Apply(*this, {0xFF00FF, 20, 20, 1, 0, 0, 0});
}
CEllipseEffect::CEllipseEffect() : CShapeEffect(EFFECT_ELLIPSE)
{
    Apply(*this, {0x0000FF, 10, 0, 0, 0, 0, 0});
}
CRectEffect::CRectEffect() : CShapeEffect(EFFECT_RECT)
{
    Apply(*this, {0x00FF00, 10, 0, 1, 1, 1, 0});
}
CBarEffect::CBarEffect() : CShapeEffect(EFFECT_BAR)
{
    Apply(*this, {0x00FFFF, 4, 0, 1, 0, 0, 0});
}
CSpotLightEffect::CSpotLightEffect() : CShapeEffect(EFFECT_SPOT_LIGHT)
{
    Apply(*this, {0x000000, 200, 0, 1, 0, 0, 0});
}

std::unique_ptr<CEffect> CFreeLineEffect::Clone() const
{
    return CopyShape(*this);
}
std::unique_ptr<CEffect> CLineEffect::Clone() const
{
    return CopyShape(*this);
}
std::unique_ptr<CEffect> CEllipseEffect::Clone() const
{
    return CopyShape(*this);
}
std::unique_ptr<CEffect> CRectEffect::Clone() const
{
    return CopyShape(*this);
}
std::unique_ptr<CEffect> CBarEffect::Clone() const
{
    return CopyShape(*this);
}
std::unique_ptr<CEffect> CSpotLightEffect::Clone() const
{
    return CopyShape(*this);
}

std::string CPictureEffect::GetItemName() const
{
    return m_strPath.substr(m_strPath.find_last_of("\\/") + 1);
}

void CPictureEffect::SetItemName(const std::string& name)
{
    m_strPath = m_strPath.substr(0, m_strPath.find_last_of("\\/") + 1) + name;
}

std::unique_ptr<CEffect> CPictureEffect::Clone() const
{
    return std::unique_ptr<CEffect>(new CPictureEffect(m_bStamp, m_strPath));
}

std::unique_ptr<CEffect> CSoundEffect::Clone() const
{
    return std::unique_ptr<CEffect>(new CSoundEffect(m_strPath));
}

std::unique_ptr<CEffect> CClearScreenEffect::Clone() const
{
    return std::unique_ptr<CEffect>(new CClearScreenEffect);
}

void CKeyEffect::SetLists(const std::vector<KeyCodeArray>& events, const std::vector<std::string>& texts)
{
    size_t n = std::min(std::min(events.size(), texts.size()), kMaxEvents);
    m_Events.assign(events.begin(), events.begin() + static_cast<long>(n));
    m_Texts.clear();
    for (size_t i = 0; i < n; ++i)
        m_Texts.push_back(texts[i].substr(0, kMaxTextLength));
}

std::unique_ptr<CEffect> CKeyEffect::Clone() const
{
    std::unique_ptr<CKeyEffect> copy(new CKeyEffect);
    copy->SetLists(m_Events, m_Texts);
    return std::unique_ptr<CEffect>(copy.release());
}

std::unique_ptr<CEffect> CreateEffect(int type, const SEffectContext& context)
{
    switch (type) {
    case EFFECT_FREE_LINE:
        return std::unique_ptr<CEffect>(new CFreeLineEffect);
    case EFFECT_LINE:
        return std::unique_ptr<CEffect>(new CLineEffect);
    case EFFECT_ELLIPSE:
        return std::unique_ptr<CEffect>(new CEllipseEffect);
    case EFFECT_RECT:
        return std::unique_ptr<CEffect>(new CRectEffect);
    case EFFECT_BAR:
        return std::unique_ptr<CEffect>(new CBarEffect);
    case EFFECT_STAMP:
        return std::unique_ptr<CEffect>(new CPictureEffect(1, context.strProgramFolder + kStampFolder + kDefaultStamp));
    case EFFECT_CUSTOM_CURSOR:
        return std::unique_ptr<CEffect>(
            new CPictureEffect(0, context.strProgramFolder + kCursorFolder + kDefaultCursor));
    case EFFECT_SOUND:
        return std::unique_ptr<CEffect>(new CSoundEffect);
    case EFFECT_SPOT_LIGHT:
        return std::unique_ptr<CEffect>(new CSpotLightEffect);
    case EFFECT_CLEAR_SCREEN:
        return std::unique_ptr<CEffect>(new CClearScreenEffect);
    case EFFECT_KEY: {
        std::unique_ptr<CKeyEffect> key(new CKeyEffect);
        KeyCodeArray pageUp;
        pageUp.Append(33);
        // The PC-98 keyboard names the same key differently.
        key->SetLists({pageUp}, {context.nKeyboardKind == 1 ? "ROLL DOWN" : "Page Up"});
        return std::unique_ptr<CEffect>(key.release());
    }
    default:
        return nullptr;
    }
}
