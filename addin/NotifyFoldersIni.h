// The folder configuration file "notifyfolders.ini" beside the add-in's
// module: the watched folders, their alert settings and plug-ins, loaded
// into and saved from a folder collection. A short-lived object: made,
// asked to load or save, released.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "IniFile.h"
#include "com/ComObject.h"
#include "corvane.h"

class IniDocument;

class NotifyFoldersIni final : public com::ComObject<NotifyFoldersIni, _NotifyFoldersIni, ISupportErrorInfo> {
  public:
    static const wchar_t* ErrorSource() noexcept { return L"corvane.NotifyFoldersIni"; }

    NotifyFoldersIni();

    // _NotifyFoldersIni, in slot order
    HRESULT STDMETHODCALLTYPE get_FolderCount(short* value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_FolderCount(short iFolderCount) noexcept override;
    HRESULT STDMETHODCALLTYPE LoadFolders(_NotifyFolders** nfFolders) noexcept override;
    HRESULT STDMETHODCALLTYPE SaveFolders(_NotifyFolders** nfFolders) noexcept override;

    // The configuration file's full name.
    const std::wstring& FileName() const noexcept { return m_ini.GetIniFile(); }
    // The same, beside the add-in's library, without an object.
    static std::wstring ConfigurationFile();

  private:
    void ChooseFileToLoad();
    void LoadFolder(_NotifyFolders* nfFolders, const std::wstring& sSection);
    std::unique_ptr<IniDocument> BuildFile(_NotifyFolders* nfFolders, std::vector<com::ComPtr<_NotifyFolder>>& written);
    void WriteFolder(_NotifyFolder* nf, const std::wstring& sSection);
    HRESULT Commit(const IniDocument& doc);

    IniFile m_ini;
};
