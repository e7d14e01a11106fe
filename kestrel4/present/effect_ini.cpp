#include "effect_ini.h"

#include <cstdint>
#include <cstdlib>

#include "page_values.h"

namespace {

const unsigned int kValueBuffer = 512;
const unsigned int kFileBuffer = 260;

std::string Key(const char* format, int slot)
{
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, format, slot);
    return buffer;
}

std::string Number(long value)
{
    return std::to_string(value);
}

std::string EventKey(const char* format, int slot, int event)
{
    return Key(format, slot) + Number(event);
}

const char kVKeyArrayKey[] = "E%dKeyEffectVKeyArrayString";
const char kEventTextKey[] = "E%dKeyEffectKeyEventString";

long long Integer(const std::string& text)
{
    return std::strtoll(text.c_str(), nullptr, 10);
}

// The strings a list of "%s%d" keys holds, read until the first "NOTHING" or limit of them.
std::vector<std::string> ReadList(IProfileFile& ini, const std::string& section, const char* format, int slot,
                                  size_t limit)
{
    std::vector<std::string> values;
    for (int i = 0; values.size() < limit; ++i) {
        std::string v = ini.GetString(section.c_str(), EventKey(format, slot, i).c_str(), kNothingToken, kValueBuffer);
        if (v == kNothingToken)
            break;
        values.push_back(v);
    }
    return values;
}

void SaveShape(IProfileFile& ini, const std::string& section, int slot, const CShapeEffect& shape)
{
    const SShapeLayout* layout = GetShapeLayout(shape.GetType());
    for (int i = 0; i < layout->nKeys; ++i) {
        std::string key = Key("E%d", slot) + layout->pszPrefix + layout->keys[i].pszKey;
        ini.WriteString(section.c_str(), key.c_str(), Number(shape.GetParam(layout->keys[i].param)).c_str());
    }
}

void LoadShape(IProfileFile& ini, const std::string& section, int slot, CShapeEffect& shape)
{
    const SShapeLayout* layout = GetShapeLayout(shape.GetType());
    for (int i = 0; i < layout->nKeys; ++i) {
        const SShapeKey& k = layout->keys[i];
        std::string key = Key("E%d", slot) + layout->pszPrefix + k.pszKey;
        std::string text = ini.GetString(section.c_str(), key.c_str(), Number(k.nIniDefault).c_str(), kValueBuffer);
        // A hand-edited or damaged file may hold anything: each number is held to what its
        // page lets the user choose, so a width never wraps round in the 16-bit pen field.
        shape.SetParam(k.param, ClampToRange(Integer(text), ShapeParamRange(shape.GetType(), k.param)));
    }
}

void SaveKeys(IProfileFile& ini, const std::string& section, int slot, const CKeyEffect& key)
{
    const std::vector<KeyCodeArray>& events = key.GetEvents();
    for (size_t i = 0; i < events.size(); ++i) {
        int event = static_cast<int>(i);
        std::string sub = KeyEventSectionName(section, slot, event);
        ini.WriteString(section.c_str(), EventKey(kVKeyArrayKey, slot, event).c_str(), sub.c_str());
        ini.WriteString(sub.c_str(), "VirtualKeyCodeSize", Number(events[i].nCount).c_str());
        for (int c = 0; c < events[i].nCount; ++c)
            ini.WriteString(sub.c_str(), Key("VirtualKeyCode%d", c).c_str(), Number(events[i].nCodes[c]).c_str());
    }
    const std::vector<std::string>& texts = key.GetTexts();
    for (size_t i = 0; i < texts.size(); ++i)
        ini.WriteString(section.c_str(), EventKey(kEventTextKey, slot, static_cast<int>(i)).c_str(), texts[i].c_str());
}

} // namespace

std::string FileNameOf(const std::string& path)
{
    size_t at = path.find_last_of("\\/");
    return at == std::string::npos ? path : path.substr(at + 1);
}

std::string KeyEventSectionName(const std::string& section, int slot, int event)
{
    return section + "_Struct" + Number(slot) + Number(event);
}

bool IsKeyEventSectionOf(const std::string& name, const std::string& section, int slot)
{
    const std::string prefix = KeyEventSectionName(section, slot, 0);
    const std::string head = prefix.substr(0, prefix.size() - 1);
    if (name.size() <= head.size() || name.compare(0, head.size(), head) != 0)
        return false;
    for (size_t i = head.size(); i < name.size(); ++i)
        if (name[i] < '0' || name[i] > '9')
            return false;
    return true;
}

std::vector<std::string> ReadKeyEventSections(IProfileFile& ini, const std::string& section, int slot)
{
    // Deleting must find every sub-section, however many a damaged file lists.
    return ReadList(ini, section, kVKeyArrayKey, slot, SIZE_MAX);
}

KeyCodeArray ReadKeyCodeArray(IProfileFile& ini, const std::string& subSection)
{
    KeyCodeArray codes;
    const long long count = Integer(ini.GetString(subSection.c_str(), "VirtualKeyCodeSize", "0", kValueBuffer));
    for (int c = 0; c < count && c < KeyCodeArray::kMaxCodes; ++c) {
        const long long code =
            Integer(ini.GetString(subSection.c_str(), Key("VirtualKeyCode%d", c).c_str(), "0", kValueBuffer));
        // A code that names no key is left out rather than moved to a key the user never chose.
        if (code >= kKeyCodeRange.nLow && code <= kKeyCodeRange.nHigh)
            codes.Append(static_cast<int>(code));
    }
    return codes;
}

void SaveSlotEffect(IProfileFile& ini, const std::string& section, int slot, const CEffect* effect)
{
    const char* s = section.c_str();
    std::string effectKey = Key("Effect%d", slot);
    if (!effect) {
        ini.WriteString(s, effectKey.c_str(), kNothingToken);
        return;
    }
    int type = effect->GetType();
    ini.WriteString(s, effectKey.c_str(), kEffectTypes[type].pszToken);
    switch (type) {
    case EFFECT_STAMP:
        ini.WriteString(s, Key("E%dStampEffectFileName", slot).c_str(),
                        FileNameOf(static_cast<const CPictureEffect*>(effect)->GetPath()).c_str());
        break;
    case EFFECT_CUSTOM_CURSOR:
        ini.WriteString(s, Key("E%dCustomCursorEffectFileName", slot).c_str(),
                        FileNameOf(static_cast<const CPictureEffect*>(effect)->GetPath()).c_str());
        break;
    case EFFECT_SOUND:
        ini.WriteString(s, Key("E%dSoundEffectFileName", slot).c_str(),
                        static_cast<const CSoundEffect*>(effect)->GetPath().c_str());
        break;
    case EFFECT_KEY:
        SaveKeys(ini, section, slot, *static_cast<const CKeyEffect*>(effect));
        break;
    case EFFECT_CLEAR_SCREEN:
        break;
    default:
        SaveShape(ini, section, slot, *static_cast<const CShapeEffect*>(effect));
        break;
    }
}

void RenameStoredItems(IProfileFile& ini, const std::string& section, int type,
                       const std::function<std::string(const std::string&)>& rename)
{
    if (type != EFFECT_STAMP && type != EFFECT_CUSTOM_CURSOR)
        return;
    const char* format = type == EFFECT_STAMP ? "E%dStampEffectFileName" : "E%dCustomCursorEffectFileName";
    const char* s = section.c_str();
    for (int slot = 1; slot <= 5; ++slot) {
        std::string token = ini.GetString(s, Key("Effect%d", slot).c_str(), kNothingToken, kValueBuffer);
        if (EffectTypeFromToken(token) != type)
            continue;
        std::string key = Key(format, slot);
        std::string name = ini.GetString(s, key.c_str(), kNothingToken, kFileBuffer);
        if (name == kNothingToken)
            continue;
        std::string renamed = rename(name);
        if (!renamed.empty() && renamed != name)
            ini.WriteString(s, key.c_str(), renamed.c_str());
    }
}

std::unique_ptr<CEffect> LoadSlotEffect(IProfileFile& ini, const std::string& section, int slot,
                                        const SEffectContext& context)
{
    const char* s = section.c_str();
    std::string token = ini.GetString(s, Key("Effect%d", slot).c_str(), kNothingToken, kValueBuffer);
    int type = EffectTypeFromToken(token);
    if (type == kNoEffectType)
        return nullptr;

    std::unique_ptr<CEffect> effect = CreateEffect(type, context);
    switch (type) {
    case EFFECT_STAMP: {
        std::string name = ini.GetString(s, Key("E%dStampEffectFileName", slot).c_str(), kDefaultStamp, kFileBuffer);
        static_cast<CPictureEffect*>(effect.get())->SetPath(context.strProgramFolder + kStampFolder + name);
        break;
    }
    case EFFECT_CUSTOM_CURSOR: {
        std::string name =
            ini.GetString(s, Key("E%dCustomCursorEffectFileName", slot).c_str(), kDefaultCursor, kFileBuffer);
        static_cast<CPictureEffect*>(effect.get())->SetPath(context.strProgramFolder + kCursorFolder + name);
        break;
    }
    case EFFECT_SOUND: {
        std::string path = ini.GetString(s, Key("E%dSoundEffectFileName", slot).c_str(), "NOT_FOUND", kFileBuffer);
        if (path == "NOT_FOUND")
            path = context.strProgramFolder + kSoundFolder + kDefaultSound;
        static_cast<CSoundEffect*>(effect.get())->SetPath(path);
        break;
    }
    case EFFECT_KEY: {
        // No more events than the Key page takes, however many a damaged file lists.
        std::vector<KeyCodeArray> events;
        for (const std::string& sub : ReadList(ini, section, kVKeyArrayKey, slot, CKeyEffect::kMaxEvents))
            events.push_back(ReadKeyCodeArray(ini, sub));
        std::vector<std::string> texts = ReadList(ini, section, kEventTextKey, slot, CKeyEffect::kMaxEvents);
        static_cast<CKeyEffect*>(effect.get())->SetLists(events, texts);
        break;
    }
    case EFFECT_CLEAR_SCREEN:
        break;
    default:
        LoadShape(ini, section, slot, *static_cast<CShapeEffect*>(effect.get()));
        break;
    }
    return effect;
}
