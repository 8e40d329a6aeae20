#pragma once

// What the AVI and the MP4 writer share: the name and the format, the encoder
// Open makes first and hands out first, the file staged beside the name, and
// the first failure, after which the writer is closed and its file is gone.

#include <string>

// Local
#include "platform/file/CPendingFile.h"
#include "video/IVideoWriter.h"

class CStagedVideoWriter : public IVideoWriter {
public:
    EngineResult<std::unique_ptr<IFrameEncoder>> MakeEncoder() override;
    EngineError EncodeFailure(const std::string& strEncoderReason) const override;
    const VideoFormat& Format() const override { return m_format; }

protected:
    // pszContainer starts the failure texts ("AVI", "MP4"); bGlobalHeader
    // when the codec's parameter sets go into the container's header.
    CStagedVideoWriter(const char* pszContainer, bool bGlobalHeader)
        : m_pszContainer(pszContainer), m_bGlobalHeader(bGlobalHeader)
    {
    }

    // Makes the first encoder, which shows whether the codec takes the
    // format, and keeps it for the first MakeEncoder.
    EngineResult<const IFrameEncoder*> MakeFirstEncoder();
    // Keeps the first failure's text, closes the writer and drops its file.
    EngineError Fail(const std::string& strText);
    // The answer to a write or a commit on a writer that is not open.
    EngineError NotOpen(const char* pszWhat) const;
    // Closes what the container keeps open besides the staged file.
    virtual void Close() {}

    std::string m_strFileName;
    VideoFormat m_format;
    CPendingFile m_file;
    bool m_bOpen = false;
    std::string m_strFailure;

private:
    const char* m_pszContainer;
    bool m_bGlobalHeader;
    std::unique_ptr<IFrameEncoder> m_pFirstEncoder;
};
