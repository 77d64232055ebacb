#include "IniFile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <new>

#include "IniDocument.h"
#include "com/ComRaii.h"

namespace {

// GetString and GetSingle read into 255 characters and declare 254.
constexpr DWORD kStringSize = 254;

// The character whose code is 255 in the system's code page: it stands for
// a blank when space replacement is asked for.
wchar_t Code255()
{
    static const wchar_t c = [] {
        const std::wstring wide = com::Widen("\xFF");
        return wide.size() == 1 ? wide.front() : L'\xFF';
    }();
    return c;
}

std::wstring WithBackslash(std::wstring s)
{
    if (s.empty() || s.back() != L'\\')
        s += L'\\';
    return s;
}

template <typename Narrow>
Narrow FitOrZero(int value)
{
    return value >= std::numeric_limits<Narrow>::min() && value <= std::numeric_limits<Narrow>::max()
               ? static_cast<Narrow>(value)
               : Narrow{0};
}

// One of the separators the user chose for numbers (read at every use).
std::string UserSeparator(LCTYPE type, const char* sFallback)
{
    char text[8] = {};
    return ::GetLocaleInfoA(LOCALE_USER_DEFAULT, type, text, sizeof text) ? text : sFallback;
}

// fValue with exactly iDecimals decimals after the user's decimal separator,
// as the format "0." followed by iDecimals times "0" writes it: the number's
// shortest decimal form, rounded half away from zero.
std::string FixedText(float fValue, size_t iDecimals)
{
    char digits[64] = {};
    const auto end = std::to_chars(digits, digits + sizeof digits - 1, fValue, std::chars_format::fixed).ptr;
    std::string text(digits, end);
    if (!std::isfinite(fValue))
        return text;
    const bool bNegative = text.front() == '-';
    if (bNegative)
        text.erase(0, 1);
    const size_t point = std::min(text.find('.'), text.size());
    std::string whole = text.substr(0, point);
    std::string fraction = point < text.size() ? text.substr(point + 1) : std::string();
    const bool bRoundUp = fraction.size() > iDecimals && fraction[iDecimals] >= '5';
    fraction.resize(iDecimals, '0');
    std::string number = whole + fraction;
    for (size_t i = number.size(); bRoundUp; --i) {
        if (i == 0) {
            number.insert(number.begin(), '1');
            break;
        }
        if (number[i - 1] != '9') {
            ++number[i - 1];
            break;
        }
        number[i - 1] = '0';
    }
    const size_t wholeDigits = number.size() - iDecimals;
    return (bNegative ? "-" : "") + number.substr(0, wholeDigits) + UserSeparator(LOCALE_SDECIMAL, ".") +
           number.substr(wholeDigits);
}

// fValue in its shortest form, with the user's decimal separator.
std::string SingleText(float fValue)
{
    char digits[64] = {};
    std::string text(digits, std::to_chars(digits, digits + sizeof digits - 1, fValue).ptr);
    const size_t point = text.find('.');
    return point == std::string::npos ? text : text.replace(point, 1, UserSeparator(LOCALE_SDECIMAL, "."));
}

// A number in the user's way of writing it: blanks around it, a sign,
// digits (thousands separators allowed among them), the decimal separator
// and more digits, an exponent. False for any other text and for a number
// beyond the range of a single.
bool ParseSingle(const std::string& sText, float& fValue)
{
    const std::string sDecimal = UserSeparator(LOCALE_SDECIMAL, "."), sThousand = UserSeparator(LOCALE_STHOUSAND, ",");
    const size_t first = sText.find_first_not_of(' '), last = sText.find_last_not_of(' ');
    if (first == std::string::npos)
        return false;
    const std::string text = sText.substr(first, last - first + 1);
    std::string number; // in the form from_chars reads
    size_t at = 0;
    const auto digits = [&](bool bThousands) {
        const size_t start = number.size();
        while (at < text.size()) {
            if (std::isdigit(static_cast<unsigned char>(text[at])))
                number += text[at++];
            else if (bThousands && !sThousand.empty() && number.size() > start &&
                     text.compare(at, sThousand.size(), sThousand) == 0)
                at += sThousand.size();
            else
                break;
        }
        return number.size() > start;
    };
    if (at < text.size() && (text[at] == '-' || text[at] == '+'))
        number += text[at++] == '-' ? "-" : "";
    bool bDigits = digits(true);
    if (!sDecimal.empty() && text.compare(at, sDecimal.size(), sDecimal) == 0) {
        at += sDecimal.size();
        number += '.';
        bDigits = digits(false) || bDigits;
    }
    if (bDigits && at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        number += text[at++];
        if (at < text.size() && (text[at] == '-' || text[at] == '+'))
            number += text[at++];
        bDigits = digits(false);
    }
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), fValue);
    return bDigits && at == text.size() && error == std::errc() && end == number.data() + number.size() &&
           std::isfinite(fValue);
}

} // namespace

IniFile::IniFile() = default;
IniFile::~IniFile() = default;

void IniFile::SetIniFile(const std::wstring& sIniFile)
{
    m_sIniFile = sIniFile;
    const size_t slash = sIniFile.rfind(L'\\');
    if (slash == std::wstring::npos)
        return;
    m_sFile = sIniFile.substr(slash + 1);
    m_sPath = sIniFile.substr(0, slash + 1);
}

void IniFile::PutNames(Names&& names) noexcept
{
    m_sIniFile = std::move(names.sIniFile);
    m_sFile = std::move(names.sFile);
    m_sPath = std::move(names.sPath);
}

void IniFile::UseDocument(std::unique_ptr<IniDocument> doc) noexcept { m_doc = std::move(doc); }

std::unique_ptr<IniDocument> IniFile::ReleaseDocument() noexcept { return std::move(m_doc); }

std::wstring IniFile::ReadText(const std::wstring& sSection, const std::wstring& sKey, const std::wstring& sDefault,
                               DWORD nSize) const
{
    if (m_doc)
        return m_doc->GetString(sSection, sKey, sDefault, nSize);
    std::unique_ptr<wchar_t[]> buffer(new (std::nothrow) wchar_t[static_cast<size_t>(nSize) + 1]);
    if (!buffer)
        return {};
    const DWORD length = ::GetPrivateProfileStringW(sSection.c_str(), sKey.c_str(), sDefault.c_str(), buffer.get(),
                                                    nSize, m_sIniFile.c_str());
    return std::wstring(buffer.get(), std::min(length, nSize));
}

std::wstring IniFile::ReadString(const std::wstring& sSection, const std::wstring& sKey, const std::wstring& sDefault,
                                 DWORD nSize, bool bReplaceSpaces) const
{
    std::wstring result = ReadText(sSection, sKey, sDefault, nSize);
    if (result.empty())
        result = sDefault;
    if (bReplaceSpaces)
        std::replace(result.begin(), result.end(), Code255(), L' ');
    return result;
}

int IniFile::ReadInt(const std::wstring& sSection, const std::wstring& sKey, int nDefault) const
{
    if (m_doc)
        return m_doc->GetInt(sSection, sKey, nDefault);
    return static_cast<int>(::GetPrivateProfileIntW(sSection.c_str(), sKey.c_str(), nDefault, m_sIniFile.c_str()));
}

void IniFile::WriteText(const std::wstring& sSection, const std::wstring& sKey, const std::wstring& sValue)
{
    if (m_doc)
        m_doc->SetString(sSection, sKey, sValue);
    else
        ::WritePrivateProfileStringW(sSection.c_str(), sKey.c_str(), sValue.c_str(), m_sIniFile.c_str());
}

short IniFile::GetInt(const std::wstring& sSection, const std::wstring& sKey, short nDefault) const
{
    return FitOrZero<short>(ReadInt(sSection, sKey, nDefault));
}

BYTE IniFile::GetByte(const std::wstring& sSection, const std::wstring& sKey, BYTE nDefault) const
{
    return FitOrZero<BYTE>(ReadInt(sSection, sKey, nDefault));
}

long IniFile::GetLong(const std::wstring& sSection, const std::wstring& sKey, long nDefault) const
{
    return ReadInt(sSection, sKey, static_cast<int>(nDefault));
}

bool IniFile::GetBoolean(const std::wstring& sSection, const std::wstring& sKey, bool bDefault) const
{
    return ReadInt(sSection, sKey, bDefault ? -1 : 0) != 0;
}

std::wstring IniFile::GetString(const std::wstring& sSection, const std::wstring& sKey, const std::wstring& sDefault,
                                bool bReplaceSpaces) const
{
    return ReadString(sSection, sKey, sDefault, kStringSize, bReplaceSpaces);
}

std::wstring IniFile::GetLargeString(const std::wstring& sSection, const std::wstring& sKey, long lBufferSize,
                                     const std::wstring& sDefault, bool bReplaceSpaces) const
{
    const DWORD nSize = lBufferSize > 1 ? static_cast<DWORD>(lBufferSize - 1) : 0;
    return ReadString(sSection, sKey, sDefault, nSize, bReplaceSpaces);
}

std::wstring IniFile::GetPath(const std::wstring& sSection, const std::wstring& sKey,
                              const std::wstring& sDefault) const
{
    return WithBackslash(GetString(sSection, sKey, sDefault));
}

std::vector<std::wstring> IniFile::SectionNames() const
{
    if (m_doc)
        return m_doc->SectionNames();
    // The names arrive NUL-separated; a buffer that was too small comes back
    // filled to its size less two characters.
    std::wstring buffer(4096, L'\0');
    DWORD length = 0;
    for (;;) {
        length = ::GetPrivateProfileSectionNamesW(buffer.data(), static_cast<DWORD>(buffer.size()), m_sIniFile.c_str());
        if (length + 2 < buffer.size() || buffer.size() >= (1u << 26))
            break;
        buffer.assign(buffer.size() * 4, L'\0');
    }
    std::vector<std::wstring> names;
    for (size_t start = 0; start < length;) {
        const size_t end = std::min<size_t>(buffer.find(L'\0', start), length);
        if (end > start)
            names.push_back(buffer.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

float IniFile::GetSingle(const std::wstring& sSection, const std::wstring& sKey, float fDefault) const
{
    const std::wstring sDefaultText = com::Widen(SingleText(fDefault));
    std::wstring text = ReadText(sSection, sKey, sDefaultText, kStringSize);
    if (text.empty())
        text = sDefaultText;
    float fValue = 0;
    return ParseSingle(com::Narrow(text), fValue) ? fValue : fDefault;
}

void IniFile::PutInt(const std::wstring& sSection, const std::wstring& sKey, short nValue)
{
    WriteText(sSection, sKey, std::to_wstring(nValue));
}

void IniFile::PutByte(const std::wstring& sSection, const std::wstring& sKey, BYTE btValue)
{
    WriteText(sSection, sKey, std::to_wstring(btValue));
}

void IniFile::PutLong(const std::wstring& sSection, const std::wstring& sKey, long nValue)
{
    WriteText(sSection, sKey, std::to_wstring(nValue));
}

void IniFile::PutBoolean(const std::wstring& sSection, const std::wstring& sKey, bool bValue)
{
    WriteText(sSection, sKey, bValue ? L"1" : L"0");
}

void IniFile::PutPath(const std::wstring& sSection, const std::wstring& sKey, const std::wstring& sValue)
{
    PutString(sSection, sKey, WithBackslash(sValue));
}

void IniFile::PutSingle(const std::wstring& sSection, const std::wstring& sKey, float fValue, short iDecimal)
{
    WriteText(sSection, sKey, com::Widen(FixedText(fValue, static_cast<size_t>(std::max<short>(iDecimal, 0)))));
}

void IniFile::PutString(const std::wstring& sSection, const std::wstring& sKey, const std::wstring& sValue,
                        bool bReplaceSpaces)
{
    std::wstring value = sValue;
    if (bReplaceSpaces)
        std::replace(value.begin(), value.end(), L' ', Code255());
    WriteText(sSection, sKey, value);
}
