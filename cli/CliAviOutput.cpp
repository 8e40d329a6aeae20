#include "cli/CliAviOutput.h"

// Local
#include "cli/CliArgs.h"
#include "engine/SameFile.h"

CliAviOutput::CliAviOutput(const CliVideoSettings& settings)
    : m_chooser(settings.m_codec), m_guard(&m_chooser), m_nFps(settings.m_nFps)
{
}

std::string CliAviOutput::Open(const Canvas& canvas, const std::string& strPath,
                               std::span<const std::string> sources)
{
    if (strPath.empty())
        return "cannot write '': no file name";
    m_writer.SetBitmapHeader(canvas.Header());
    m_writer.m_strFileName = strPath;
    m_writer.EnsureAviExtension();
    m_writer.m_nRate = m_nFps;
    // The name checked is the one the writer will create; a source is never replaced.
    if (auto checked = CheckOutputIsNotASource(m_writer.m_strFileName, sources); !checked)
        return checked.Error().m_strMessage;
    if (m_writer.InitEngine(nullptr) != 0) {
        m_writer.ReleaseEngine();
        return "cannot write '" + m_writer.m_strFileName + "': " + m_writer.m_strError;
    }
    return {};
}

void CliAviOutput::Abandon()
{
    m_writer.Abandon();
    m_writer.ReleaseEngine();
}

int CliAviOutput::Finish(const FramePipeline::Result& result, const CliReport& report)
{
    if (result.m_nOutcome == FramePipeline::Outcome::Done) {
        m_writer.ReleaseEngine();
        if (m_writer.IsCommitted())
            return kExitOk;
        return report.Fail("cannot write '" + m_writer.m_strFileName + "': " + m_writer.RunErrorText());
    }
    Abandon();
    if (result.m_nOutcome == FramePipeline::Outcome::Aborted)
        return report.Interrupted(m_writer.m_strFileName);
    const std::string strWhy = m_writer.RunErrorText();
    return report.Fail("cannot write '" + m_writer.m_strFileName +
                       "': " + (strWhy.empty() ? result.m_strError : strWhy));
}
