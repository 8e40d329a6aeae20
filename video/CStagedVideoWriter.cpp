#include "video/CStagedVideoWriter.h"

EngineResult<std::unique_ptr<IFrameEncoder>> CStagedVideoWriter::MakeEncoder()
{
    if (m_pFirstEncoder)
        return std::move(m_pFirstEncoder);
    const Canvas& canvas = m_format.m_canvas;
    const VideoCodec& codec = *m_format.m_pCodec;
    return codec.m_makeEncoder({canvas.Width(), canvas.Height(),
                                m_format.m_nQuality, m_format.m_nRate, m_format.m_nScale, m_bGlobalHeader,
                                codec.m_nSlices});
}

EngineResult<const IFrameEncoder*> CStagedVideoWriter::MakeFirstEncoder()
{
    auto encoder = MakeEncoder();
    if (!encoder)
        return encoder.Error();
    m_pFirstEncoder = std::move(encoder.Value());
    return m_pFirstEncoder.get();
}

EngineError CStagedVideoWriter::EncodeFailure(const std::string& strEncoderReason) const
{
    return {EngineErrorCode::EncodeFailed, std::string(m_pszContainer) +
                                               " frame write failed. The compressor could not compress the frame." +
                                               (strEncoderReason.empty() ? "" : " " + strEncoderReason)};
}

EngineError CStagedVideoWriter::Fail(const std::string& strText)
{
    if (m_strFailure.empty())
        m_strFailure = strText;
    m_bOpen = false;
    Close();
    m_file.Discard();
    return {EngineErrorCode::WriteFailed, m_strFailure};
}

EngineError CStagedVideoWriter::NotOpen(const char* pszWhat) const
{
    return {EngineErrorCode::WriteFailed,
            m_strFailure.empty() ? std::string(m_pszContainer) + " " + pszWhat + " The file is not open." : m_strFailure};
}
