#include "video/AvComplaints.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>

extern "C" {
#include <libavutil/error.h>
#include <libavutil/log.h>
}

namespace {

thread_local std::string t_strLastComplaint;

void KeepComplaint(void* /*pClass*/, int nLevel, const char* pszFormat, va_list args)
{
    if (nLevel > AV_LOG_ERROR)
        return;
    char szLine[512];
    std::vsnprintf(szLine, sizeof szLine, pszFormat, args);
    std::string strLine(szLine);
    while (!strLine.empty() && (strLine.back() == '\n' || strLine.back() == ' '))
        strLine.pop_back();
    if (!strLine.empty())
        t_strLastComplaint = strLine;
}

} // namespace

void KeepAvComplaints()
{
    static std::once_flag s_once;
    std::call_once(s_once, [] { av_log_set_callback(KeepComplaint); });
    t_strLastComplaint.clear();
}

std::string AvComplaint(int nAvError)
{
    if (!t_strLastComplaint.empty())
        return t_strLastComplaint;
    char szText[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(nAvError, szText, sizeof szText);
    return szText;
}
