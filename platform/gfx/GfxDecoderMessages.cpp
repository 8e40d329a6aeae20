#include "platform/gfx/GfxDecoderMessages.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <mutex>

// Qt
#include <QString>
#include <QtGlobal>

// libtiff
#include <tiffio.h>

namespace {

thread_local GfxDecoderMessages* t_pCatcher = nullptr;

// The handlers found when ours went in. A message that comes in the moment
// between the two is printed as those would print it.
std::atomic<QtMessageHandler> s_pPreviousQt{nullptr};
std::atomic<TIFFErrorHandler> s_pPreviousTiffError{nullptr};
std::atomic<TIFFErrorHandler> s_pPreviousTiffWarning{nullptr};

void OnQtMessage(QtMsgType nType, const QMessageLogContext& context, const QString& strMessage)
{
    if (GfxDecoderMessages::Catch(strMessage.toStdString()))
        return;
    if (const QtMessageHandler pPrevious = s_pPreviousQt.load())
        pPrevious(nType, context, strMessage);
    else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(nType, context, strMessage)));
}

void OnTiffMessage(const std::atomic<TIFFErrorHandler>& previous, const char* pszModule, const char* pszFormat,
                   va_list args)
{
    if (t_pCatcher) {
        // libtiff's words, "module: message", as its own handlers print them.
        char szText[512];
        std::vsnprintf(szText, sizeof szText, pszFormat, args);
        GfxDecoderMessages::Catch(pszModule ? std::string(pszModule) + ": " + szText : std::string(szText));
    } else if (const TIFFErrorHandler pPrevious = previous.load()) {
        pPrevious(pszModule, pszFormat, args);
    } else {
        if (pszModule)
            std::fprintf(stderr, "%s: ", pszModule);
        std::vfprintf(stderr, pszFormat, args);
        std::fprintf(stderr, ".\n");
    }
}

void OnTiffError(const char* pszModule, const char* pszFormat, va_list args)
{
    OnTiffMessage(s_pPreviousTiffError, pszModule, pszFormat, args);
}

void OnTiffWarning(const char* pszModule, const char* pszFormat, va_list args)
{
    OnTiffMessage(s_pPreviousTiffWarning, pszModule, pszFormat, args);
}

void InstallHandlers()
{
    static std::once_flag installed;
    std::call_once(installed, [] {
        s_pPreviousQt = qInstallMessageHandler(OnQtMessage);
        s_pPreviousTiffError = TIFFSetErrorHandler(OnTiffError);
        s_pPreviousTiffWarning = TIFFSetWarningHandler(OnTiffWarning);
    });
}

} // namespace

GfxDecoderMessages::GfxDecoderMessages() : m_pOuter(t_pCatcher)
{
    InstallHandlers();
    t_pCatcher = this;
}

GfxDecoderMessages::~GfxDecoderMessages()
{
    t_pCatcher = m_pOuter;
}

bool GfxDecoderMessages::Catch(const std::string& strMessage)
{
    if (!t_pCatcher)
        return false;
    t_pCatcher->m_strLast = strMessage;
    return true;
}
