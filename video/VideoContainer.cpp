#include "video/VideoContainer.h"

#include <strings.h>

// Local
#include "video/CAviWriter.h"
#include "video/CMp4Writer.h"

VideoContainer ContainerOfName(const std::string& strName)
{
    constexpr std::size_t kLength = 4;
    const bool bMp4 =
        strName.size() >= kLength && ::strcasecmp(strName.c_str() + strName.size() - kLength, ".mp4") == 0;
    return bMp4 ? VideoContainer::Mp4 : VideoContainer::Avi;
}

std::string VideoFileName(const std::string& strChosen)
{
    return ContainerOfName(strChosen) == VideoContainer::Mp4 ? strChosen
                                                             : CAviWriter::EnsureAviExtension(strChosen);
}

std::unique_ptr<IVideoWriter> MakeVideoWriter(VideoContainer container)
{
    if (container == VideoContainer::Mp4)
        return std::make_unique<CMp4Writer>();
    return std::make_unique<CAviWriter>();
}

std::vector<const VideoCodec*> CodecsOf(VideoContainer container)
{
    std::vector<const VideoCodec*> codecs;
    for (const VideoCodec& codec : VideoCodecs())
        if (container == VideoContainer::Avi || codec.m_bGoesInMp4)
            codecs.push_back(&codec);
    return codecs;
}
