#include "video/CMp4Writer.h"

#include <cerrno>
#include <cstdint>
#include <cstring>

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/mem.h>
}

// Local
#include "video/AvComplaints.h"

namespace {

// The words for a failed write: the system's errors as the AVI writer words
// them, libavformat's own complaint otherwise.
std::string WriteFailureDetail(int nAvError)
{
    if (nAvError == AVERROR(ENOMEM))
        return " There is not enough memory to complete the operation.";
    if (nAvError < 0 && nAvError > -4096)
        return " A disk error occurred while writing the file.";
    std::string strDetail = " ";
    strDetail += AvComplaint(nAvError);
    return strDetail + ".";
}

} // namespace

CMp4Writer::~CMp4Writer()
{
    Close();
    av_packet_free(&m_pPacket);
}

void CMp4Writer::Close()
{
    if (!m_pMuxer)
        return;
    if (m_pMuxer->pb)
        avio_closep(&m_pMuxer->pb);
    avformat_free_context(m_pMuxer);
    m_pMuxer = nullptr;
}

EngineResult<void> CMp4Writer::Open(const std::string& strName, const VideoFormat& format)
{
    if (m_bOpen || m_pMuxer || !m_strFailure.empty())
        return EngineError{EngineErrorCode::WriteFailed, "MP4 file could not be created. The writer is in use."};
    m_strFileName = strName;
    m_format = format;
    const std::string strFailed = "MP4 file could not be created. Check filename " + strName + ".";
    KeepAvComplaints();
    if (const int nErr = m_file.Open(strName); nErr != 0)
        return Fail(strFailed + (nErr == ENOMEM ? " There is not enough memory to complete the operation."
                                                : " A disk error occurred while opening the file."));
    const Canvas& canvas = format.m_canvas;
    if (!format.m_pCodec || !format.m_pCodec->m_bGoesInMp4)
        return Fail(strFailed + " MP4 files hold H.264 only.");
    if (format.m_nRate <= 0 || format.m_nScale <= 0 || canvas.Width() <= 0 || canvas.Height() <= 0 || format.m_nQuality < 1 ||
        format.m_nQuality > 100)
        return Fail(strFailed + " The frame size, rate or quality is invalid.");
    // The one encoder of the file: its parameter sets go into the header.
    auto encoder = MakeFirstEncoder();
    if (!encoder)
        return Fail(strFailed + " " + encoder.Error().m_strMessage);
    const std::span<const std::uint8_t> header = encoder.Value()->StreamHeader();
    if (header.empty())
        return Fail(strFailed + " The encoder gave no parameter sets for the header.");

    // libavformat opens the temporary file by name, so that its second pass
    // can read it back; "file:" keeps a colon in the name from being taken
    // for a protocol.
    const std::string strUrl = "file:" + m_file.TempPath();
    int nErr = avformat_alloc_output_context2(&m_pMuxer, nullptr, "mp4", strUrl.c_str());
    AVStream* pStream = nErr >= 0 ? avformat_new_stream(m_pMuxer, nullptr) : nullptr;
    m_pPacket = av_packet_alloc();
    if (!pStream || !m_pPacket)
        return Fail(strFailed + " There is not enough memory to complete the operation.");
    AVCodecParameters& par = *pStream->codecpar;
    par.codec_type = AVMEDIA_TYPE_VIDEO;
    par.codec_id = AV_CODEC_ID_H264;
    par.width = canvas.Width();
    par.height = canvas.Height();
    par.format = AV_PIX_FMT_YUV420P;
    par.sample_aspect_ratio = AVRational{1, 1};
    par.color_range = AVCOL_RANGE_MPEG;
    par.color_primaries = AVCOL_PRI_BT709;
    par.color_trc = AVCOL_TRC_BT709;
    par.color_space = AVCOL_SPC_BT709;
    par.extradata = static_cast<std::uint8_t*>(av_mallocz(header.size() + AV_INPUT_BUFFER_PADDING_SIZE));
    if (!par.extradata)
        return Fail(strFailed + " There is not enough memory to complete the operation.");
    std::memcpy(par.extradata, header.data(), header.size());
    par.extradata_size = static_cast<int>(header.size());
    pStream->time_base = AVRational{format.m_nScale, format.m_nRate};

    if ((nErr = avio_open(&m_pMuxer->pb, strUrl.c_str(), AVIO_FLAG_WRITE)) < 0)
        return Fail(strFailed + " A disk error occurred while opening the file.");
    AVDictionary* pOptions = nullptr;
    av_dict_set(&pOptions, "movflags", "+faststart", 0);
    // The whole movie is timed in the track's units (the rate, doubled until
    // fine enough for players), so its duration is as exact as the track's:
    // a frame lasts a whole number of them, the scale times the doublings.
    std::int64_t nTimescale = format.m_nRate;
    while (nTimescale < 10000)
        nTimescale *= 2;
    av_dict_set_int(&pOptions, "video_track_timescale", nTimescale, 0);
    av_dict_set_int(&pOptions, "movie_timescale", nTimescale, 0);
    nErr = avformat_write_header(m_pMuxer, &pOptions);
    av_dict_free(&pOptions);
    if (nErr < 0)
        return Fail(strFailed + WriteFailureDetail(nErr));
    m_bOpen = true;
    return {};
}

EngineResult<void> CMp4Writer::WriteFrame(const EncodedFrame& frame, std::int32_t nFrames)
{
    if (!m_bOpen)
        return NotOpen("frame write failed.");
    if (nFrames <= 0)
        return {};
    if (frame.m_nSize > static_cast<std::size_t>(INT32_MAX - AV_INPUT_BUFFER_PADDING_SIZE))
        return Fail("MP4 frame write failed. The file has grown too large.");
    KeepAvComplaints();
    AVStream* pStream = m_pMuxer->streams[0];
    av_packet_unref(m_pPacket);
    // The frame's bytes are only borrowed: libavformat copies what it keeps.
    m_pPacket->data = const_cast<std::uint8_t*>(frame.m_pData);
    m_pPacket->size = static_cast<int>(frame.m_nSize);
    m_pPacket->stream_index = 0;
    m_pPacket->flags = frame.m_bKeyFrame ? AV_PKT_FLAG_KEY : 0;
    m_pPacket->pts = m_pPacket->dts = m_nTime;
    m_pPacket->duration = nFrames;
    av_packet_rescale_ts(m_pPacket, AVRational{m_format.m_nScale, m_format.m_nRate}, pStream->time_base);
    const int nErr = av_write_frame(m_pMuxer, m_pPacket);
    m_pPacket->data = nullptr;
    m_pPacket->size = 0;
    if (nErr < 0)
        return Fail("MP4 frame write failed." + WriteFailureDetail(nErr));
    m_nTime += nFrames;
    return {};
}

EngineResult<void> CMp4Writer::Commit()
{
    if (!m_bOpen)
        return NotOpen("file could not be finished.");
    const std::string strFailed = "MP4 file could not be finished. Check filename " + m_strFileName + ".";
    KeepAvComplaints();
    // The trailer writes the index and moves it before the frames.
    int nErr = av_write_trailer(m_pMuxer);
    if (nErr >= 0)
        nErr = avio_closep(&m_pMuxer->pb);
    if (nErr < 0)
        return Fail(strFailed + WriteFailureDetail(nErr));
    if (const int nFileErr = m_file.Commit(); nFileErr != 0)
        return Fail(strFailed + WriteFailureDetail(AVERROR(nFileErr)));
    m_bOpen = false;
    Close();
    return {};
}
