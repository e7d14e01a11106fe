// A library of single cursor or stamp images: the files NN.crs in cursor\ or NN.stp in
// stamp\ beside the program, numbered from 00 without gaps, at most 100.
#pragma once
#include <string>
#include <vector>

constexpr size_t kMaxLibraryItems = 100;

enum EItemKind { ITEM_CURSOR, ITEM_STAMP };

class CItemLibrary {
public:
    CItemLibrary(EItemKind kind, const std::string& programDirectory);

    // Reads the folder again: at most 100 names, ordered without regard to case.
    void List();
    const std::vector<std::string>& GetNames() const { return m_Names; }
    std::string GetPath(const std::string& name) const;
    std::string GetLastName() const { return m_Names.empty() ? std::string() : m_Names.back(); }
    bool IsFull() const { return m_Names.size() >= kMaxLibraryItems; }
    bool CanDelete() const { return m_Names.size() >= 2; }
    EItemKind GetKind() const { return m_eKind; }

    // Deletes item index and moves every later file one name down so the numbers stay
    // contiguous; 1 on success. The list is read again either way.
    int Delete(size_t index);

private:
    EItemKind m_eKind;
    std::string m_strDirectory; // with its trailing separator
    std::vector<std::string> m_Names;
};

const char* ItemExtension(EItemKind kind);
// Where name stands in names, compared without regard to case; -1 when it is not there.
int FindItem(const std::vector<std::string>& names, const std::string& name);
// What the item called name is called once item deleted of before is gone and the later
// files have moved one name down. The deleted item itself gives the one now in its place
// (the new last when it was the last). Names not in before stay as they are.
std::string NameAfterDelete(const std::vector<std::string>& before, size_t deleted, const std::string& name);
// The name after last: 05.crs -> 06.crs; 99 stays 99; an empty library starts at 00.
std::string NextItemName(const std::string& last, EItemKind kind);

// The editor's arguments (after the program path) for each way the program starts it.
std::string SlotEditArguments(int slot);
std::string NewItemArguments(EItemKind kind, const std::string& last);
std::string EditItemArguments(EItemKind kind, const std::string& selected, const std::string& last);
