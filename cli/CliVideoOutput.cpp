#include "cli/CliVideoOutput.h"

// Local
#include "cli/CliArgs.h"
#include "engine/SameFile.h"
#include "video/VideoContainer.h"

EngineResult<void> CliVideoOutput::Open(const Canvas& canvas, const std::string& strPath,
                                        std::span<const std::string> sources)
{
    if (strPath.empty())
        return EngineError{EngineErrorCode::WriteFailed, "cannot write '': no file name"};
    m_strName = VideoFileName(strPath);
    // The name checked is the one the writer will create; a source is never replaced.
    if (auto checked = CheckOutputIsNotASource(m_strName, sources); !checked)
        return checked.Error();
    m_pWriter = MakeVideoWriter(ContainerOfName(m_strName));
    const CliRate& rate = m_settings.m_rate;
    const VideoFormat format{canvas, rate.m_nRate, m_settings.m_pCodec, m_settings.m_nQuality, rate.m_nScale};
    if (auto opened = m_pWriter->Open(m_strName, format); !opened) {
        m_pWriter.reset();
        return EngineError{opened.Error().m_nCode, "cannot write '" + m_strName + "': " + opened.Error().m_strMessage,
                           m_strName};
    }
    return {};
}

int CliVideoOutput::Finish(const FramePipeline::Result& result, const CliReport& report)
{
    std::string strWhy = result.m_strError;
    if (result.m_nOutcome == FramePipeline::Outcome::Done) {
        auto committed = m_pWriter->Commit();
        if (committed)
            return kExitOk;
        strWhy = committed.Error().m_strMessage;
    }
    Abandon();
    if (result.m_nOutcome == FramePipeline::Outcome::Aborted)
        return report.Interrupted(m_strName);
    return report.Fail("cannot write '" + m_strName + "': " + strWhy);
}
