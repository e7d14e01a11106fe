#include "key_names.h"

#include "text_case.h"

const char kCtrlWord[] = "Ctrl + ";
const char kAltWord[] = "Alt + ";
const char kGraphWord[] = "Graph + ";
const char kShiftWord[] = "Shift + ";

namespace {

// f and vf function keys of the PC-98 keyboard: the letters, a half-width middle dot of the
// Japanese code page and the number.
std::string Pc98Function(const char* letters, int n)
{
    return std::string(letters) + "\xA5" + std::to_string(n);
}

const SKeyName kNamedRows[] = {
    {8, "Back space"}, {9, "Tab"},    {13, "Enter"},   {16, "Shift"},     {17, "Ctrl"},   {18, "Alt"},
    {27, "Esc"},       {32, "SPACE"}, {33, "Page Up"}, {34, "Page Down"}, {35, "End"},    {36, "Home"},
    {37, "Left"},      {38, "Up"},    {39, "Right"},   {40, "Down"},      {45, "Insert"}, {46, "Delete"},
};
const SKeyName kPc98NamedRows[] = {
    {8, "BS"},    {9, "TAB"},    {13, "ENTER"},     {16, "SHIFT"},   {17, "CTRL"}, {18, "GRAPH"},
    {27, "ESC"},  {32, "SPACE"}, {33, "ROLL DOWN"}, {34, "ROLL UP"}, {35, "HELP"}, {36, "HOME CLR"},
    {37, "LEFT"}, {38, "UP"},    {39, "RIGHT"},     {40, "DOWN"},    {45, "INS"},  {46, "DEL"},
};

void AddNumRows(std::vector<SKeyName>& t)
{
    for (int i = 0; i <= 9; ++i)
        t.push_back({96 + i, "Num " + std::to_string(i)});
    // 108, the separator key, is shown as one blank.
    const SKeyName rest[] = {{106, "Num *"}, {107, "Num +"}, {108, " "},
                             {109, "Num -"}, {110, "Num ."}, {111, "Num /"}};
    t.insert(t.end(), std::begin(rest), std::end(rest));
}

void AddFunctionRows(std::vector<SKeyName>& t)
{
    for (int i = 1; i <= 12; ++i)
        t.push_back({111 + i, i == 6 ? "F6 " : "F" + std::to_string(i)});
}

// The OEM keys by the character printed on them; "\xA0" follows the accented letters.
const SKeyName kOemJapanese[] = {{189, "-"}, {222, "^"}, {220, "\\"}, {192, "@"}, {219, "["}, {187, ";"},
                                 {186, ":"}, {221, "]"}, {188, ","},  {190, "."}, {191, "/"}, {226, "\\"}};
const SKeyName kOemUs[] = {{189, "-"}, {222, "'"}, {220, "\\"}, {192, "`"}, {219, "["}, {187, "="},
                           {186, ";"}, {221, "]"}, {188, ","},  {190, "."}, {191, "/"}};
const SKeyName kOemFrench[] = {{216, ")"}, {187, "="}, {221, "^"}, {186, "$"}, {192, "\xF9\xA0"},
                               {220, "*"}, {188, ","}, {190, ";"}, {191, ":"}, {223, "!"}};
const SKeyName kOemGerman[] = {{219, "\xDF"},     {221, "\xB4"}, {186, "\xFC\xA0"}, {187, "+"}, {192, "\xF6\xA0"},
                               {222, "\xE4\xA0"}, {191, "#"},    {188, ","},        {190, "."}, {189, "-"}};
const SKeyName kOemItalian[] = {{219, "'"},        {221, "\xEC\xA0"}, {186, "\xE8\xA0"}, {187, "+"}, {192, "\xF2\xA0"},
                                {222, "\xE0\xA0"}, {191, "\xF9\xA0"}, {188, ","},        {190, "."}, {189, "-"}};
const SKeyName kOemPortuguese[] = {{189, "-"}, {187, "="},  {219, "["}, {221, "]"}, {186, ";"},
                                   {222, "'"}, {220, "\\"}, {188, ","}, {190, "."}, {191, "/"}};
const SKeyName kOemSpanish[] = {{219, "'"}, {221, "\xBF"}, {186, "\xB4"}, {187, "+"}, {192, "\xF1\xA0"},
                                {222, "{"}, {191, "}"},    {188, ","},    {190, "."}, {189, "-"}};

template <size_t N>
std::vector<SKeyName> CommonTable(const SKeyName (&oem)[N])
{
    std::vector<SKeyName> t(std::begin(kNamedRows), std::end(kNamedRows));
    AddNumRows(t);
    AddFunctionRows(t);
    t.insert(t.end(), std::begin(oem), std::end(oem));
    return t;
}

std::vector<SKeyName> Pc98Table()
{
    std::vector<SKeyName> t(std::begin(kPc98NamedRows), std::end(kPc98NamedRows));
    AddNumRows(t);
    for (int i = 1; i <= 10; ++i)
        t.push_back({111 + i, Pc98Function("f", i)});
    for (int i = 1; i <= 5; ++i)
        t.push_back({121 + i, Pc98Function("vf", i)});
    t.insert(t.end(), std::begin(kOemJapanese), std::end(kOemJapanese));
    t.push_back({146, "Num ="});
    return t;
}

struct SToken {
    std::string strName;
    std::string strToken;
};

std::vector<SToken> TokenTable()
{
    std::vector<SToken> t = {
        {"Back space", "{BS}"},  {"Tab", "{TAB}"},     {"Enter", "{RTN}"},
        {"Shift", "+"},          {"Ctrl", "^"},        {"Alt", "%"},
        {"Esc", "{ESC}"},        {"SPACE", " "},       {"Page Up", "{PGUP}"},
        {"Page Down", "{PGDN}"}, {"Insert", "{INS}"},  {"Delete", "{DEL}"},
        {"Home", "{HOME}"},      {"End", "{END}"},     {"Left", "{LEFT}"},
        {"Up", "{UP}"},          {"Right", "{RIGHT}"}, {"Down", "{DOWN}"},
    };
    for (int i = 1; i <= 12; ++i)
        t.push_back({"F" + std::to_string(i), "{F" + std::to_string(i) + "}"});
    t.push_back({"F6 ", "{F6}"});
    const SToken pc98[] = {
        {"BS", "{BS}"},        {"TAB", "{TAB}"}, {"ENTER", "{RTN}"},   {"SHIFT", "+"},         {"CTRL", "^"},
        {"GRAPH", "%"},        {"Graph", "%"},   {"ESC", "{ESC}"},     {"SPACE", " "},         {"ROLL DOWN", "{PGUP}"},
        {"ROLL UP", "{PGDN}"}, {"INS", "{INS}"}, {"DEL", "{DEL}"},     {"HOME CLR", "{HOME}"}, {"HELP", "{HELP}"},
        {"LEFT", "{LEFT}"},    {"UP", "{UP}"},   {"RIGHT", "{RIGHT}"}, {"DOWN", "{DOWN}"},
    };
    t.insert(t.end(), std::begin(pc98), std::end(pc98));
    for (int i = 1; i <= 10; ++i)
        t.push_back({Pc98Function("f", i), "{F" + std::to_string(i) + "}"});
    for (int i = 1; i <= 5; ++i)
        t.push_back({Pc98Function("vf", i), "{F" + std::to_string(10 + i) + "}"});
    for (int i = 0; i <= 9; ++i)
        t.push_back({"Num " + std::to_string(i), "{NUMPAD" + std::to_string(i) + "}"});
    const SToken rest[] = {
        {"Num *", "{MULTIPLY}"},
        {"Num +", "{ADD}"},
        {"Num -", "{SUBTRACT}"},
        {"Num .", "{DECIMAL}"},
        {"Num /", "{DIVIDE}"},
        {"Num =", "{EQUAL}"},
        {"+", "{+}"},
        {"^", "{^}"},
        {"%", "{%}"},
        {"{", "{{}"},
        {"}", "{}}"},
    };
    t.insert(t.end(), std::begin(rest), std::end(rest));
    return t;
}

std::vector<SKeyName> ShortcutTable()
{
    std::vector<SKeyName> t(std::begin(kNamedRows), std::end(kNamedRows));
    AddFunctionRows(t);
    t.insert(t.end(), std::begin(kPc98NamedRows), std::end(kPc98NamedRows));
    for (int i = 1; i <= 10; ++i)
        t.push_back({111 + i, Pc98Function("f", i)});
    for (int i = 1; i <= 5; ++i)
        t.push_back({121 + i, Pc98Function("vf", i)});
    for (int i = 0; i <= 9; ++i)
        t.push_back({96 + i, "Num " + std::to_string(i)});
    const SKeyName rest[] = {{106, "Num *"}, {107, "Num +"}, {109, "Num -"},
                             {110, "Num ."}, {111, "Num /"}, {146, "Num ="}};
    t.insert(t.end(), std::begin(rest), std::end(rest));
    return t;
}

} // namespace

int KeyboardKind(int keyboardType, int keyboardSubType, const std::string& language)
{
    if (keyboardType == 7) {
        int high = (keyboardSubType >> 8) & 0xFF;
        return high == 4 || high == 13 ? 1 : 0;
    }
    if (keyboardSubType != 0)
        return 2;
    const std::string lang = LowerCase(language);
    struct SLanguage {
        const char* psz;
        int nKind;
    };
    static const SLanguage kLanguages[] = {
        {"frb", 3},
        {"french-belgian", 3},
        {"frc", 3},
        {"french-canadian", 3},
        {"frs", 3},
        {"french-swiss", 3},
        {"fra", 3},
        {"french", 3},
        {"dea", 4},
        {"german-austrian", 4},
        {"des", 4},
        {"german-swiss", 4},
        {"swiss", 4},
        {"deu", 4},
        {"german", 4},
        {"its", 5},
        {"italian-swiss", 5},
        {"ita", 5},
        {"italian", 5},
        {"ptb", 6},
        {"portuguese-brazilian", 6},
        {"ptg", 6},
        {"portuguese", 6},
        {"plk", 6},
        {"esm", 7},
        {"spanish-mexican", 7},
        {"esn", 7},
        {"spanish-modern", 7},
        {"esp", 7},
        {"spanish", 7},
    };
    for (const SLanguage& l : kLanguages)
        if (lang == l.psz)
            return l.nKind;
    return 2;
}

const std::vector<SKeyName>& KeyNameTable(int kind)
{
    static const std::vector<SKeyName> kTables[kKeyboardKinds] = {
        CommonTable(kOemJapanese),   Pc98Table(),
        CommonTable(kOemUs),         CommonTable(kOemFrench),
        CommonTable(kOemGerman),     CommonTable(kOemItalian),
        CommonTable(kOemPortuguese), CommonTable(kOemSpanish),
    };
    return kTables[kind >= 0 && kind < kKeyboardKinds ? kind : 2];
}

const std::string* FindKeyName(const std::vector<SKeyName>& table, int code)
{
    for (const SKeyName& k : table)
        if (k.nCode == code)
            return &k.strName;
    return nullptr;
}

int ShortcutNameCode(const std::string& name)
{
    static const std::vector<SKeyName> kTable = ShortcutTable();
    for (const SKeyName& k : kTable)
        if (k.strName == name)
            return k.nCode;
    return -1;
}

const char* KeyEventToken(const std::string& name)
{
    static const std::vector<SToken> kTable = TokenTable();
    for (const SToken& t : kTable)
        if (t.strName == name)
            return t.strToken.c_str();
    return nullptr;
}
