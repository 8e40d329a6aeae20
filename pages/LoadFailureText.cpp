#include "pages/LoadFailureText.h"

#include <vector>

namespace {

// The offsets at which the UTF-8 characters of s start. A stray byte that
// is no valid start counts as one character of its own.
std::vector<std::size_t> CharacterStarts(const std::string& s)
{
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < s.size(); ++i)
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80 || starts.empty() || i - starts.back() >= 4)
            starts.push_back(i);
    return starts;
}

} // namespace

const char* LoadFailureReason(EngineErrorCode nCode)
{
    switch (nCode) {
    case EngineErrorCode::PictureUnreadable:
        return "Soubor nelze otevřít.";
    case EngineErrorCode::PictureTooLarge:
        return "Obrázek je příliš velký.";
    case EngineErrorCode::PictureDamaged:
        return "Obrázek je poškozený.";
    case EngineErrorCode::OutOfMemory:
        return "Na obrázek nestačí paměť.";
    default:
        return "Soubor není obrázek ve známém formátu.";
    }
}

std::string ShortFileName(const std::string& strPath, std::size_t nMaxChars)
{
    const std::size_t nSlash = strPath.find_last_of('/');
    const std::string strName = nSlash == std::string::npos ? strPath : strPath.substr(nSlash + 1);
    const std::vector<std::size_t> starts = CharacterStarts(strName);
    if (starts.size() <= nMaxChars || nMaxChars < 3)
        return strName;
    // The end keeps the extension; the start gets the larger half.
    const std::size_t nKeep = nMaxChars - 1;
    const std::size_t nTail = nKeep / 2;
    const std::size_t nHead = nKeep - nTail;
    return strName.substr(0, starts[nHead]) + "…" + strName.substr(starts[starts.size() - nTail]);
}

std::string LoadFailureLine(const std::string& strPath, EngineErrorCode nCode)
{
    return ShortFileName(strPath) + ": " + LoadFailureReason(nCode);
}
