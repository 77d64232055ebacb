// The plug-ins of a folder that is read from the configuration file but not
// bound yet. Their instances are created and started only when the folder
// binds, in the order of the plug-in contract (creation, StartUp, AddRef,
// LoadSettings); until then the folder keeps what the file says about them:
// the class names in their order, and the keys the plug-ins keep in the
// folder's section. A save in between writes both back unchanged, so that
// nothing configured is lost however long the binding takes.
#pragma once

#include <string>
#include <utility>
#include <vector>

class IniDocument;

class PendingPlugins {
  public:
    // While one lives, Load reads the plug-ins' keys from the document of
    // the configuration file being loaded (the file the folders come from,
    // read once) instead of opening the file again for every folder.
    class ReadingFrom {
      public:
        explicit ReadingFrom(const IniDocument* doc) noexcept;
        ~ReadingFrom();
        ReadingFrom(const ReadingFrom&) = delete;
        ReadingFrom& operator=(const ReadingFrom&) = delete;

      private:
        const IniDocument* m_previous;
    };

    // The class list, as the folder's list would hold it.
    long Count() const noexcept { return static_cast<long>(m_classes.size()); }
    // The class at 1-based position lIndex, or empty.
    std::wstring ClassAt(long lIndex) const;
    bool Has(const std::wstring& sPluginClass) const noexcept;
    // A class already listed (its programmatic identifier ignores letter
    // case, as the folder's list does) is not listed twice.
    void Add(const std::wstring& sPluginClass);
    void Remove(const std::wstring& sPluginClass);
    const std::vector<std::wstring>& Classes() const noexcept { return m_classes; }

    // The section the plug-ins' keys are in now. Load keeps the keys that
    // are not the host's own from that section of the file; Save writes
    // them into the section of a new save and remembers it.
    const std::wstring& Section() const noexcept { return m_sSection; }
    void Load(const std::wstring& sFile, const std::wstring& sSection);
    void Save(const std::wstring& sFile, const std::wstring& sSection) const;
    void MovedTo(const std::wstring& sSection) { m_sSection = sSection; }

  private:
    std::vector<std::wstring> m_classes;
    std::vector<std::pair<std::wstring, std::wstring>> m_keys; // the plug-ins' own keys, in file order
    std::wstring m_sSection;
};
