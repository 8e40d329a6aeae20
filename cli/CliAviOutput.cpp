#include "cli/CliAviOutput.h"

CliAviOutput::CliAviOutput(const CliVideoSettings& settings)
    : m_chooser(settings.m_codec), m_guard(&m_chooser), m_nFps(settings.m_nFps)
{
}

std::string CliAviOutput::Open(const Canvas& canvas, const std::string& strPath)
{
    if (strPath.empty())
        return "cannot write '': no file name";
    m_writer.SetBitmapHeader(canvas.Header());
    m_writer.m_strFileName = strPath;
    m_writer.EnsureAviExtension();
    m_writer.m_nRate = m_nFps;
    if (m_writer.InitEngine(nullptr) != 0) {
        m_writer.ReleaseEngine();
        return "cannot write '" + m_writer.m_strFileName + "': " + m_writer.m_strError;
    }
    return {};
}

std::string CliAviOutput::Finish()
{
    m_writer.ReleaseEngine();
    if (!m_writer.IsCommitted())
        return "cannot write '" + m_writer.m_strFileName + "': " + m_writer.RunErrorText();
    return {};
}

void CliAviOutput::Abandon()
{
    m_writer.Abandon();
    m_writer.ReleaseEngine();
}
