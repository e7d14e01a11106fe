// The effect definitions a slot holds: one class per kind of parameters. Shape effects
// expose their numbers through EEffectParam so that the ini layer and the setting pages
// read and write them from one table per type.
#pragma once
#include "effect_types.h"
#include "key_code_array.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

typedef uint32_t COLORVALUE; // 0x00BBGGRR

enum EEffectParam {
    PARAM_COLOR, // background colour of the spot light
    PARAM_WIDTH, // line width; diameter of the spot light
    PARAM_GRID,
    PARAM_TRANSPARENT, // stored under the word "Clear"
    PARAM_FILL,
    PARAM_TRACK,
    PARAM_VERTICAL,
};

// The stored names of one type's numbers, in the order they are written, each with the
// value a missing key reads as.
struct SShapeKey {
    EEffectParam param;
    const char* pszKey; // after "E%d" and the type's prefix, e.g. "LineWidth"
    int nIniDefault;
};
struct SShapeLayout {
    const char* pszPrefix; // e.g. "FreeLineEffect"
    SShapeKey keys[5];
    int nKeys;
};
// Null for the types that are not shape effects.
const SShapeLayout* GetShapeLayout(int type);

// What a fresh definition needs to know of its surroundings.
struct SEffectContext {
    std::string strProgramFolder; // with its trailing backslash
    int nKeyboardKind = 2;
};

class CEffect {
public:
    explicit CEffect(int type) : m_nType(type) {}
    virtual ~CEffect() = default;
    CEffect(const CEffect&) = delete;
    CEffect& operator=(const CEffect&) = delete;

    int GetType() const { return m_nType; }
    virtual std::unique_ptr<CEffect> Clone() const = 0;

protected:
    int m_nType;
};

// Free line, line, ellipse, square, bar and spot light: numbers only.
class CShapeEffect : public CEffect {
public:
    using CEffect::CEffect;
    // False for a parameter the type does not have.
    bool HasParam(EEffectParam param) const;
    int GetParam(EEffectParam param) const;
    void SetParam(EEffectParam param, int value);

    COLORVALUE GetColor() const { return static_cast<COLORVALUE>(GetParam(PARAM_COLOR)); }
    int GetLineWidth() const { return GetParam(PARAM_WIDTH); }
    bool IsTransparent() const { return GetParam(PARAM_TRANSPARENT) != 0; }

protected:
    int32_t m_crColor = 0;
    uint16_t m_nWidth = 1;
    uint16_t m_nGridWidth = 1;
    int32_t m_bTransparent = 0;
    int32_t m_bFill = 0;
    int32_t m_bTrack = 0;
    int32_t m_bVertical = 0;
};

#define KESTREL_SHAPE_EFFECT(Name)                                                                                     \
    class Name : public CShapeEffect {                                                                                 \
    public:                                                                                                            \
        Name();                                                                                                        \
        std::unique_ptr<CEffect> Clone() const override;                                                               \
    };
KESTREL_SHAPE_EFFECT(CFreeLineEffect)
KESTREL_SHAPE_EFFECT(CLineEffect)
KESTREL_SHAPE_EFFECT(CEllipseEffect)
KESTREL_SHAPE_EFFECT(CRectEffect)
KESTREL_SHAPE_EFFECT(CBarEffect)
KESTREL_SHAPE_EFFECT(CSpotLightEffect)
#undef KESTREL_SHAPE_EFFECT

// Stamp (type 5) and cursor change (type 6): one item file.
class CPictureEffect : public CEffect {
public:
    CPictureEffect(int stamp, std::string path)
        : CEffect(stamp ? EFFECT_STAMP : EFFECT_CUSTOM_CURSOR), m_bStamp(stamp ? 1 : 0), m_strPath(std::move(path))
    {
    }
    int IsStamp() const { return m_bStamp; }
    const std::string& GetPath() const { return m_strPath; }
    void SetPath(const std::string& path) { m_strPath = path; }
    // The item's file name alone, e.g. "03.stp"; setting it keeps the folder.
    std::string GetItemName() const;
    void SetItemName(const std::string& name);
    std::unique_ptr<CEffect> Clone() const override;

private:
    int m_bStamp;
    std::string m_strPath;
};

class CSoundEffect : public CEffect {
public:
    explicit CSoundEffect(std::string path = std::string()) : CEffect(EFFECT_SOUND), m_strPath(std::move(path)) {}
    const std::string& GetPath() const { return m_strPath; }
    void SetPath(const std::string& path) { m_strPath = path; }
    std::unique_ptr<CEffect> Clone() const override;

private:
    std::string m_strPath;
};

class CClearScreenEffect : public CEffect {
public:
    CClearScreenEffect() : CEffect(EFFECT_CLEAR_SCREEN) {}
    std::unique_ptr<CEffect> Clone() const override;
};

// Key events and their display texts, two lists of equal length.
class CKeyEffect : public CEffect {
public:
    static const size_t kMaxTextLength = 29; // a 30-byte buffer per text
    static constexpr size_t kMaxEvents = 16;    // the entries the Key page takes

    CKeyEffect() : CEffect(EFFECT_KEY) {}
    const std::vector<KeyCodeArray>& GetEvents() const { return m_Events; }
    const std::vector<std::string>& GetTexts() const { return m_Texts; }
    // Replaces both lists whole; texts are cut to kMaxTextLength and the longer list is
    // cut to the shorter so that event i always has text i, and both to kMaxEvents.
    void SetLists(const std::vector<KeyCodeArray>& events, const std::vector<std::string>& texts);
    std::unique_ptr<CEffect> Clone() const override;

private:
    std::vector<KeyCodeArray> m_Events;
    std::vector<std::string> m_Texts;
};

// A definition of type with the values it gets when a slot is given that type.
std::unique_ptr<CEffect> CreateEffect(int type, const SEffectContext& context);

// Default item files and the sound folder, as stored beside the program.
extern const char kStampFolder[];   // "stamp\\"
extern const char kCursorFolder[];  // "cursor\\"
extern const char kSoundFolder[];   // "sound\\"
extern const char kDefaultStamp[];  // "00.stp"
extern const char kDefaultCursor[]; // "00.crs"
extern const char kDefaultSound[];  // "00.wav"
